// The Print commands over a fake host and scheduler, with stub report pages
// printed into PDF files: the order of dialog, queued reads, wait, stamp and
// pages; cancel; the wait for fresh data and its failures; the failures of
// the print itself; the number of event pages.

#include "app/PrintCommands.h"
#include "app/PrintJob.h"
#include "app/PrinterChooser.h"
#include "app/ReadingBox.h"
#include "reports/Events_Rep.h"
#include "reports/FakeEventsHost.h"
#include "reports/ReportLayout.h"
#include "reports/support/PdfText.h"
#include "support/AppFiles.h"
#include "text/DateText.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;

namespace {

// The page count of a PDF; 0 when there is no file.
int pdfPages(const QString& path)
{
    return QFile::exists(path) ? test::pdfPageCount(path.toStdString()) : 0;
}

// A PDF printer whose second sheet fails, as a printer out of paper.
struct FailingSheetWriter : QPdfWriter {
    using QPdfWriter::QPdfWriter;
    bool newPage() override { return false; }
};

// The program around the commands: every request queued is answered after
// answerMs (never when negative) by a passed reply that brings the fresh
// value of position 20; what the commands do is logged in order.
struct Fixture : test::FakeEventsHost {
    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    AppState st;
    QStringList log;
    QObject timers; // timers not yet run end with the fixture
    int answerMs = 0;
    bool cancel = false, failingSheet = false, cancelBox = false, queueZeroIdle = true;
    int boxes = 0;
    QDateTime clock{QDate(2026, 12, 7), QTime(15, 7, 9)};
    std::function<void()> inDialog;
    std::set<std::string> failingPages;
    QStringList details; // the detail lines of the boxes shown
    std::int32_t events = 0; // events the event pages list
    std::vector<ReportStamp> stamps; // of every page filled
    std::vector<std::string> values; // position 20 as each page was filled
    std::unique_ptr<PrintCommands> commands;

    Fixture()
    {
        PrintServices s;
        s.choosePrinter = [this]() -> std::unique_ptr<QPagedPaintDevice> {
            log << "dialog";
            if (inDialog) inDialog();
            if (cancel) return nullptr;
            if (failingSheet) return std::make_unique<FailingSheetWriter>(pdf);
            return std::make_unique<QPdfWriter>(pdf);
        };
        s.now = [this] { return log << "clock", clock; };
        s.pause = [this](int ms) { log << QStringLiteral("pause %1").arg(ms); };
        s.queueIdle = [this](int q) { return q != 0 || queueZeroIdle; };
        s.nombreRele = [] { return std::string("FEEDER 3            "); };
        s.waitBox = [this] { return ++boxes, std::unique_ptr<ReplyWait::Box>(new Proxy{*this}); };
        s.waitLimits = {1000, 0, 500};
        s.messageDetail = [this](const std::string& text, const std::string& title, Icon icon,
                                 const std::string& detail) {
            message(text, title, icon);
            details << QString::fromStdString(detail);
        };
        ReportPages pages;
        for (const char* w : {"AV1_REP", "AV2_REP"}) pages.actualValues.push_back(page(w));
        for (const char* w : {"SET1_REP", "SET2_REP", "SET4_REP", "SET11_REP", "SET12_REP"})
            pages.setpoints.push_back(page(w));
        pages.eventsFirst = [this](PageHost& h, const ReportStamp& s, std::int32_t& n) {
            return n = events, page("Events_Rep")(h, s);
        };
        pages.eventsMore = [this](PageHost& h, const ReportStamp& s, std::int32_t p, std::int32_t& n) {
            return n = events, page("Events_Rep2 " + std::to_string(p))(h, s);
        };
        commands = std::make_unique<PrintCommands>(st, *this, s, pages);
        table[20] = "stale";
    }
    struct Proxy : ReplyWait::Box {
        Fixture& f;
        explicit Proxy(Fixture& x) : f(x) {}
        bool cancelled() override { return f.cancelBox; }
    };

