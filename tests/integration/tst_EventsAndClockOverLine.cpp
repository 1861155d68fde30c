// The event record and the relay clock read and set through the link loop,
// the engine and the real serial port, against the simulated relay.

#include "app/LinkLoop.h"
#include "integration/support/SimHarness.h"
#include "link/KOVA200.h"
#include "link/LinkState.h"
#include "link/Proceso_Comunicacion.h"
#include "link/RegisterImages.h"
#include "link/TextTables.h"
#include "platform/QtSerialPort.h"
#include "text/DateText.h"
#include "tools/relay-sim/RelayValues.h"

#include <QTest>

#include <charconv>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>

using kova::test::SimHarness;

namespace {

struct Notifier : kova::INotifier {
    std::vector<std::string> messages;
    void critical(const std::string& text, const std::string&) override { messages.push_back(text); }
};

// The link as the main window holds it, connected to the simulator.
struct Line {
    kova::QtSerialPort port;
    kova::LinkState state;
    kova::RegisterImages images;
    kova::KOVA200 engine{state, images};
    kova::Proceso_Comunicacion scheduler{state};
    Notifier notifier;
    kova::LinkLoop loop{engine, scheduler, state, port, &notifier};

    Line()
    {
        engine.setNotifier(&notifier);
        engine.setHostSerialControls({&port});
        engine.setScheduler(&scheduler);
        scheduler.setEngine(&engine);
    }
    ~Line() { port.setPortOpen(false); }

    std::string text(int p) const
    {
        const kova::NumOrText v = engine.DatosDeVariables(static_cast<std::int16_t>(p));
        const auto* s = v.getIf<std::string>();
        return s ? *s : std::string();
    }
    bool queue0Idle() const
    {
        for (int s = 0; s < kova::Proceso_Comunicacion::kSlots; ++s)
            if (scheduler.Estado_Solicitud(0, s) == kova::Proceso_Comunicacion::kPendiente ||
                (scheduler.Cola_Actual() == 0 && scheduler.Estado_Solicitud(0, s) == kova::Proceso_Comunicacion::kEjecutando))
                return false;
        return true;
    }
    bool eventTableHas(int newest) const
    {
        const int rows = newest < 20 ? newest : 20;
        for (int r = 0; r < rows; ++r)
            if (text(84 + r).rfind(std::to_string(newest - r) + ",", 0) != 0)
                return false;
        return true;
    }
};

// Positions, in the order sent, of the simulator's request lines holding `text`.
std::vector<std::size_t> requestsWith(const SimHarness& sim, const std::string& text)
{
    std::vector<std::size_t> at;
    const auto reqs = sim.requests();
    for (std::size_t i = 0; i < reqs.size(); ++i)
        if (reqs[i].find(text) != std::string::npos)
            at.push_back(i);
    return at;
}

// Column 0 of the simulator's generated event k.
std::string eventText(std::uint16_t k)
{
    static const kova::TextTables texts;
    const auto s = kova::relaysim::generatedEventStamp(k);
    const int cause = s.w1 >> 7;
    const int year = 2000 + (s.w1 & 0x7F);
    const int month = (s.w2 >> 10) & 0xF, day = (s.w2 >> 5) & 0x1F, hour = s.w2 & 0x1F;
    const int minute = s.w3 >> 10, second = (s.w3 & 0x3FF) / 10;
    return std::to_string(k) + "," + texts.causa(cause) + "," + kova::shortDate(year, month, day, "dd/MM/yyyy") + " " +
           kova::timeText(hour, minute, second);
}

} // namespace

class TestEventsAndClockOverLine : public QObject {
    Q_OBJECT
private slots:
    void connectReadsTheEventsNewestFirst();
    void clearedEventsLeaveNoStaleRows();
    void clockSetAppliedAndReadBack();
    void clockAppliedOnlyAfterTheWritePassed();
};

