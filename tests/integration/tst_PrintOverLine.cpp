// File > Print with the program online against the simulated relay, through
// the program's own printer dialog into a PDF file: the reads each command
// sends, frame by frame, and pages that print what the relay answers then.

#include "support/LoggedFrames.h"
#include "support/OnlineProgram.h"
#include "support/PrintToPdf.h"
#include "support/SimHarness.h"
#include "text/DateText.h"

#include <QAction>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <map>

using kova::test::Bytes;
using kova::test::hexBytes;
using kova::test::OnlineProgram;
using kova::test::SimHarness;

namespace {

// Runs a File > Print command, answering its printer dialog with `pdf`.
bool printInto(OnlineProgram& program, const char* command, const QString& pdf)
{
    bool answered = false;
    QTimer::singleShot(0, [&] { kova::test::printToFile(pdf, answered); });
    QAction* print = program.arranque.principal()->command(QString::fromLatin1(command));
    if (!print->isEnabled()) return false;
    print->trigger();
    return answered;
}

// The frames of the requests logged from `from` on whose codes `keep` takes.
std::vector<Bytes> framesFrom(const SimHarness& sim, std::size_t from, const std::function<bool(int)>& keep)
{
    std::vector<Bytes> frames;
    const auto lines = sim.requests();
    for (std::size_t i = from; i < lines.size(); ++i)
        if (keep(kova::test::requestCode(lines[i]))) frames.push_back(kova::test::frameOf(lines[i]));
    return frames;
}

bool printed(const QString& pdf, int page, const char* pattern)
{
    return QString::fromStdString(kova::test::pdfText(pdf.toStdString(), page, true))
        .contains(QRegularExpression(QString::fromLatin1(pattern)));
}

} // namespace

class tst_PrintOverLine : public QObject {
    Q_OBJECT
private slots:
    void actualValuesReadAfresh();
    void setpointsReadBlockByBlock();
    void brokenLayoutStopsThePrintSayingWhy();
};

// The values are read afresh after the dialog, and the page shows what the
// relay answers then, not what it answered at the connect.
void tst_PrintOverLine::actualValuesReadAfresh()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::setTextLocale(kova::TextLocale{"dd/MM/yyyy"});
    QTRY_VERIFY_WITH_TIMEOUT(program.arranque.state().link.Comunicando, 10000);
    // The connect sequence is done once only status reads go out.
    QTRY_VERIFY_WITH_TIMEOUT(sim.requests().size() > 20 && sim.codesAfter(sim.requests().size() - 4).empty(), 20000);

    // Phase A current 125.40 A becomes 234.56 A after the connect.
    sim.control("input 020E 5BA0");
    const std::size_t from = sim.requests().size();
    const QString pdf = program.dir.filePath(QStringLiteral("actual.pdf"));
    QVERIFY(printInto(program, "P_Actual", pdf));

    // The reads the command queued (the engine may chain event reads after 30).
    auto frames = framesFrom(sim, from, [](int code) { return code != 2; });
    frames.resize(std::min<std::size_t>(frames.size(), 8));
    QCOMPARE(frames, (std::vector<Bytes>{hexBytes("01 04 02 0D 00 1A E1 BA"), hexBytes("01 04 02 D0 00 07 B1 89"),
                                         hexBytes("01 04 02 7F 00 15 01 A5"), hexBytes("01 04 02 2F 00 19 01 B1"),
                                         hexBytes("01 04 02 4B 00 08 80 62"), hexBytes("01 04 02 6A 00 15 10 61"),
                                         hexBytes("01 04 02 5E 00 0E 11 A4"), hexBytes("01 04 06 00 00 04 F1 41")}));
    QVERIFY(program.ui.shown.isEmpty());
    QVERIFY(program.arranque.principal()->isEnabled());
    QVERIFY(printed(pdf, 1, "Phase A Current:\\s+234\\.6\\s+A"));
    QCOMPARE(kova::test::pdfPageCount(pdf.toStdString()), 2);
}

