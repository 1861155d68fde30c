// File > Print > SetPoints with the program online against the simulated
// relay, through the program's own printer dialog into a PDF file: the
// command's six block reads, then the reads of the setpoint pages each
// printed page loads, sent in that order as the frames the relay expects;
// five pages that print the relay's values.

#include "support/LoggedFrames.h"
#include "support/OnlineProgram.h"
#include "support/PrintToPdf.h"
#include "support/SimHarness.h"

#include <QAction>
#include <QApplication>
#include <QRegularExpression>
#include <QtTest>

using kova::test::Bytes;
using kova::test::frameOf;
using kova::test::hexBytes;
using kova::test::OnlineProgram;
using kova::test::SimHarness;

class tst_SetpointsPrintOverLine : public QObject {
    Q_OBJECT
private slots:
    void printsTheRelaysSetpoints();
};

void tst_SetpointsPrintOverLine::printsTheRelaysSetpoints()
{
    SimHarness sim({"--setpoint", "0x0102=150", "--setpoint", "0x1002=0", "--setpoint", "0x1004=250",
                    "--setpoint", "0x1021=6", "--setpoint", "0x104B=1500", "--setpoint", "0x0121=4"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    QVERIFY(QTest::qWaitFor([&] { return program.context.setpointBlocksRead() == 6; }, 10000));
    // The event number read after the connect's blocks.
    QVERIFY(QTest::qWaitFor(
        [&] {
            const auto codes = sim.requestCodes();
            return std::find(codes.begin(), codes.end(), 30) != codes.end();
        },
        5000));

    const QString pdf = program.dir.filePath(QStringLiteral("setpoints.pdf"));
    bool answered = false;
    QTimer::singleShot(0, this, [&] { kova::test::printToFile(pdf, answered); });
    const std::size_t from = sim.requests().size();
    const qsizetype boxes = program.ui.shown.size();
    QAction* print = program.arranque.principal()->command("P_Setpoints");
    QVERIFY(print->isEnabled());
    print->trigger();
    QVERIFY(answered);

    const std::map<int, Bytes> reads = {
        {61, hexBytes("01 03 01 01 00 18 15 FC")}, {62, hexBytes("01 03 01 19 00 18 95 FB")},
        {63, hexBytes("01 03 10 00 00 19 80 C0")}, {64, hexBytes("01 03 10 19 00 19 51 07")},
        {65, hexBytes("01 03 10 32 00 19 21 0F")}, {66, hexBytes("01 03 10 4B 00 1A B0 D7")}};
    const std::vector<int> expected = {61, 62, 63, 64, 65, 66, 61, 62, 63, 64, 65, 66, 64, 63, 65, 66, 64, 65,
                                       66, 63, 65, 66, 63, 64, 66, 63, 64, 65, 66, 63, 64, 65, 61, 62, 62, 62};
    std::vector<Bytes> sent;
    const auto blockReads = [&] {
        sent.clear();
        const auto lines = sim.requests();
        for (std::size_t i = from; i < lines.size(); ++i)
            if (const int code = kova::test::requestCode(lines[i]); reads.count(code))
                sent.push_back(frameOf(lines[i]));
        return sent.size();
    };
    QVERIFY(QTest::qWaitFor([&] { return blockReads() >= expected.size(); }, 30000));
    QTest::qWait(300);
    blockReads();
    QCOMPARE(sent.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        QVERIFY2(sent[i] == reads.at(expected[i]), qPrintable(QStringLiteral("read %1").arg(i)));

    QCOMPARE(program.ui.shown.size(), boxes);
    QVERIFY(program.arranque.principal()->isEnabled());
    QCOMPARE(kova::test::pdfPageCount(pdf), 5);
    struct Line {
        int page;
        const char* pattern;
    };
    for (const Line& l : {Line{1, "Parameter: Setpoints"}, Line{1, "Phase CT Rating Primary:\\s+150 A"},
                          Line{2, "Phase Timed O/C Curve:\\s+Definite Time"},
                          Line{2, "Phase Timed O/C Delay:\\s+2\\.5 Sec"}, Line{3, "Gnd\\. Timed O/C Curve:\\s+IAC Inverse"},
                          Line{3, "Gnd\\. Timed O/C Multiplier:"}, Line{4, "Frequency 1 Delay:\\s+15\\.0 Sec"},
                          Line{5, "Input 1 Function:\\s+Block Trip"}, Line{5, "Page 5"}})
        QVERIFY2(kova::test::pdfLayoutText(pdf, l.page).contains(QRegularExpression(QString::fromLatin1(l.pattern))), l.pattern);
    QVERIFY(!kova::test::pdfLayoutText(pdf, 2).contains(QStringLiteral("Phase Timed O/C Multiplier:")));
    QVERIFY(!kova::test::pdfLayoutText(pdf, 3).contains(QStringLiteral("Gnd. Timed O/C Delay:")));
}

QTEST_MAIN(tst_SetpointsPrintOverLine)
#include "tst_SetpointsPrintOverLine.moc"
