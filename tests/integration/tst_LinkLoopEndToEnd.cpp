// The link loop end to end: the program's serial port, engine, scheduler and
// loop against the simulated relay over a socat pseudo-terminal pair.

#include "app/LinkLoop.h"
#include "integration/support/SimHarness.h"
#include "link/KOVA200.h"
#include "link/Proceso_Comunicacion.h"
#include "link/RegisterImages.h"
#include "platform/QtSerialPort.h"

#include <QTest>

#include <memory>
#include <string>
#include <vector>

using kova::test::SimHarness;

namespace {

class Notifier : public kova::INotifier {
public:
    std::vector<std::string> texts;
    void critical(const std::string& text, const std::string&) override { texts.push_back(text); }
};

// Engine, scheduler, port and loop wired as the main window wires them.
struct Link {
    explicit Link(const SimHarness& sim)
    {
        qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
        engine.setNotifier(&notifier);
        engine.setHostSerialControls({&port});
        loop = std::make_unique<kova::LinkLoop>(engine, sched, state, port, &notifier);
        loop->setIntervals(300, 10, 50);
        loop->setTrabajarSinRele([this] { ++sinRele; });
    }
    ~Link()
    {
        loop.reset();
        port.setPortOpen(false);
    }
    bool conectar() { return loop->Conectar(1, "9600", 1); }

    kova::LinkState state;
    kova::RegisterImages images;
    kova::KOVA200 engine{state, images};
    kova::Proceso_Comunicacion sched{state};
    kova::QtSerialPort port;
    Notifier notifier;
    int sinRele = 0;
    std::unique_ptr<kova::LinkLoop> loop;
};

int cuantos(const SimHarness& sim, int code)
{
    int n = 0;
    for (int c : sim.requestCodes())
        n += c == code;
    return n;
}

std::vector<std::uint8_t> bloque(const std::array<std::uint8_t, 301>& img, int from, int to)
{
    return {img.begin() + from, img.begin() + to + 1};
}

} // namespace

class TestLinkLoopEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void connectSequenceFillsTheImages();
    void corruptReplyIsSentAgain();
    void silenceWhenOnlineRaisesTheLinkErrorOnce();
    void wrongRelayTypeStopsDispatching();
    void blockWriteRoundTrip();
    void refusedBlockWriteIsGivenUp();
};

void TestLinkLoopEndToEnd::connectSequenceFillsTheImages()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    Link link(sim);
    QVERIFY(link.conectar());
    QVERIFY(QTest::qWaitFor([&] { return cuantos(sim, 2) >= 3; }, 15000));
    const auto c = sim.requestCodes();
    const std::vector<int> want = {60, 61, 62, 63, 64, 65, 66, 4, 5, 6, 7, 8, 9, 10, 30, 31, 90};
    QCOMPARE(std::vector<int>(c.begin(), c.begin() + 17), want);
    // After the event records the reply to 30 asked for, the status read.
    for (std::size_t i = 17; i < c.size(); ++i)
        QVERIFY(c[i] == 2 || c[i] == 31 || c[i] == 90);
    QCOMPARE(c.back(), 2);
    QVERIFY(link.state.Comunicando);
    QVERIFY(!link.state.Esperando_Respuesta);
    QCOMPARE(link.engine.Version(), std::string("1.01    "));
    const auto rele = bloque(sim.setpointImage(), 0, 297);
    QCOMPARE(bloque(link.images.get, 0, 297), rele);
    QCOMPARE(bloque(link.images.put, 0, 297), rele);
    // Status register 0x0203 at bytes 6-7, and the metering blocks filled.
    const int status = sim.dump().at({'i', 0x0203});
    QCOMPARE(int(link.images.actual[6]), status >> 8);
    QCOMPARE(int(link.images.actual[7]), status & 0xFF);
    int noCero = 0;
    for (int i = 26; i < 266; ++i)
        noCero += link.images.actual[static_cast<std::size_t>(i)] != 0;
    QVERIFY(noCero > 50);
    QVERIFY(link.notifier.texts.empty());
}