// The command's six block reads, then the reads of the setpoint pages each
// printed page loads, in that order; five pages that print the relay's values.
void tst_PrintOverLine::setpointsReadBlockByBlock()
{
    SimHarness sim({"--setpoint", "0x0102=150", "--setpoint", "0x1002=0", "--setpoint", "0x1004=250",
                    "--setpoint", "0x1021=6", "--setpoint", "0x104B=1500", "--setpoint", "0x0121=4"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    QVERIFY(QTest::qWaitFor([&] { return program.context.setpointBlocksRead() == 6; }, 10000));
    // The event number read after the connect's blocks.
    QVERIFY(QTest::qWaitFor([&] { return std::ranges::count(sim.requestCodes(), 30) > 0; }, 5000));

    const QString pdf = program.dir.filePath(QStringLiteral("setpoints.pdf"));
    const std::size_t from = sim.requests().size();
    const qsizetype boxes = program.ui.shown.size();
    QVERIFY(printInto(program, "P_Setpoints", pdf));

    const std::map<int, Bytes> reads = {
        {61, hexBytes("01 03 01 01 00 18 15 FC")}, {62, hexBytes("01 03 01 19 00 18 95 FB")},
        {63, hexBytes("01 03 10 00 00 19 80 C0")}, {64, hexBytes("01 03 10 19 00 19 51 07")},
        {65, hexBytes("01 03 10 32 00 19 21 0F")}, {66, hexBytes("01 03 10 4B 00 1A B0 D7")}};
    std::vector<Bytes> expected;
    for (int code : {61, 62, 63, 64, 65, 66, 61, 62, 63, 64, 65, 66, 64, 63, 65, 66, 64, 65,
                     66, 63, 65, 66, 63, 64, 66, 63, 64, 65, 66, 63, 64, 65, 61, 62, 62, 62})
        expected.push_back(reads.at(code));
    const auto blockReads = [&] { return framesFrom(sim, from, [&](int code) { return reads.count(code) > 0; }); };
    QVERIFY(QTest::qWaitFor([&] { return blockReads().size() >= expected.size(); }, 30000));
    QTest::qWait(300);
    QCOMPARE(blockReads(), expected);

    QCOMPARE(program.ui.shown.size(), boxes);
    QVERIFY(program.arranque.principal()->isEnabled());
    QCOMPARE(kova::test::pdfPageCount(pdf.toStdString()), 5);
    struct Line { int page; const char* pattern; bool shown; };
    for (const Line& l : {Line{1, "Parameter: Setpoints", true}, Line{1, "Phase CT Rating Primary:\\s+150 A", true},
                          Line{2, "Phase Timed O/C Curve:\\s+Definite Time", true},
                          Line{2, "Phase Timed O/C Delay:\\s+2\\.5 Sec", true},
                          Line{2, "Phase Timed O/C Multiplier:", false},
                          Line{3, "Gnd\\. Timed O/C Curve:\\s+IAC Inverse", true},
                          Line{3, "Gnd\\. Timed O/C Multiplier:", true}, Line{3, "Gnd\\. Timed O/C Delay:", false},
                          Line{4, "Frequency 1 Delay:\\s+15\\.0 Sec", true},
                          Line{5, "Input 1 Function:\\s+Block Trip", true}, Line{5, "Page 5", true}})
        QVERIFY2(printed(pdf, l.page, l.pattern) == l.shown, l.pattern);
}

void tst_PrintOverLine::brokenLayoutStopsThePrintSayingWhy()
{
    SimHarness sim;
    OnlineProgram program;
    QVERIFY(sim.ok() && program.start(sim));
    QTRY_VERIFY_WITH_TIMEOUT(program.arranque.state().link.Comunicando, 10000);
    QFile f(program.dir.filePath(QStringLiteral("AV1_REP.json")));
    QVERIFY(
        f.open(QIODevice::WriteOnly) && f.write(R"({"window": "AV1_REP", "width": -1, "height": 1})") > 0 && f.flush());
    qputenv("KOVA_LAYOUTS_DIR", program.dir.path().toUtf8());
    const auto unset = qScopeGuard([] { qunsetenv("KOVA_LAYOUTS_DIR"); });
    QVERIFY(printInto(program, "P_Actual", program.dir.filePath(QStringLiteral("actual.pdf")))
        && program.ui.shown.size() == 1);
    QCOMPARE(
        program.ui.shown[0].detail, f.fileName() + QStringLiteral(": width: -1 is not a whole number from 0 to 32767"));
}

QTEST_MAIN(tst_PrintOverLine)
#include "tst_PrintOverLine.moc"
