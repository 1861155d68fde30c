// File > Print > Actual Values in the program online against the simulated
// relay, through the program's own printer dialog into a PDF file: the
// values are read afresh after the dialog, and the page shows what the relay
// answers then, not what it answered at the connect.

#include "app/AppContext.h"
#include "support/LoggedFrames.h"
#include "support/OnlineProgram.h"
#include "support/PrintToPdf.h"
#include "support/SimHarness.h"
#include "text/DateText.h"

#include <QApplication>
#include <QRegularExpression>
#include <QtTest>

using kova::test::OnlineProgram;
using kova::test::Bytes;
using kova::test::SimHarness;

class tst_PrintOverLine : public QObject {
    Q_OBJECT
private slots:
    void actualValuesReadAfresh();
};

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
    const std::size_t startedAt = sim.requests().size();
    const QString pdf = program.dir.filePath(QStringLiteral("actual.pdf"));
    bool answered = false;
    QTimer::singleShot(0, this, [&] { kova::test::printToFile(pdf, answered); });
    kova::Principal* w = program.arranque.principal();
    QVERIFY(w->command(QStringLiteral("P_Actual"))->isEnabled());
    w->command(QStringLiteral("P_Actual"))->trigger();
    QVERIFY(answered);

    // The reads the command queued, frame by frame (the engine may chain
    // event reads after 30).
    std::vector<Bytes> frames;
    const auto lines = sim.requests();
    for (std::size_t i = startedAt; i < lines.size() && frames.size() < 8; ++i)
        if (kova::test::requestCode(lines[i]) != 2) frames.push_back(kova::test::frameOf(lines[i]));
    QCOMPARE(frames, (std::vector<Bytes>{{0x01, 0x04, 0x02, 0x0D, 0x00, 0x1A, 0xE1, 0xBA},
                                         {0x01, 0x04, 0x02, 0xD0, 0x00, 0x07, 0xB1, 0x89},
                                         {0x01, 0x04, 0x02, 0x7F, 0x00, 0x15, 0x01, 0xA5},
                                         {0x01, 0x04, 0x02, 0x2F, 0x00, 0x19, 0x01, 0xB1},
                                         {0x01, 0x04, 0x02, 0x4B, 0x00, 0x08, 0x80, 0x62},
                                         {0x01, 0x04, 0x02, 0x6A, 0x00, 0x15, 0x10, 0x61},
                                         {0x01, 0x04, 0x02, 0x5E, 0x00, 0x0E, 0x11, 0xA4},
                                         {0x01, 0x04, 0x06, 0x00, 0x00, 0x04, 0xF1, 0x41}}));
    QVERIFY(program.ui.shown.isEmpty());
    QVERIFY(w->isEnabled());
    const QString text = kova::test::pdfLayoutText(pdf);
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Phase A Current:\\s+234\\.6\\s+A"))), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Page 2")));
}

QTEST_MAIN(tst_PrintOverLine)
#include "tst_PrintOverLine.moc"
