// The events page in the program online against the simulated relay with 25
// events: what it sends, what it lists, a new event arriving while it is
// open, and Clear; Clear while the relay refuses every read of its event
// record; and the newest-number read refused until the link gives it up.

#include "app/AppContext.h"
#include "reports/EventsPageView.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"
#include "text/DateText.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <string>
#include <vector>

using kova::test::Bytes;
using kova::test::OnlineProgram;
using kova::test::SimHarness;
using kova::test::withCrc;

namespace {

// Request lines of the simulator's log from `from` on, other than the
// cyclic status read.
std::vector<std::string> requestsAfter(const SimHarness& sim, std::size_t from)
{
    std::vector<std::string> out;
    const auto reqs = sim.requests();
    for (std::size_t i = from; i < reqs.size(); ++i)
        if (reqs[i].find(" addr 0203 ") == std::string::npos) out.push_back(reqs[i]);
    return out;
}

bool has(const std::string& line, const std::string& text) { return line.find(text) != std::string::npos; }

QStringList row(const QTreeWidget& list, int i)
{
    QStringList cells;
    const QTreeWidgetItem* item = list.topLevelItem(i);
    for (int c = 0; item && c < list.columnCount(); ++c) cells << item->text(c);
    return cells;
}

// Item texts (event numbers) from the first item on.
std::vector<int> numbers(const QTreeWidget& list)
{
    std::vector<int> n;
    for (int i = 0; i < list.topLevelItemCount(); ++i) n.push_back(list.topLevelItem(i)->text(0).toInt());
    return n;
}

bool unbroken(const std::vector<int>& n)
{
    for (std::size_t i = 1; i < n.size(); ++i)
        if (n[i] != n[0] - int(i)) return false;
    return true;
}

// Closes the events page, if it is still open, when the test leaves its scope.
struct ClosePageAtEnd {
    kova::EventsPageView*& v;
    ~ClosePageAtEnd()
    {
        if (v && v->isVisible()) v->reject();
    }
};

} // namespace

// Connects the program to the simulated relay and waits until the connect
// sequence has read the whole event record (rows 25 .. 6) and the line is
// quiet.
bool connectedWithTheRecordRead(SimHarness& sim, OnlineProgram& program)
{
    const auto eventSixRead = [&] { return program.context.DELU().DatosDeVariables(103).toText().rfind("6,", 0) == 0; };
    return sim.ok() && program.start(sim) &&
           QTest::qWaitFor([&] { return program.arranque.state().link.Comunicando; }, 10000) &&
           QTest::qWaitFor(eventSixRead, 20000) &&
           QTest::qWaitFor([&] { return requestsAfter(sim, sim.requests().size() - 3).empty(); }, 5000);
}

class tst_EventsPageOnline : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listFollowsTheRelayAndClears();
    void clearedWhileTheRecordIsRefused();
    void newestNumberRefusedUntilTheLinkGivesItUp();

private:
    void onThePage(SimHarness& sim, OnlineProgram& program, std::size_t openedAt);
    bool ran_ = false;
};

void tst_EventsPageOnline::initTestCase()
{
    // The frames the page makes the program send, as our own CRC makes them.
    QCOMPARE(withCrc({0x01, 0x04, 0x06, 0x00, 0x00, 0x04}), (Bytes{0x01, 0x04, 0x06, 0x00, 0x00, 0x04, 0xF1, 0x41}));
    QCOMPARE(withCrc({0x01, 0x10, 0x06, 0x10, 0x00, 0x01, 0x02, 0x00, 0x19}),
             (Bytes{0x01, 0x10, 0x06, 0x10, 0x00, 0x01, 0x02, 0x00, 0x19, 0x03, 0x0A}));
    QCOMPARE(withCrc({0x01, 0x04, 0x06, 0x10, 0x00, 0x16}), (Bytes{0x01, 0x04, 0x06, 0x10, 0x00, 0x16, 0x70, 0x89}));
    QCOMPARE(withCrc({0x01, 0x05, 0x00, 0x09, 0xFF, 0x00}), (Bytes{0x01, 0x05, 0x00, 0x09, 0xFF, 0x00, 0x5C, 0x38}));
}