void TestEventsAndClockOverLine::connectReadsTheEventsNewestFirst()
{
    SimHarness sim({"--events", "3"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
    Line line;
    QVERIFY(line.loop.Conectar(1, "9600", 1));
    QVERIFY(QTest::qWaitFor([&] { return line.eventTableHas(3) && line.queue0Idle(); }, 20000));
    for (int r = 0; r < 3; ++r)
        QCOMPARE(line.text(84 + r), eventText(static_cast<std::uint16_t>(3 - r)));
    for (int p = 87; p <= 103; ++p)
        QCOMPARE(line.text(p), std::string(" No Trip "));
    const auto rec = kova::relaysim::generatedEvent(3);
    QCOMPARE(line.engine.Ultimo_Numero_Evento(), std::uint16_t{3});
    QVERIFY(!line.text(104).empty()); // phase A current of event 3
    QCOMPARE(line.text(104), [&] {
        const double ia = ((std::uint32_t(rec[4]) << 16) | rec[5]) / 100.0;
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, ia, std::chars_format::fixed, 2);
        return std::string(buf, r.ptr);
    }());
    QVERIFY(line.notifier.messages.empty());
}

void TestEventsAndClockOverLine::clearedEventsLeaveNoStaleRows()
{
    SimHarness sim({"--events", "25"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
    Line line;
    QVERIFY(line.loop.Conectar(1, "9600", 1));
    QVERIFY(QTest::qWaitFor([&] { return line.eventTableHas(25) && line.queue0Idle(); }, 30000));
    for (int r = 0; r < 20; ++r)
        QCOMPARE(line.text(84 + r), eventText(static_cast<std::uint16_t>(25 - r)));

    line.scheduler.Agregar_Solicitud(0, &line.engine, 13); // clear events
    line.scheduler.Agregar_Solicitud(0, &line.engine, 30);
    QVERIFY(QTest::qWaitFor([&] { return line.text(84).rfind("1, Events Clear ,", 0) == 0 && line.queue0Idle(); },
                            10000));
    for (int p = 85; p <= 103; ++p)
        QCOMPARE(line.text(p), std::string(" No Trip "));
}

void TestEventsAndClockOverLine::clockSetAppliedAndReadBack()
{
    SimHarness sim({"--clock", "2010-01-01 00:00:00"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
    Line line;
    QVERIFY(line.loop.Conectar(1, "9600", 1));
    QVERIFY(QTest::qWaitFor([&] { return line.queue0Idle() && line.engine.Ultimo_Numero_Evento() != 0; }, 20000));

    QVERIFY(line.engine.Date_Time(12, 7, 2005, 9, 5, 7));
    line.scheduler.Agregar_Solicitud(0, &line.engine, 93); // the engine queues 92 once 93 passed
    QVERIFY(QTest::qWaitFor([&] { return line.queue0Idle() && sim.waitForLog("fc 5 addr 0005", std::chrono::milliseconds(0)); },
                            10000));
    const auto writes = requestsWith(sim, "fc 16 addr 0090");
    const auto applies = requestsWith(sim, "fc 5 addr 0005");
    QVERIFY(!writes.empty());
    QVERIFY(!applies.empty());
    QVERIFY(applies.front() > writes.back());

    line.scheduler.Agregar_Solicitud(0, &line.engine, 91);
    QVERIFY(QTest::qWaitFor([&] {
        if (!line.queue0Idle())
            return false;
        line.engine.Devuelve_Datos(8);
        return line.text(40).rfind("12/07/2005 09:0", 0) == 0;
    }, 10000));
    const std::string t = line.text(40);
    QVERIFY2(t >= "12/07/2005 09:05:07" && t <= "12/07/2005 09:05:30", t.c_str());
}

void TestEventsAndClockOverLine::clockAppliedOnlyAfterTheWritePassed()
{
    SimHarness sim({"--corrupt-on", "16:0x0090"}); // the first clock write's reply is damaged
    QVERIFY2(sim.ok(), sim.error().c_str());
    qputenv("KOVA_COM1", QByteArray::fromStdString(sim.masterEnd()));
    Line line;
    QVERIFY(line.loop.Conectar(1, "9600", 1));
    QVERIFY(QTest::qWaitFor([&] { return line.queue0Idle() && line.engine.Ultimo_Numero_Evento() != 0; }, 20000));

    QVERIFY(line.engine.Date_Time(31, 12, 2099, 23, 59, 59));
    line.scheduler.Agregar_Solicitud(0, &line.engine, 93);
    QVERIFY(QTest::qWaitFor([&] { return line.queue0Idle() && sim.waitForLog("fc 5 addr 0005", std::chrono::milliseconds(0)); },
                            10000));
    const auto writes = requestsWith(sim, "fc 16 addr 0090");
    const auto applies = requestsWith(sim, "fc 5 addr 0005");
    QCOMPARE(writes.size(), size_t(2));
    QCOMPARE(applies.size(), size_t(1));
    QVERIFY(applies[0] > writes[1]);
}

QTEST_MAIN(TestEventsAndClockOverLine)
#include "tst_EventsAndClockOverLine.moc"