    ReportPages::Page page(const std::string& name)
    {
        return [this, name](PageHost& h, const ReportStamp& s) {
            log << QString::fromStdString("fill " + name + (st.Imprimiendo ? " printing" : ""));
            stamps.push_back(s);
            values.push_back(h.DatosDeVariables(20).toText());
            if (failingPages.count(name)) throw std::runtime_error("no such value");
            auto c = loadReportLayout(name.substr(0, name.find(' ')));
            fillReportHeader(*c, s);
            return *c;
        };
    }
    std::optional<RequestSlot> queueRequest(int queue, int code) override
    {
        const auto s = FakePageHost::queueRequest(queue, code);
        log << QStringLiteral("queue %1:%2").arg(queue).arg(code);
        if (s && answerMs >= 0)
            QTimer::singleShot(answerMs, &timers, [this, slot = *s] {
                table[20] = "fresh";
                log << "reply";
                commands->replyPassed(slot);
            });
        return s;
    }
    void enableMainWindow(bool e) override
    {
        FakePageHost::enableMainWindow(e);
        log << (e ? "enable" : "disable");
    }
    void later(int ms, std::function<void()> what) { QTimer::singleShot(ms, &timers, what); }

    void print(const QString& command)
    {
        if (command == "actual") commands->P_Actual_Click();
        else if (command == "events") commands->P_Events_Click();
        else commands->P_Setpoints_Click();
    }
    QStringList shown() const
    {
        QStringList m;
        for (const auto& x : messages)
            m << QString::fromStdString(x.text + " | " + x.title) +
                     (x.icon == Icon::Critical ? " | critical" : x.icon == Icon::Exclamation ? " | exclamation" : "");
        return m;
    }
};

QStringList queued(int queue, std::initializer_list<int> codes)
{
    QStringList l;
    for (int c : codes) l << QStringLiteral("queue %1:%2").arg(queue).arg(c);
    return l;
}

const QString kNotRead = QString::fromStdString(PrintCommands::kNotRead) + " | KOVA | exclamation";

} // namespace

