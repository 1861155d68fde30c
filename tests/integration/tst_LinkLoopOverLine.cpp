// The link loop end to end on the real serial port, a socat pty pair and
// the simulated relay: what the images hold after each reply.

#include "app/LinkLoop.h"
#include "integration/support/SimHarness.h"
#include "link/KOVA200.h"
#include "link/Proceso_Comunicacion.h"
#include "link/RegisterImages.h"
#include "platform/QtSerialPort.h"
#include "link/DefaultSetpoints.h"
#include "tools/relay-sim/RelayValues.h"

#include <QTest>

#include <algorithm>
#include <memory>

using kova::test::SimHarness;

namespace {

struct Notifier : kova::INotifier {
    std::vector<std::string> messages;
    void critical(const std::string& text, const std::string&) override { messages.push_back(text); }
};

const std::vector<int> kConnectSequence = {60, 61, 62, 63, 64, 65, 66, 4, 5, 6, 7, 8, 9, 10, 30};

// Everything a run needs, wired as the main window wires it.
struct Rig {
    explicit Rig(const std::vector<std::string>& simArgs = {})
        : sim(simArgs), engine(link, images), sched(link)
    {
        qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
        engine.setNotifier(&notifier);
        engine.setScheduler(&sched);
        engine.setHostSerialControls({&port});
        loop = std::make_unique<kova::LinkLoop>(engine, sched, link, port, &notifier);
        loop->setIntervals(300, 10, 50);
        // Watch every reply the loop is told about.
        auto inner = engine.events.ComunicacionFinalizada;
        engine.events.ComunicacionFinalizada = [this, inner](bool ok) {
            replies.push_back({engine.Accion(), ok, images.get, images.put, images.actual});
            inner(ok);
        };
    }
    ~Rig() { loop.reset(); }

