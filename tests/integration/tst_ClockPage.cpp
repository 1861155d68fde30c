// The clock page end to end: the program online with the simulated relay
// (its clock started at a known time) reads the relay clock while the page
// is open and sets it from the pickers.

#include "app/AppContext.h"
#include "pages/Aviso_grabacion.h"
#include "pages/DateTimeConfigView.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"
#include "text/DateText.h"

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>

#include <string>

using kova::test::OnlineProgram;
using kova::test::SimHarness;

namespace {

int countWith(const SimHarness& sim, const std::string& text)
{
    int n = 0;
    for (const auto& line : sim.requests())
        n += line.find(text) != std::string::npos;
    return n;
}

int savedBoxes(const OnlineProgram& p)
{
    int n = 0;
    for (const auto& box : p.ui.shown)
        n += box.text == QLatin1String("Setpoints were Saved to the Relay memory");
    return n;
}

} // namespace

class tst_ClockPage : public QObject {
    Q_OBJECT
private slots:
    void readsAndSetsTheRelayClock();
    void menuOpensThePageOffline();
};

void tst_ClockPage::readsAndSetsTheRelayClock()
{
    SimHarness sim({"--clock", "2005-06-22 14:03:07"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::Principal* w = program.arranque.principal();
    QTRY_VERIFY_WITH_TIMEOUT(program.arranque.state().link.Comunicando, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(countWith(sim, "addr 0203") >= 2, 10000);

    auto page = program.context.clockPage();
    page->show();
    QVERIFY(!w->isEnabled());
    // The clock read: function 4, three registers at 0x0200, at load and at every tick.
    QTRY_VERIFY_WITH_TIMEOUT(countWith(sim, "fc 4 addr 0200 count 3") >= 1, 3000);
    QCOMPARE(kova::test::withCrc({0x01, 0x04, 0x02, 0x00, 0x00, 0x03}),
             (kova::test::Bytes{0x01, 0x04, 0x02, 0x00, 0x00, 0x03, 0xB1, 0xB3}));
    QTRY_VERIFY_WITH_TIMEOUT(countWith(sim, "fc 4 addr 0200 count 3") >= 3, 6000);
    QTRY_COMPARE_WITH_TIMEOUT(page->lblFecha()->text(), QString::fromStdString(kova::shortDate(2005, 6, 22)), 3000);
    QVERIFY(page->lblHora()->text().startsWith("14:0"));

    page->DateSys()->setDate(QDate(2030, 5, 17));
    page->TimeSys()->setTime(QTime(8, 9, 10));
    page->Store()->click();
    QCOMPARE(program.ui.shown.last().text, QString("Are your sure that you want to store Date and Time?"));
    QCOMPARE(program.ui.shown.last().title, QString("KOVA Date and Time"));
    QTRY_VERIFY_WITH_TIMEOUT(countWith(sim, "fc 5 addr 0005 value FF00") == 1, 5000);
    QVERIFY(countWith(sim, "fc 16 addr 0090 count 3 data 001E 1628 2464") == 1);
    QCOMPARE(kova::test::withCrc({0x01, 0x10, 0x00, 0x90, 0x00, 0x03, 0x06, 0x00, 0x1E, 0x16, 0x28, 0x24, 0x64}),
             (kova::test::Bytes{0x01, 0x10, 0x00, 0x90, 0x00, 0x03, 0x06, 0x00, 0x1E, 0x16, 0x28, 0x24, 0x64,
                                0xD6, 0x54}));
    QCOMPARE(kova::test::withCrc({0x01, 0x05, 0x00, 0x05, 0xFF, 0x00}),
             (kova::test::Bytes{0x01, 0x05, 0x00, 0x05, 0xFF, 0x00, 0x9C, 0x3B}));
    // The write came before the apply command.
    const auto reqs = sim.requests();
    std::size_t write = 0, apply = 0;
    for (std::size_t i = 0; i < reqs.size(); ++i) {
        if (reqs[i].find("addr 0090") != std::string::npos) write = i;
        if (reqs[i].find("fc 5 addr 0005") != std::string::npos) apply = i;
    }
    QVERIFY(write < apply);
    // "Saved" once the apply command has been answered too.
    QTRY_COMPARE_WITH_TIMEOUT(savedBoxes(program), 1, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(w->command("Load_s")->isEnabled() && !w->commandRunning(), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(page->lblFecha()->text(), QString::fromStdString(kova::shortDate(2030, 5, 17)), 5000);
    QVERIFY(page->lblHora()->text().startsWith("08:09:"));

    page->Okey()->click();
    QVERIFY(page->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!page->isVisible(), 3000);
    QVERIFY(w->isEnabled());
    QVERIFY(!page->Timer1().isActive());
    QCOMPARE(savedBoxes(program), 1);
}

void tst_ClockPage::menuOpensThePageOffline()
{
    kova::test::ScriptedUi ui;
    kova::AppState st;
    kova::AppContext ctx{st};
    kova::Principal w{st, ctx.services()};
    QAction* command = w.command("mnuDateTime");
    QVERIFY(command && command->isEnabled());
    QString caption, date, time, notice;
    bool wasModal = false, noticeModal = true;
    QTimer::singleShot(0, [&] {
        auto* page = qobject_cast<kova::DateTimeConfigView*>(QApplication::activeModalWidget());
        if (!page) return;
        caption = page->windowTitle();
        wasModal = page->windowModality() == Qt::ApplicationModal && page->parent() == nullptr;
        date = page->lblFecha()->text();
        time = page->lblHora()->text();
        page->Store()->click();
        if (page->aviso()) {
            notice = page->aviso()->windowTitle() + "|" + page->aviso()->Label1()->text();
            noticeModal = page->aviso()->isModal();
        }
        page->Okey()->click();
    });
    command->trigger();
    QCOMPARE(caption, QString("SETPOINTS - Date and Time"));
    QVERIFY(wasModal);
    QCOMPARE(date, QString("Not Availble"));
    QCOMPARE(time, QString("Not Available"));
    QCOMPARE(notice, QString("KOVA Date and Time|Enabled only on Communication Mode"));
    QVERIFY(!noticeModal);
    QVERIFY(w.isEnabled());
}

QTEST_MAIN(tst_ClockPage)
#include "tst_ClockPage.moc"