void TestLinkLoopEndToEnd::corruptReplyIsSentAgain()
{
    SimHarness sim({"--corrupt", "3"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    Link link(sim);
    QVERIFY(link.conectar());
    QVERIFY(QTest::qWaitFor([&] { return cuantos(sim, 62) == 2 && cuantos(sim, 2) >= 2; }, 15000));
    QCOMPARE(bloque(link.images.get, 0, 297), bloque(sim.setpointImage(), 0, 297));
    QCOMPARE(bloque(link.images.put, 0, 297), bloque(sim.setpointImage(), 0, 297));
    QVERIFY(link.notifier.texts.empty());
    QVERIFY(link.state.Comunicando);
}

void TestLinkLoopEndToEnd::silenceWhenOnlineRaisesTheLinkErrorOnce()
{
    SimHarness sim({"--silent-from", "20"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    Link link(sim);
    QVERIFY(link.conectar());
    QVERIFY(QTest::qWaitFor([&] { return !link.notifier.texts.empty(); }, 20000));
    QTest::qWait(1500);
    QCOMPARE(link.notifier.texts, std::vector<std::string>{" Communication Error..."});
    QCOMPARE(link.sinRele, 1);
    QVERIFY(link.state.Detener_Comunicacion);
    QVERIFY(!link.state.Comunicando);
    const auto n = sim.requests().size();
    QTest::qWait(1000);
    QCOMPARE(sim.requests().size(), n);
}

void TestLinkLoopEndToEnd::wrongRelayTypeStopsDispatching()
{
    SimHarness sim({"--type", "21"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    Link link(sim);
    QVERIFY(link.conectar());
    QVERIFY(QTest::qWaitFor([&] { return !link.port.portOpen(); }, 5000));
    QTest::qWait(800);
    QCOMPARE(sim.requests().size(), size_t(1));
    QVERIFY(link.state.Detener_Comunicacion);
    QVERIFY(!link.engine.Firmware());
}

void TestLinkLoopEndToEnd::blockWriteRoundTrip()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    Link link(sim);
    QVERIFY(link.conectar());
    QVERIFY(QTest::qWaitFor([&] { return cuantos(sim, 2) >= 1; }, 15000));
    const auto getAntes = bloque(link.images.get, 0, 47);
    for (int i = 0; i < 48; i += 2)
        link.images.put[static_cast<std::size_t>(i + 1)] ^= 0x01; // low bit of every register
    const auto editado = bloque(link.images.put, 0, 47);
    link.sched.Agregar_Solicitud(0, &link.engine, 27);
    QCOMPARE(bloque(link.images.get, 0, 47), getAntes);
    QVERIFY(QTest::qWaitFor([&] { return bloque(link.images.get, 0, 47) == editado; }, 5000));
    QVERIFY(QTest::qWaitFor([&] { return sim.holding(0x0101) == (editado[0] << 8 | editado[1]); }, 3000));
    for (int r = 0; r < 24; ++r)
        QCOMPARE(sim.holding(0x0101 + r), editado[2 * r] << 8 | editado[2 * r + 1]);
}

void TestLinkLoopEndToEnd::refusedBlockWriteIsGivenUp()
{
    SimHarness sim({"--exception-on", "16:0x0101"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    Link link(sim);
    QVERIFY(link.conectar());
    QVERIFY(QTest::qWaitFor([&] { return cuantos(sim, 2) >= 1; }, 15000));
    link.images.put[3] ^= 0xFF;
    const auto edit = link.images.put[3];
    link.sched.Agregar_Solicitud(0, &link.engine, 27);
    QVERIFY(QTest::qWaitFor([&] { return !link.notifier.texts.empty(); }, 20000));
    QTest::qWait(1000);
    QCOMPARE(cuantos(sim, 27), 5);
    QCOMPARE(link.notifier.texts.size(), size_t(1));
    QCOMPARE(link.sinRele, 1);
    QCOMPARE(link.images.put[3], edit);
    QVERIFY(link.images.get[3] != edit);
}

QTEST_MAIN(TestLinkLoopEndToEnd)
#include "tst_LinkLoopEndToEnd.moc"
