// The engine's requests over the real serial port and a socat pty pair to
// the simulated relay.

#include "integration/support/SimHarness.h"
#include "link/KOVA200.h"
#include "link/LinkState.h"
#include "link/RegisterImages.h"
#include "platform/QtSerialPort.h"

#include <QTest>

using kova::test::SimHarness;
using kova::test::Bytes;

namespace {

struct Notifier : kova::INotifier {
    std::vector<std::string> messages;
    void critical(const std::string& text, const std::string&) override { messages.push_back(text); }
};

// The engine with its own state and images, driving `port` as COM `com`
// at 9600 baud, its messages recorded.
struct EngineOnPort {
    kova::LinkState link;
    kova::RegisterImages images;
    kova::KOVA200 engine{link, images};
    Notifier notifier;
    EngineOnPort(kova::QtSerialPort& port, int com)
    {
        engine.setNotifier(&notifier);
        engine.setHostSerialControls({&port});
        engine.Reconocer_Controles_De_Comunicacion();
        engine.setPuerto_PC(com);
        engine.setCadena_Com("9600");
    }
};

} // namespace

class TestEngineOverLine : public QObject {
    Q_OBJECT
private slots:
    void identificationRequest();
    void missingDeviceShowsThePortMessage();
};

void TestEngineOverLine::identificationRequest()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));

    kova::QtSerialPort port;
    int receiveEvents = 0, sendEvents = 0;
    port.setOnComm([&](kova::CommEvent e) { (e == kova::CommEvent::Receive ? receiveEvents : sendEvents)++; });

    EngineOnPort rig(port, 1);
    auto& [link, images, engine, notifier] = rig;
    engine.setDireccion(1);

    bool opened = false;
    engine.events.Finalizado = [&](bool& r) { opened = r; };
    engine.setAccion(1);
    engine.Ejecuta();
    QVERIFY(opened);
    QVERIFY(port.portOpen());
    QCOMPARE(port.settings(), std::string("9600,N,8,1"));
    QVERIFY(notifier.messages.empty());

    engine.events.Finalizado = nullptr;
    engine.setAccion(60);
    engine.Ejecuta();
    QCOMPARE(engine.Trama_Modbus(), (Bytes{0x01, 0x04, 0x00, 0x00, 0x00, 0x04, 0xF1, 0xC9}));
    QVERIFY(QTest::qWaitFor([&] { return receiveEvents == 1; }, 3000));
    QTest::qWait(200); // a second receive event would show here
    QCOMPARE(receiveEvents, 1);
    QCOMPARE(sendEvents, 1);
    // The simulator got exactly that frame.
    QCOMPARE(sim.requests(), std::vector<std::string>{"req 1 fc 4 addr 0000 count 4 reply ok"});

    const Bytes reply = port.input();
    QCOMPARE(reply.size(), size_t(13));
    QVERIFY(kova::test::crcValid(reply));
    QCOMPARE(reply, (Bytes{0x01, 0x04, 0x08, 0x00, 0x16, 0x00, 0x01, 0x00, 0x65, 0x00, 0x00, 0x7E, 0x13}));
    port.setPortOpen(false);
}

void TestEngineOverLine::missingDeviceShowsThePortMessage()
{
    qputenv("KOVA_COM3", "/nonexistent/kova-line");
    kova::QtSerialPort port;
    EngineOnPort rig(port, 3);
    auto& [link, images, engine, notifier] = rig;
    bool result = true;
    engine.events.Finalizado = [&](bool& r) { result = r; };
    engine.setAccion(1);
    engine.Ejecuta();
    QVERIFY(!result);
    QVERIFY(!port.portOpen());
    QCOMPARE(notifier.messages, std::vector<std::string>{"Invalid Number Port: COM 3"});
    qunsetenv("KOVA_COM3");
}

QTEST_MAIN(TestEngineOverLine)
#include "tst_EngineOverLine.moc"