class tst_PrintCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setTextLocale({"dd/MM/yyyy"}); }

    // One row a print: the command, online or not, what goes wrong ("" for
    // nothing), then what the command did (its steps, when given), the
    // pages printed and the message told.
    void print_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("message");
        const QStringList actual = {"fill AV1_REP printing", "fill AV2_REP printing", "enable"};
        const QStringList setpoints = {"fill SET1_REP", "fill SET2_REP", "fill SET4_REP", "fill SET11_REP",
                                       "fill SET12_REP", "enable"};
        QStringList eventReads = queued(0, {30});
        for (int n = 1; n <= 10; ++n) eventReads << queued(0, {30 + n, 90});
        const QStringList setpointReads = queued(0, {61, 62, 63, 64, 65, 66});
        const QStringList none;

        // Each command's steps in their order, online (replies at once;
        // queue 0 runs empty later) and offline, and with Cancel in the
        // printer dialog.
        QTest::newRow("actual values online")
            << "actual" << true << "" << QStringList{"dialog"} + queued(0, {4, 5, 6, 7, 8, 9, 10}) + queued(1, {30}) +
                   QStringList{"disable", "clock"} + actual << 2 << "";
        QTest::newRow("actual values offline") << "actual" << false << "" << QStringList{"dialog", "clock"} + actual << 2 << "";
        for (const char* command : {"actual", "events"})
            QTest::addRow("%s cancelled", command) << command << true << "cancel" << QStringList{"dialog", "enable"} << 0 << "";
        QTest::newRow("events online")
            << "events" << true << "queue 0 busy" << QStringList{"dialog"} + eventReads +
                   QStringList{"disable", "queue 0 idle", "clock", "fill Events_Rep", "enable"} << 1 << "";
        QTest::newRow("events offline") << "events" << false << "" << QStringList{"dialog", "clock", "fill Events_Rep", "enable"} << 1 << "";
        QTest::newRow("setpoints online")
            << "setpoints" << true << "" << QStringList{"disable"} + setpointReads +
                   QStringList{"pause 1000", "dialog", "disable", "clock"} + setpoints << 5 << "";
        QTest::newRow("setpoints offline") << "setpoints" << false << ""
                                           << QStringList{"disable", "pause 1000", "dialog", "clock"} + setpoints << 5 << "";
        QTest::newRow("setpoints cancelled: reads stay queued")
            << "setpoints" << true << "cancel" << QStringList{"disable"} + setpointReads +
                   QStringList{"pause 1000", "dialog", "enable"} << 0 << "";

        // Whatever keeps the relay's values from being read prints nothing
        // and leaves the reads queued; only Cancel in the wait box tells nothing.
        for (const auto& [command, how] : {std::pair{"actual", "never"}, {"actual", "refused"}, {"events", "given up"},
                                           {"actual", "lost"}, {"events", "offline"}, {"setpoints", "lost in dialog"},
                                           {"actual", "box cancel"}, {"setpoints", "box cancel"}})
            QTest::addRow("%s: %s", command, how) << QString(command) << true << QString(how) << none << 0
                                                  << (QString(how) == "box cancel" ? "" : kNotRead);

        // A failure ends the print with the pages printed so far and a
        // message; the command unwinds as ever.
        const QString notFilled = "Printing stopped: page %1 could not be filled. Pages printed: %2. | KOVA | critical";
        const QString stopped = "Printing stopped: the printer %1. Pages printed: %2. | KOVA | critical";
        QTest::newRow("second page") << "actual" << false << "fail AV2_REP" << none << 1 << notFilled.arg(2).arg(1);
        QTest::newRow("first page") << "actual" << false << "fail AV1_REP" << none << 0 << notFilled.arg(1).arg(0);
        QTest::newRow("event page 3") << "events" << false << "fail Events_Rep2 3" << none << 2 << notFilled.arg(3).arg(2);
        QTest::newRow("setpoint page 3") << "setpoints" << false << "fail SET4_REP" << none << 2 << notFilled.arg(3).arg(2);
        QTest::newRow("printer not started") << "actual" << false << "no printer" << none << 0
                                             << stopped.arg("could not be started").arg(0);
        QTest::newRow("printer error") << "actual" << false << "sheet" << none << 1 << stopped.arg("reported an error").arg(1);
    }

    void print()
    {
        QFETCH(QString, command);
        QFETCH(bool, online);
        QFETCH(QString, how);
        QFETCH(QStringList, log);
        QFETCH(int, pages);
        QFETCH(QString, message);
        Fixture f;
        f.isOnline = online;
        f.cancel = how == "cancel";
        f.cancelBox = how == "box cancel";
        f.failingSheet = how == "sheet";
        f.answerMs = how == "never" || how == "given up" || how == "lost" || how == "offline" ||
                             how == "lost in dialog" || how == "box cancel" ? -1 : 0;
        if (how == "refused") f.refuse = {7};
        if (how.startsWith("fail ")) f.failingPages = {how.mid(5).toStdString()}, f.events = 20;
        if (how == "no printer") f.pdf = f.dir.filePath("no/such/folder/out.pdf");
        if (how == "queue 0 busy") {
            f.queueZeroIdle = false;
            f.later(50, [&] { f.log << "queue 0 idle", f.queueZeroIdle = true; });
        }
        if (how == "given up") f.later(20, [&] { f.commands->requestGivenUp(f.queued[3].slot); });
        if (how == "lost") f.later(20, [&] { f.commands->linkLost(); });
        if (how == "offline") f.later(20, [&] { f.isOnline = false; });
        if (how == "lost in dialog") f.inDialog = [&] { f.commands->linkLost(); };
        f.print(command);

        QCOMPARE(pdfPages(f.pdf), pages);
        QCOMPARE(f.shown(), message.isEmpty() ? QStringList{} : QStringList{message});
        // A page that could not be filled says why in the detail line.
        QCOMPARE(f.details, how.startsWith("fail ") ? QStringList{"no such value"} : QStringList{});
        QVERIFY(f.mainWindowEnabled() && !f.st.Imprimiendo);
        if (!log.isEmpty()) {
            // Every reply came before the one clock reading.
            const auto clock = f.log.indexOf("clock");
            QVERIFY(clock < 0 || f.log.lastIndexOf("reply") < clock);
            f.log.removeAll("reply");
            QCOMPARE(f.log, log);
            for (const std::string& v : f.values) QCOMPARE(v, std::string(online ? "fresh" : "stale"));
            // One stamp, read once, on every page: the short date, the 12-hour time.
            for (const ReportStamp& s : f.stamps)
                QCOMPARE(QStringList({s.fecha.c_str(), s.horaImpresion.c_str(), s.nombreRele.c_str()}),
                         QStringList({"07/12/2026", "03:07:09 PM", "FEEDER 3            "}));
            QCOMPARE(f.st.Hora_Impresion, pages ? QStringLiteral("03:07:09 PM") : QString());
        }
        if (how == "box cancel") QCOMPARE(f.boxes, 1);
        if (log.isEmpty() && online) QVERIFY(f.stamps.empty() && !f.queued.empty());
    }

    // The event record printed online: three events a page, a continuation
    // page for each further three.
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
        f.isOnline = true;
        f.setRows(test::eventRun(100, events));
        f.commands->pages().eventsFirst = Events_Rep;
        f.commands->pages().eventsMore = Events_Rep2;
        f.st.Pagina_Eventos = 9;
        f.print("events");
        QCOMPARE(pdfPages(f.pdf), pages);
        QCOMPARE(f.st.Pagina_Eventos, lastPage);
        QVERIFY(test::pdfText(f.pdf.toStdString(), pages).find("Page " + std::to_string(pages)) != std::string::npos);
        QVERIFY(f.shown().isEmpty() && f.mainWindowEnabled());
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
        QVERIFY(!(seen & (QAbstractPrintDialog::PrintSelection | QAbstractPrintDialog::PrintPageRange |
                          QAbstractPrintDialog::PrintCurrentPage)));
    }

    // "Print to File (PDF)" answered with the dialog's Print button: a symbolic link chosen stays a link and
    // the file it names, there or not yet, takes the PDF whole; the dialog leaves no file behind. A relative
    // name is the one in the home folder, also for the dialog's check (a dangling link in the working folder).
    void printToFileThroughALink_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<bool>("relative");
        QTest::newRow("dangling link") << false << false;
        QTest::newRow("relative name, a dangling link in the working folder") << true << true;
    }

    void printToFileThroughALink()
    {
        QFETCH(bool, targetExists);
        QFETCH(bool, relative);
        QTemporaryDir dir, work;
        const QString target = dir.filePath("target.pdf"), link = dir.filePath("link.pdf");
        const QByteArray home = qgetenv("HOME");
        const QString current = QDir::currentPath();
        const auto restore = qScopeGuard([&] { qputenv("HOME", home); QDir::setCurrent(current); });
        qputenv("HOME", QFile::encodeName(dir.path()));
        QVERIFY(QDir::setCurrent(work.path()));
        QVERIFY(QFile::link("target.pdf", link) && QFile::link("target.pdf", work.filePath("link.pdf")));
        QVERIFY(!targetExists || test::writeAll(target, "earlier"));
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            auto* printers = d->findChild<QComboBox*>(QStringLiteral("printers"));
            printers->setCurrentIndex(printers->count() - 1);
            d->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(relative ? "link.pdf" : link);
            QTimer::singleShot(100, [] { // Qt's question over an earlier file: Yes
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                    box->button(QMessageBox::Yes)->click();
            });
            d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        const auto printer = choosePrinter(nullptr);
        QVERIFY(printer);
        QCOMPARE(printer->outputFileName(), link);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo::exists(target), targetExists);
        PrintJob job(*printer);
        QVERIFY(job.page([] { return *loadReportLayout("AV1_REP"); }));
        job.finish();
        QVERIFY(!job.failure() && QFileInfo(link).isSymLink() && pdfFileComplete(target));
        const auto files = QDir::Files | QDir::System | QDir::Hidden;
        QCOMPARE(QDir(dir.path()).entryList(files), (QStringList{"link.pdf", "target.pdf"}));
        QCOMPARE(QDir(work.path()).entryList(files), QStringList{"link.pdf"});
    }

    // The wait box is modal over the program; its Cancel ends the wait.
    void readingBoxCancel()
    {
        ReadingBox box;
        auto* d = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        QVERIFY(d && d->labelText() == "Reading values from the relay..." && !box.cancelled());
        QTest::mouseClick(d->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(box.cancelled());
    }
};

QTEST_MAIN(tst_PrintCommands)
#include "tst_PrintCommands.moc"
