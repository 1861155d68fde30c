// The Print commands over a fake host and scheduler, with stub report pages
// printed into PDF files: the order of dialog, queued reads, wait, stamp and
// pages; cancel; the wait for fresh data and its failures; the failures of
// the print itself; the stamp texts; the number of event pages.

#include "app/Principal.h"
#include "app/PrintCommands.h"
#include "app/PrinterChooser.h"
#include "pages/FakePageHost.h"
#include "reports/ReportLayout.h"
#include "support/ScriptedUi.h"
#include "text/DateText.h"

#include <QAction>
#include <QApplication>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kova;

namespace {

// The relay as the commands see it: every request queued is answered after
// answerMs (never when negative) by a passed reply that also brings the
// fresh value of position 20; everything the commands do is logged.
struct Relay : test::FakePageHost {
    QStringList log;
    PrintCommands* commands = nullptr;
    int answerMs = 0;
    QObject replies; // replies not yet given end with the relay

    std::optional<RequestSlot> queueRequest(int queue, int code) override
    {
        const auto s = FakePageHost::queueRequest(queue, code);
        log << QStringLiteral("queue %1:%2").arg(queue).arg(code);
        if (s && answerMs >= 0)
            QTimer::singleShot(answerMs, &replies, [this, slot = *s] {
                table[20] = "fresh";
                log << QStringLiteral("reply %1").arg(slot.code);
                commands->replyPassed(slot);
            });
        return s;
    }
    void enableMainWindow(bool e) override
    {
        FakePageHost::enableMainWindow(e);
        log << (e ? "enable" : "disable");
    }
};

QStringList queued(int queue, std::initializer_list<int> codes)
{
    QStringList l;
    for (int c : codes) l << QStringLiteral("queue %1:%2").arg(queue).arg(c);
    return l;
}

const QStringList kEventReads = [] {
    QStringList l = queued(0, {30});
    for (int n = 1; n <= 10; ++n) l << queued(0, {30 + n, 90});
    return l;
}();

// pdfinfo's page count; 0 when there is no file.
int pdfPages(const QString& path)
{
    if (!QFile::exists(path)) return 0;
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(10000);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAll()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A PDF printer whose second sheet fails, as a printer out of paper.
struct FailingSheetWriter : QPdfWriter {
    using QPdfWriter::QPdfWriter;
    bool newPage() override { return false; }
};

struct Fixture {
    QTemporaryDir dir;
    AppState st;
    Relay relay;
    QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    bool cancel = false;
    bool failingSheet = false;
    bool cancelBox = false;
    int boxes = 0;
    QDateTime clock{QDate(2026, 12, 7), QTime(15, 7, 9)};
    int queueZeroBusyMs = 0;             // queue 0 reported busy this long
    QElapsedTimer busy;
    std::function<void()> inDialog;      // runs while the printer dialog is open
    std::set<std::string> failingPages;  // fills that throw
    std::int32_t events = 0;             // events the event pages list
    std::vector<ReportStamp> stamps;     // the stamp of every page filled
    std::vector<std::string> values;     // position 20 when each page was filled
    std::unique_ptr<PrintCommands> commands;

    Fixture()
    {
        PrintServices s;
        s.choosePrinter = [this]() -> std::unique_ptr<QPagedPaintDevice> {
            relay.log << "dialog";
            if (inDialog) inDialog();
            if (cancel) return nullptr;
            if (failingSheet) return std::make_unique<FailingSheetWriter>(pdf);
            return std::make_unique<QPdfWriter>(pdf);
        };
        s.now = [this] {
            relay.log << "clock";
            return clock;
        };
        s.pause = [this](int ms) { relay.log << QStringLiteral("pause %1").arg(ms); };
        busy.start();
        s.queueIdle = [this](int q) { return q != 0 || busy.elapsed() >= queueZeroBusyMs; };
        s.nombreRele = [] { return std::string("FEEDER 3            "); };
        s.waitBox = [this]() -> std::unique_ptr<ReplyWait::Box> {
            ++boxes;
            struct Box : ReplyWait::Box {
                bool& cancel;
                explicit Box(bool& c) : cancel(c) {}
                bool cancelled() override { return cancel; }
            };
            return std::make_unique<Box>(cancelBox);
        };
        s.waitLimits = {1000, 0, 500};
        ReportPages pages;
        for (const char* w : {"AV1_REP", "AV2_REP"}) pages.actualValues.push_back(page(w));
        for (const char* w : {"SET1_REP", "SET2_REP", "SET4_REP", "SET11_REP", "SET12_REP"})
            pages.setpoints.push_back(page(w));
        pages.eventsFirst = [this](PageHost& h, const ReportStamp& s, std::int32_t& n) {
            n = events;
            return page("Events_Rep")(h, s);
        };
        pages.eventsMore = [this](PageHost& h, const ReportStamp& s, std::int32_t p, std::int32_t& n) {
            n = events;
            return page("Events_Rep2 " + std::to_string(p))(h, s);
        };
        commands = std::make_unique<PrintCommands>(st, relay, s, pages);
        relay.commands = commands.get();
        relay.table[20] = "stale";
    }

    ReportPages::Page page(const std::string& name)
    {
        return [this, name](PageHost& h, const ReportStamp& s) {
            relay.log << QString::fromStdString("fill " + name + (st.Imprimiendo ? " printing" : ""));
            stamps.push_back(s);
            values.push_back(h.DatosDeVariables(20).toText());
            if (failingPages.count(name)) throw std::runtime_error("no such value");
            auto c = loadReportLayout(name.substr(0, name.find(' ')));
            if (!c) throw std::runtime_error("no layout");
            fillReportHeader(*c, s);
            return *c;
        };
    }

    void print(const QString& command)
    {
        if (command == "actual") commands->P_Actual_Click();
        else if (command == "events") commands->P_Events_Click();
        else commands->P_Setpoints_Click();
    }
    QStringList messages() const
    {
        QStringList m;
        for (const auto& x : relay.messages)
            m << QString::fromStdString(x.text + " | " + x.title +
                                        (x.icon == PageHost::Icon::Critical      ? " | critical"
                                         : x.icon == PageHost::Icon::Exclamation ? " | exclamation"
                                                                                 : ""));
        return m;
    }
};

const QStringList kActualPages = {"fill AV1_REP printing", "fill AV2_REP printing"};
const QStringList kSetpointPages = {"fill SET1_REP", "fill SET2_REP", "fill SET4_REP", "fill SET11_REP",
                                    "fill SET12_REP"};
const QString kNotRead = QString::fromStdString(PrintCommands::kNotRead) + " | KOVA | exclamation";

} // namespace

class tst_PrintCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setTextLocale({"dd/MM/yyyy"}); }

    // Each command's steps in their order, online (replies at once) and
    // offline, and with Cancel in the printer dialog.
    void commandSteps_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("pages");
        const QStringList actualReads = queued(0, {4, 5, 6, 7, 8, 9, 10}) + queued(1, {30});
        const QStringList setpointReads = queued(0, {61, 62, 63, 64, 65, 66});
        QTest::newRow("actual values online")
            << "actual" << true << false
            << QStringList{"dialog"} + actualReads + QStringList{"disable", "clock"} + kActualPages + QStringList{"enable"}
            << 2;
        QTest::newRow("actual values offline")
            << "actual" << false << false << QStringList{"dialog", "clock"} + kActualPages + QStringList{"enable"} << 2;
        QTest::newRow("actual values cancelled") << "actual" << true << true << QStringList{"dialog", "enable"} << 0;
        QTest::newRow("events online")
            << "events" << true << false
            << QStringList{"dialog"} + kEventReads + QStringList{"disable", "clock", "fill Events_Rep", "enable"} << 1;
        QTest::newRow("events offline")
            << "events" << false << false << QStringList{"dialog", "clock", "fill Events_Rep", "enable"} << 1;
        QTest::newRow("events cancelled") << "events" << true << true << QStringList{"dialog", "enable"} << 0;
        QTest::newRow("setpoints online")
            << "setpoints" << true << false
            << QStringList{"disable"} + setpointReads + QStringList{"pause 1000", "dialog", "disable", "clock"} +
                   kSetpointPages + QStringList{"enable"}
            << 5;
        QTest::newRow("setpoints offline")
            << "setpoints" << false << false
            << QStringList{"disable", "pause 1000", "dialog", "clock"} + kSetpointPages + QStringList{"enable"} << 5;
        QTest::newRow("setpoints cancelled: reads stay queued")
            << "setpoints" << true << true
            << QStringList{"disable"} + setpointReads + QStringList{"pause 1000", "dialog", "enable"} << 0;
    }

    void commandSteps()
    {
        QFETCH(QString, command);
        QFETCH(bool, online);
        QFETCH(bool, cancel);
        QFETCH(QStringList, log);
        QFETCH(int, pages);
        Fixture f;
        f.relay.isOnline = online;
        f.cancel = cancel;
        f.relay.answerMs = 0; // replies come at once, left out of the log
        f.print(command);
        QStringList steps = f.relay.log;
        steps.removeIf([](const QString& s) { return s.startsWith("reply"); });
        QCOMPARE(steps, log);
        QCOMPARE(pdfPages(f.pdf), pages);
        QVERIFY(f.messages().isEmpty());
        QVERIFY(f.relay.mainWindowEnabled());
        QVERIFY(!f.st.Imprimiendo);
        QCOMPARE(f.boxes, 0);
    }

    // The pages are filled only after the last reply, with what it brought,
    // and all under one stamp read after it.
    void pagesShowTheRepliesData()
    {
        Fixture f;
        f.relay.isOnline = true;
        f.relay.answerMs = 50;
        f.print("actual");
        const int lastReply = f.relay.log.lastIndexOf(QRegularExpression("reply .*"));
        QCOMPARE(f.relay.log.count("clock"), 1);
        QVERIFY(lastReply >= 0 && lastReply < f.relay.log.indexOf("clock"));
        QCOMPARE(f.values, (std::vector<std::string>{"fresh", "fresh"}));
        QCOMPARE(pdfPages(f.pdf), 2);
    }

    // The events print also waits for queue 0 to run empty (the engine's own
    // re-reads after the newest event number).
    void eventsWaitForQueueZero()
    {
        Fixture f;
        f.relay.isOnline = true;
        f.queueZeroBusyMs = 200;
        QElapsedTimer t;
        t.start();
        f.print("events");
        QVERIFY(t.elapsed() >= 200);
        QCOMPARE(pdfPages(f.pdf), 1);
    }

    // Whatever keeps the relay's values from being read prints nothing; only
    // Cancel in the wait box goes without a message.
    void notRead_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no reply") << "actual" << "never" << QStringList{kNotRead};
        QTest::newRow("a request not queued") << "actual" << "refused" << QStringList{kNotRead};
        QTest::newRow("a request given up") << "events" << "given up" << QStringList{kNotRead};
        QTest::newRow("link lost") << "actual" << "lost" << QStringList{kNotRead};
        QTest::newRow("link offline") << "events" << "offline" << QStringList{kNotRead};
        QTest::newRow("link lost in the setpoints' dialog") << "setpoints" << "lost in dialog" << QStringList{kNotRead};
        QTest::newRow("cancelled in the wait box") << "actual" << "cancel" << QStringList{};
        QTest::newRow("setpoints cancelled in the wait box") << "setpoints" << "cancel" << QStringList{};
    }

    void notRead()
    {
        QFETCH(QString, command);
        QFETCH(QString, how);
        QFETCH(QStringList, messages);
        Fixture f;
        f.relay.isOnline = true;
        f.relay.answerMs = -1;
        if (how == "refused") {
            f.relay.answerMs = 0;
            f.relay.refuse = {7};
        } else if (how == "given up") {
            QTimer::singleShot(20, &f.relay.replies, [&] { f.commands->requestGivenUp(f.relay.queued[3].slot); });
        } else if (how == "lost") {
            QTimer::singleShot(20, &f.relay.replies, [&] { f.commands->linkLost(); });
        } else if (how == "offline") {
            QTimer::singleShot(20, &f.relay.replies, [&] { f.relay.isOnline = false; });
        } else if (how == "lost in dialog") {
            f.inDialog = [&] { f.commands->linkLost(); };
        } else if (how == "cancel") {
            f.cancelBox = true;
        }
        f.print(command);
        QCOMPARE(f.messages(), messages);
        QVERIFY(!QFile::exists(f.pdf));
        QVERIFY(f.stamps.empty());
        QVERIFY(f.relay.mainWindowEnabled());
        QVERIFY(!f.st.Imprimiendo);
        // The reads stay queued.
        QVERIFY(!f.relay.queued.empty());
        QVERIFY(how != "cancel" || f.boxes == 1);
    }

    // A failure ends the print with the pages printed so far and a message;
    // the command unwinds as ever.
    void printingStops_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("message");
        QTest::newRow("second page not filled") << "actual" << "AV2_REP" << 1
                                                << "Printing stopped: page 2 could not be filled. Pages printed: 1.";
        QTest::newRow("first page not filled") << "actual" << "AV1_REP" << 0
                                               << "Printing stopped: page 1 could not be filled. Pages printed: 0.";
        QTest::newRow("event page 3 not filled") << "events" << "Events_Rep2 3" << 2
                                                 << "Printing stopped: page 3 could not be filled. Pages printed: 2.";
        QTest::newRow("setpoint page 3 not filled") << "setpoints" << "SET4_REP" << 2
                                                    << "Printing stopped: page 3 could not be filled. Pages printed: 2.";
        QTest::newRow("printer not started") << "actual" << "no printer" << 0
                                             << "Printing stopped: the printer could not be started. Pages printed: 0.";
        QTest::newRow("printer error") << "actual" << "sheet" << 1
                                       << "Printing stopped: the printer reported an error. Pages printed: 1.";
    }

    void printingStops()
    {
        QFETCH(QString, command);
        QFETCH(QString, fault);
        QFETCH(int, pages);
        QFETCH(QString, message);
        Fixture f;
        f.events = 20;
        f.failingPages = {fault.toStdString()};
        if (fault == "no printer") f.pdf = f.dir.filePath("no/such/folder/out.pdf");
        f.failingSheet = fault == "sheet";
        f.print(command);
        QCOMPARE(pdfPages(f.pdf), pages);
        QCOMPARE(f.messages(), QStringList{message + " | KOVA | critical"});
        QVERIFY(f.relay.mainWindowEnabled());
        QVERIFY(!f.st.Imprimiendo);
    }

    // One stamp for every page: the date in the program's short-date
    // pattern, the time on the 12-hour clock.
    void stamp_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("fecha");
        QTest::addColumn<QString>("hora");
        QTest::newRow("afternoon") << "dd/MM/yyyy" << QDateTime(QDate(2026, 3, 4), QTime(15, 7, 9)) << "04/03/2026"
                                   << "03:07:09 PM";
        QTest::newRow("after midnight") << "M/d/yyyy" << QDateTime(QDate(2026, 12, 31), QTime(0, 5, 0))
                                        << "12/31/2026" << "12:05:00 AM";
        QTest::newRow("noon") << "yyyy-MM-dd" << QDateTime(QDate(2027, 1, 2), QTime(12, 0, 0)) << "2027-01-02"
                              << "12:00:00 PM";
        QTest::newRow("before midnight") << "dd/MM/yyyy" << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59))
                                         << "31/12/2026" << "11:59:59 PM";
    }

    void stamp()
    {
        QFETCH(QString, pattern);
        QFETCH(QDateTime, now);
        QFETCH(QString, fecha);
        QFETCH(QString, hora);
        setTextLocale({pattern.toStdString()});
        Fixture f;
        f.clock = now;
        f.print("setpoints");
        setTextLocale({"dd/MM/yyyy"});
        QCOMPARE(f.st.Hora_Impresion, hora);
        QCOMPARE(f.stamps.size(), std::size_t{5});
        for (const ReportStamp& s : f.stamps) {
            QCOMPARE(QString::fromStdString(s.fecha), fecha);
            QCOMPARE(QString::fromStdString(s.horaImpresion), hora);
            QCOMPARE(s.nombreRele, std::string("FEEDER 3            "));
        }
    }

    // Three events a page: a continuation page for each further three.
    void eventPages_data()
    {
        QTest::addColumn<int>("events");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lastPage"); // Pagina_Eventos afterwards (it starts at 9)
        const int rows[][3] = {{0, 1, 9}, {3, 1, 9}, {4, 2, 2}, {6, 2, 2}, {7, 3, 3}, {18, 6, 6}, {19, 7, 7}, {20, 7, 7}};
        for (const auto& r : rows) QTest::addRow("%d events", r[0]) << r[0] << r[1] << r[2];
    }

    void eventPages()
    {
        QFETCH(int, events);
        QFETCH(int, pages);
        QFETCH(int, lastPage);
        Fixture f;
        f.events = events;
        f.st.Pagina_Eventos = 9;
        f.print("events");
        QCOMPARE(pdfPages(f.pdf), pages);
        QCOMPARE(f.st.Pagina_Eventos, lastPage);
        QCOMPARE(f.st.Contador_Eventos, events);
    }

    // The program's printer dialog offers print to file and no page choice.
    void printerDialogOptions()
    {
        QPrintDialog::PrintDialogOptions seen;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            seen = d->options();
            d->reject();
        });
        QVERIFY(!choosePrinter(nullptr));
        QVERIFY(seen.testFlag(QAbstractPrintDialog::PrintToFile));
        for (auto off : {QAbstractPrintDialog::PrintSelection, QAbstractPrintDialog::PrintPageRange,
                         QAbstractPrintDialog::PrintCurrentPage})
            QVERIFY(!seen.testFlag(off));
    }

    // File > Print: each entry runs its command.
    void printMenu()
    {
        test::ScriptedUi ui;
        AppState st;
        QStringList ran;
        MainWindowServices s;
        s.printActualValues = [&] { ran << "actual"; };
        s.printEvents = [&] { ran << "events"; };
        s.printSetpoints = [&] { ran << "setpoints"; };
        Principal w{st, s};
        for (const char* name : {"P_Setpoints", "P_Actual", "P_Events"}) {
            QVERIFY(w.command(name)->isEnabled());
            w.command(name)->trigger();
        }
        QCOMPARE(ran, (QStringList{"setpoints", "actual", "events"}));
    }
};

QTEST_MAIN(tst_PrintCommands)
#include "tst_PrintCommands.moc"