void tst_EventsPageOnline::listFollowsTheRelayAndClears()
{
    SimHarness sim({"--events", "25"});
    OnlineProgram program;
    QVERIFY2(connectedWithTheRecordRead(sim, program), sim.error().c_str());
    const kova::AppState& st = program.arranque.state();
    kova::Principal* w = program.arranque.principal();

    QAction* command = w->command("AV_page4");
    QVERIFY(command && command->isEnabled());
    QCOMPARE(command->text(), QString("&Events"));
    const std::size_t openedAt = sim.requests().size();
    ran_ = false;
    QTimer::singleShot(0, this, [&] { onThePage(sim, program, openedAt); });
    command->trigger(); // returns when the page has closed
    QVERIFY(ran_);
    QVERIFY(w->isEnabled());
    QVERIFY(!st.Cerrar_Pagina);
}

// The relay refuses every read of its event record; Clear, Yes: the list
// shows none of the cleared events, and the page says the record could not
// be read while it keeps polling; once the relay answers again the list
// holds the clear and the words go.
void tst_EventsPageOnline::clearedWhileTheRecordIsRefused()
{
    SimHarness sim({"--events", "25"});
    OnlineProgram program;
    QVERIFY2(connectedWithTheRecordRead(sim, program), sim.error().c_str());
    ran_ = false;
    QTimer::singleShot(0, this, [&] {
        kova::EventsPageView* view = nullptr;
        const ClosePageAtEnd close{view};
        QTRY_VERIFY((view = qobject_cast<kova::EventsPageView*>(QApplication::activeModalWidget())));
        const QTreeWidget& list = *view->ListView1();
        QCOMPARE(list.topLevelItemCount(), 20);
        QVERIFY(view->Estado()->text().isEmpty());

        sim.control("refuse 4 0610");
        QVERIFY(sim.waitForLog("ctl refuse 4 0610"));
        const std::size_t refusedAt = sim.requests().size();
        QTest::mouseClick(view->Clear(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(program.ui.shown.last().text == QString("Command executed"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(list.topLevelItemCount(), 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!view->Estado()->text().isEmpty(), 20000);
        const int inARow = program.context.linkLoop().Fallos_Seguidos(kova::EventsPage::kLeerRegistroEvento);
        QCOMPARE(view->Estado()->text(), QString::fromStdString(kova::EventsPage::Texto_Sin_Lectura(inARow)));
        QCOMPARE(list.topLevelItemCount(), 0);
        int refused = 0;
        for (const auto& line : requestsAfter(sim, refusedAt)) refused += has(line, "fc 4 addr 0610 count 22 ");
        QVERIFY2(refused >= 5, std::to_string(refused).c_str());
        QVERIFY(view->Timer1().isActive());

        sim.control("accept");
        QTRY_VERIFY_WITH_TIMEOUT(list.topLevelItemCount() == 1, 10000);
        QCOMPARE(row(list, 0).mid(0, 2), (QStringList{"1", " Events Clear"}));
        QVERIFY(view->Estado()->text().isEmpty());
        QVERIFY(program.arranque.state().link.Comunicando);
        ran_ = true;
    });
    program.arranque.principal()->command("AV_page4")->trigger(); // returns when the page has closed
    QVERIFY(ran_);
}

// The relay refuses the newest-number read: the link gives it up after five
// refusals and the page says so as the link error's box shows, not that it
// keeps trying; once the relay answers again nothing more is asked.
void tst_EventsPageOnline::newestNumberRefusedUntilTheLinkGivesItUp()
{
    SimHarness sim({"--events", "25"});
    OnlineProgram program;
    QVERIFY2(connectedWithTheRecordRead(sim, program), sim.error().c_str());
    ran_ = false;
    QTimer::singleShot(0, this, [&] {
        kova::EventsPageView* view = nullptr;
        const ClosePageAtEnd close{view};
        QTRY_VERIFY((view = qobject_cast<kova::EventsPageView*>(QApplication::activeModalWidget())));
        QString lineInBox;
        program.ui.onShow = [&](const auto&) { lineInBox = view->Estado()->text(); };
        sim.control("refuse 4 0600");
        QVERIFY(sim.waitForLog("ctl refuse 4 0600"));
        const std::size_t refusedAt = sim.requests().size();
        QTRY_VERIFY_WITH_TIMEOUT(!program.ui.shown.isEmpty(), 30000);
        QCOMPARE(program.ui.shown.last().text, QString(" Communication Error..."));
        int refused = 0; // the reads the relay refused, as many as the line counts
        for (const auto& line : requestsAfter(sim, refusedAt)) refused += has(line, "fc 4 addr 0600 count 4 ");
        QVERIFY2(refused >= 5, std::to_string(refused).c_str());
        const QString givenUp = QString::fromStdString(kova::EventsPage::Texto_Abandonada(30, refused));
        QCOMPARE(lineInBox, givenUp);
        QVERIFY(!program.arranque.state().link.Comunicando);
        sim.control("accept");
        QVERIFY(sim.waitForLog("ctl accept"));
        const std::size_t acceptedAt = sim.requests().size();
        QTest::qWait(3500);
        QCOMPARE(sim.requests().size(), acceptedAt);
        QCOMPARE(view->Estado()->text(), givenUp);
        QVERIFY(!view->Timer1().isActive());
        ran_ = true;
    });
    program.arranque.principal()->command("AV_page4")->trigger(); // returns when the page has closed
    QVERIFY(ran_);
}

// Runs while the page is open (inside its modal loop); closes it at the end.
void tst_EventsPageOnline::onThePage(SimHarness& sim, OnlineProgram& program, std::size_t openedAt)
{
    kova::EventsPageView* view = nullptr;
    const ClosePageAtEnd close{view};
    QTRY_VERIFY((view = qobject_cast<kova::EventsPageView*>(QApplication::activeModalWidget())));
    QVERIFY(!program.arranque.principal()->isEnabled());
    const QTreeWidget& list = *view->ListView1();

    // Listed at once from the engine's table, nothing queued by the opening.
    QCOMPARE(list.topLevelItemCount(), 20);
    const QString stamp = QString::fromStdString(kova::shortDate(2005, 1, 25)) + " 05:55:35";
    QCOMPARE(row(list, 0), (QStringList{"25", " Frequency 1", stamp, "109.25", "108.25", "106.75",
                                       "0.75", "1.95", "13775", "13765", "13785", "59.95", "0.85"}));
    QCOMPARE(row(list, 19).at(0), QString("6"));

    // Every tick: the newest number, then the newest record re-read.
    QTRY_VERIFY_WITH_TIMEOUT(requestsAfter(sim, openedAt).size() >= 6, 8000);
    const auto sent = requestsAfter(sim, openedAt);
    for (std::size_t i = 0; i < 6; ++i) {
        const std::string& line = sent[i];
        if (i % 3 == 0) QVERIFY2(has(line, "fc 4 addr 0600 count 4 "), line.c_str());
        if (i % 3 == 1) QVERIFY2(has(line, "fc 16 addr 0610 count 1 data 0019 "), line.c_str());
        if (i % 3 == 2) QVERIFY2(has(line, "fc 4 addr 0610 count 22 "), line.c_str());
    }
    QCOMPARE(list.topLevelItemCount(), 20);

    // A new event: the list becomes 26 .. 7, never with a gap on the way.
    sim.control("event");
    bool gap = false;
    QTRY_VERIFY_WITH_TIMEOUT((gap = gap || !unbroken(numbers(list)), numbers(list).size() == 20 && numbers(list)[0] == 26),
                             15000);
    QVERIFY(!gap);
    QCOMPARE(numbers(list).back(), 7);

    // Clear, Yes: the relay's record holds the clear only.
    const std::size_t boxes = program.ui.shown.size();
    const std::size_t clearAt = sim.requests().size();
    QTest::mouseClick(view->Clear(), Qt::LeftButton);
    QCOMPARE(program.ui.shown.size(), boxes + 1);
    QCOMPARE(program.ui.shown.last().text, QString("Are your sure that you want to clear Events?"));
    const auto clears = [&] {
        int n = 0;
        for (const auto& line : requestsAfter(sim, clearAt)) n += has(line, "fc 5 ");
        return n;
    };
    QTRY_COMPARE_WITH_TIMEOUT(clears(), 1, 5000);
    for (const auto& line : requestsAfter(sim, clearAt))
        if (has(line, "fc 5 ")) QVERIFY2(has(line, "fc 5 addr 0009 value FF00 reply ok"), line.c_str());
    QTRY_VERIFY_WITH_TIMEOUT(program.ui.shown.last().text == QString("Command executed"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(list.topLevelItemCount() == 1, 10000);
    QCOMPARE(row(list, 0).mid(0, 2), (QStringList{"1", " Events Clear"}));

    // OK: the page stays until the next tick closes it.
    QTest::mouseClick(view->Okey(), Qt::LeftButton);
    QVERIFY(view->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!view->isVisible(), 3000);
    ran_ = true;
}

QTEST_MAIN(tst_EventsPageOnline)
#include "tst_EventsPageOnline.moc"
