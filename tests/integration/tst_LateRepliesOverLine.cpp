// The link loop against a simulated relay that answers later than the reply
// time-out for a while: a late reply is never taken for the answer to the
// request then waiting, and the connect still ends with the relay's data.

#include "app/LinkLoop.h"
#include "integration/support/SimHarness.h"
#include "link/KOVA200.h"
#include "link/Proceso_Comunicacion.h"
#include "link/RegisterImages.h"
#include "platform/QtSerialPort.h"
#include "tools/relay-sim/RelayValues.h"

#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

using kova::test::SimHarness;

namespace {

struct Notifier : kova::INotifier {
    std::vector<std::string> messages;
    void critical(const std::string& text, const std::string&) override { messages.push_back(text); }
};

// Longer than any reply time-out of the rig below (the second 300 ms tick
// after a frame was sent) and the quiet spell after it, shorter than two of
// them, so a burst of late replies ends before five failures in a row.
const std::string kLate = "850";

struct Rig {
    explicit Rig(const std::vector<std::string>& simArgs = {}) : sim(simArgs), engine(link, images), sched(link)
    {
        qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
        engine.setNotifier(&notifier);
        engine.setHostSerialControls({&port});
        loop = std::make_unique<kova::LinkLoop>(engine, sched, link, port, &notifier);
        loop->setIntervals(300, 10, 50);
        auto replied = engine.events.ComunicacionFinalizada;
        engine.events.ComunicacionFinalizada = [this, replied](bool ok) {
            replies.push_back({engine.Accion(), images.actual});
            if (onReply)
                onReply(engine.Accion(), ok);
            replied(ok);
        };
    }
    ~Rig() { loop.reset(); }

    int count(int code) const
    {
        const auto c = sim.requestCodes();
        return static_cast<int>(std::count(c.begin(), c.end(), code));
    }
    struct Reply {
        int accion;
        std::array<std::uint8_t, kova::RegisterImages::kActualBytes> actual;
    };

    SimHarness sim;
    kova::QtSerialPort port;
    kova::LinkState link;
    kova::RegisterImages images;
    kova::KOVA200 engine;
    kova::Proceso_Comunicacion sched;
    Notifier notifier;
    std::unique_ptr<kova::LinkLoop> loop;
    std::vector<Reply> replies;
    std::function<void(int accion, bool ok)> onReply; // before the loop handles it
    bool quick = false;

    // The relay is quick again from the first time-out on.
    void quickAfterTheFirstTimeOut()
    {
        watch.setInterval(1);
        QObject::connect(&watch, &QTimer::timeout, [this] {
            if (loop->esperandoSilencio()) {
                watch.stop();
                quick = true;
                sim.control("delay 0");
            }
        });
        watch.start();
    }
    QTimer watch;
};

// The relay's value of an input register (0 for one it does not set).
int relayValue(int reg)
{
    for (const kova::relaysim::RegisterValue& rv : kova::relaysim::kActualValues)
        if (rv.reg == reg)
            return rv.value;
    return 0;
}

// The maintenance counters (0x02D0-0x02D6) hold the relay's values, or
// nothing yet.
bool maintenanceFromTheRelay(const std::array<std::uint8_t, kova::RegisterImages::kActualBytes>& actual)
{
    const std::size_t at = *kova::actualValueIndex(0x02D0);
    bool empty = true, relays = true;
    for (int r = 0; r < 7; ++r) {
        const int v = actual[at + 2 * r] << 8 | actual[at + 2 * r + 1];
        empty = empty && v == 0;
        relays = relays && v == relayValue(0x02D0 + r);
    }
    return empty || relays;
}

// The connect ended: the relay's setpoints in both images, every actual
// value at its place, online without a message.
void checkConnected(Rig& rig)
{
    QVERIFY(QTest::qWaitFor([&] { return rig.count(2) >= 3; }, 30000));
    QVERIFY(rig.link.Comunicando);
    QVERIFY(rig.notifier.messages.empty());
    const auto relay = rig.sim.setpointImage();
    QVERIFY(std::equal(relay.begin(), relay.begin() + 298, rig.images.get.begin()));
    QVERIFY(std::equal(relay.begin(), relay.begin() + 298, rig.images.put.begin()));
    for (const kova::relaysim::RegisterValue& rv : kova::relaysim::kActualValues) {
        const auto i = *kova::actualValueIndex(rv.reg);
        QCOMPARE(rig.images.actual[i] << 8 | rig.images.actual[i + 1], int(rv.value));
    }
    for (const Rig::Reply& r : rig.replies)
        QVERIFY2(maintenanceFromTheRelay(r.actual), qPrintable(QString("after a reply to %1").arg(r.accion)));
}

} // namespace

class TestLateRepliesOverLine : public QObject {
    Q_OBJECT
private slots:
    void connectToARelayThatStartsSlow();
    void lateReplyToAnActualValueRead();
    void relayBusyWithOneRequestKeepsTheNextFrame();
};

void TestLateRepliesOverLine::connectToARelayThatStartsSlow()
{
    // The identification read times out and its reply comes while the
    // first setpoint block is awaited; the relay is quick again from then.
    Rig rig({"--reply-delay", kLate});
    QVERIFY2(rig.sim.ok(), rig.sim.error().c_str());
    rig.quickAfterTheFirstTimeOut();
    QVERIFY(rig.loop->Conectar(1, "9600", 1));
    checkConnected(rig);
    QVERIFY(rig.quick);
    QVERIFY(rig.count(60) >= 2);
}

void TestLateRepliesOverLine::lateReplyToAnActualValueRead()
{
    // Online, the relay turns slow for the first actual-value read: its
    // 57-byte reply comes after the maintenance counters were asked for.
    Rig rig;
    QVERIFY2(rig.sim.ok(), rig.sim.error().c_str());
    bool slow = false;
    rig.onReply = [&](int accion, bool ok) {
        if (accion == 66 && ok && !slow) {
            slow = true;
            rig.sim.control("delay " + kLate);
            rig.quickAfterTheFirstTimeOut();
        }
    };
    QVERIFY(rig.loop->Conectar(1, "9600", 1));
    checkConnected(rig);
    QVERIFY(slow && rig.quick);
    QVERIFY(rig.count(4) >= 2);
    QVERIFY(rig.count(5) >= 2);
}

void TestLateRepliesOverLine::relayBusyWithOneRequestKeepsTheNextFrame()
{
    // The relay holds 61's reply 2 s and keeps a frame received meanwhile.
    Rig rig({"--busy-on", "3:0x0101:2000", "--line-timing"});
    QVERIFY2(rig.sim.ok(), rig.sim.error().c_str());
    rig.loop->setIntervals(1000, 10, 50);
    std::vector<bool> replies61;
    rig.onReply = [&](int accion, bool ok) { if (accion == 61) replies61.push_back(ok); };
    QVERIFY(rig.loop->Conectar(1, "9600", 1));
    checkConnected(rig);
    QVERIFY(rig.count(61) >= 2);
    QVERIFY(!replies61.empty() && replies61.back());
}

QTEST_MAIN(TestLateRepliesOverLine)
#include "tst_LateRepliesOverLine.moc"