    bool waitForRequests(std::size_t n, int ms = 8000) const
    {
        return QTest::qWaitFor([&] { return sim.requests().size() >= n; }, ms);
    }
    struct Reply {
        int accion;
        bool ok;
        std::array<std::uint8_t, kova::RegisterImages::kSetpointBytes> get;
        std::array<std::uint8_t, kova::RegisterImages::kSetpointBytes> put;
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
};

bool blockEqual(const std::array<std::uint8_t, 301>& a, const std::array<std::uint8_t, 301>& b)
{
    return std::equal(a.begin(), a.begin() + 298, b.begin());
}

} // namespace

class TestLinkLoopOverLine : public QObject {
    Q_OBJECT
private slots:
    void actualValuesImageHoldsTheRelaysValues();
    void failedReadReplyChangesNoImageByte();
    void damagedWriteReplyGetFollowsOnlyThePassedReply();
};

void TestLinkLoopOverLine::actualValuesImageHoldsTheRelaysValues()
{
    Rig rig;
    QVERIFY2(rig.sim.ok(), rig.sim.error().c_str());
    QVERIFY(rig.loop->Conectar(1, "9600", 1));
    // The event re-read chain may run before the status read: wait until a
    // status reply has been handled (a second status read was asked for).
    QVERIFY(QTest::qWaitFor([&] {
        const auto c = rig.sim.requestCodes();
        return std::count(c.begin(), c.end(), 2) >= 2;
    }, 15000));

    const std::vector<int> codes = rig.sim.requestCodes();
    QCOMPARE(std::vector<int>(codes.begin(), codes.begin() + 15), kConnectSequence);
    // Then the event chain the reply to 30 starts (selections logged as 31,
    // record reads 90) and the cyclic status read.
    for (std::size_t i = 15; i < codes.size(); ++i)
        QVERIFY(codes[i] == 2 || codes[i] == 31 || codes[i] == 90);

    QVERIFY(rig.link.Comunicando);
    // Every actual value the relay holds, at its place in the image.
    for (const kova::relaysim::RegisterValue& rv : kova::relaysim::kActualValues) {
        const auto i = kova::actualValueIndex(rv.reg);
        QVERIFY(i.has_value());
        QCOMPARE(rig.images.actual[*i] << 8 | rig.images.actual[*i + 1], int(rv.value));
    }
    const auto st = *kova::actualValueIndex(0x0203);
    QCOMPARE(rig.images.actual[st] << 8 | rig.images.actual[st + 1], int(kova::relaysim::kDefaultStatus));
}

void TestLinkLoopOverLine::failedReadReplyChangesNoImageByte()
{
    Rig rig({"--corrupt", "3"}); // the reply to 62 (setpoint block 2)
    QVERIFY2(rig.sim.ok(), rig.sim.error().c_str());
    QVERIFY(rig.loop->Conectar(1, "9600", 1));
    QVERIFY(QTest::qWaitFor([&] {
        const auto c = rig.sim.requestCodes();
        return std::count(c.begin(), c.end(), 62) == 2 && std::count(c.begin(), c.end(), 2) >= 2;
    }, 8000));
    const auto codes = rig.sim.requestCodes();
    QCOMPARE(std::vector<int>(codes.begin(), codes.begin() + 15), kConnectSequence);
    // The failed reply changed nothing: the Get image right after it is the
    // one right before it.
    const auto bad = std::find_if(rig.replies.begin(), rig.replies.end(), [](const Rig::Reply& r) { return !r.ok; });
    QVERIFY(bad != rig.replies.end());
    QCOMPARE(bad->accion, 62);
    QVERIFY(bad != rig.replies.begin());
    QVERIFY(bad->get == std::prev(bad)->get);
    QVERIFY(bad->put == std::prev(bad)->put);
    QVERIFY(bad->actual == std::prev(bad)->actual);
    // After the retry every block is the relay's.
    QVERIFY(QTest::qWaitFor([&] { return blockEqual(rig.images.get, rig.sim.setpointImage()); }, 3000));
    QVERIFY(rig.notifier.messages.empty());
}

void TestLinkLoopOverLine::damagedWriteReplyGetFollowsOnlyThePassedReply()
{
    Rig rig({"--corrupt-on", "16:0x0101"}); // the first write's reply is damaged
    QVERIFY2(rig.sim.ok(), rig.sim.error().c_str());
    QVERIFY(rig.loop->Conectar(1, "9600", 1));
    QVERIFY(QTest::qWaitFor([&] { return rig.link.Comunicando && rig.sim.requestCodes().size() >= 17; }, 8000));

    rig.images.put[2] = 0x03;
    rig.images.put[3] = 0x20;
    rig.sched.Agregar_Solicitud(0, &rig.engine, 27);
    QVERIFY(QTest::qWaitFor([&] {
        return std::count_if(rig.replies.begin(), rig.replies.end(),
                             [](const Rig::Reply& r) { return r.accion == 27 && r.ok; }) == 1;
    }, 8000));
    // The relay took the edit with the first write already...
    QCOMPARE(rig.sim.holding(0x0102), 800);
    for (int r = 0x0101; r <= 0x0118; ++r) {
        const int i = *kova::setpointIndex(static_cast<std::uint32_t>(r));
        QCOMPARE(rig.sim.holding(r), rig.images.put[i] << 8 | rig.images.put[i + 1]);
    }
    // ...but the Get block followed only after the passed reply.
    std::vector<bool> oks;
    for (const Rig::Reply& r : rig.replies)
        if (r.accion == 27) {
            oks.push_back(r.ok);
            QCOMPARE(int(r.get[3]), r.ok ? 0x20 : 600 & 0xFF);
        }
    QCOMPARE(oks, (std::vector<bool>{false, true}));
    QVERIFY(std::equal(rig.images.get.begin(), rig.images.get.begin() + 48, rig.images.put.begin()));
}

QTEST_MAIN(TestLinkLoopOverLine)
#include "tst_LinkLoopOverLine.moc"
