// Pictures of the program's windows as a user sees them, taken on a virtual
// X display (Xvfb): the main window online against the simulated relay, as a
// user starts it (with its Setup menu), the connection window and the
// metering page over it, the System Setup and phase protections (inverse
// curves) pages with the relay's values and the events page. The pictures
// must show real windows (right size, several colours). With
// KOVA_WRITE_DOCS=1 they are also written, scaled down, to the repository's
// docs/ folder, where the README shows them.

#include "app/AppContext.h"
#include "app/Comunicacion.h"
#include "app/UserControl1.h"
#include "pages/FormLoader.h"
#include "pages/PageForm.h"
#include "pages/SetpointPageView.h"
#include "pages/ValuePageView.h"
#include "reports/EventsPageView.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QtTest>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_map>

extern char** environ;

using kova::test::OnlineProgram;
using kova::test::SimHarness;

namespace {

const int kScreenWidth = 1024;
const int kScreenHeight = 768;
// Pictures kept in the repository are at most this wide.
const int kDocsWidth = 800;

// A virtual X server on a display number it picks itself (-displayfd), with
// its frame buffer in a temporary folder of its own. Started and stopped by
// its process id.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        const std::string xvfb = QStandardPaths::findExecutable("Xvfb").toStdString();
        if (xvfb.empty()) {
            why_ = "Xvfb is not installed";
            return;
        }
        std::string tmpl = (std::filesystem::temp_directory_path() / "kova-xvfb-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) {
            why_ = "cannot create a temporary folder";
            return;
        }
        dir_ = tmpl;
        int fds[2];
        if (pipe(fds) != 0) {
            why_ = "cannot create a pipe";
            return;
        }
        const std::string screen = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
        std::vector<std::string> args = {xvfb,   "-displayfd", "3",   "-screen",  "0",   screen,
                                         "-nolisten", "tcp",   "-fbdir", dir_};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string log = dir_ + "/xvfb.log";
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&fa, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_addopen(&fa, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        // The read end is closed first: it may be descriptor 3 itself.
        posix_spawn_file_actions_addclose(&fa, fds[0]);
        posix_spawn_file_actions_adddup2(&fa, fds[1], 3);
        const int rc = posix_spawn(&pid_, xvfb.c_str(), &fa, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&fa);
        close(fds[1]);
        if (rc != 0) {
            pid_ = -1;
            close(fds[0]);
            why_ = "cannot start Xvfb";
            return;
        }
        // The server writes its display number once it accepts connections.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 15000) > 0) {
            char buf[16];
            const ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0) break;
            number.append(buf, std::size_t(n));
            if (number.find('\n') != std::string::npos) break;
        }
        close(fds[0]);
        while (!number.empty() && (number.back() == '\n' || number.back() == ' '))
            number.pop_back();
        if (number.empty()) {
            stop();
            std::ifstream in(log);
            std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            why_ = "Xvfb did not start: " + said.substr(0, 400);
            return;
        }
        display_ = ":" + number;
    }
    ~VirtualDisplay()
    {
        stop();
        if (!dir_.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(dir_, ec);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ok() const { return !display_.empty(); }
    const std::string& display() const { return display_; }
    const std::string& why() const { return why_; }

    void stop()
    {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 500; ++i) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            usleep(10000);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string dir_;
    std::string display_;
    std::string why_;
};

VirtualDisplay* gDisplay = nullptr;

// The window as the X server shows it.
QImage onScreen(QWidget& w)
{
    QScreen* screen = w.screen();
    if (!screen) return {};
    return screen->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Distinct colours, and the share of pixels not of the most common colour.
struct Colours {
    std::size_t distinct = 0;
    double notDominant = 0;
};

Colours colours(const QImage& image)
{
    std::unordered_map<QRgb, qint64> count;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++count[row[x] & 0xFFFFFF];
    }
    qint64 most = 0;
    for (const auto& [rgb, n] : count)
        most = std::max(most, n);
    const double all = double(image.width()) * image.height();
    return {count.size(), all > 0 ? 1.0 - double(most) / all : 0.0};
}

// The picture is the whole window, painted: not blank, not one colour.
void checkPicture(const QImage& image, const QWidget& w)
{
    QVERIFY(!image.isNull());
    const qreal ratio = w.devicePixelRatioF();
    QCOMPARE(image.size(), (QSizeF(w.size()) * ratio).toSize());
    const Colours c = colours(image);
    QVERIFY2(c.distinct >= 8, qPrintable(QString("only %1 colours").arg(c.distinct)));
    QVERIFY2(c.notDominant > 0.02, qPrintable(QString("%1 of the picture is not background").arg(c.notDominant)));
}

// Writes the picture, at most kDocsWidth wide, into the repository's docs/
// folder when asked to (KOVA_WRITE_DOCS=1).
void keepForDocs(const QImage& image, const QString& name)
{
    if (qEnvironmentVariable("KOVA_WRITE_DOCS") != QLatin1String("1")) return;
    const QString source = qEnvironmentVariable("KOVA_SOURCE_DIR");
    QVERIFY(!source.isEmpty());
    QDir docs(source + "/docs");
    QVERIFY(docs.mkpath("."));
    const QImage small = image.width() > kDocsWidth
                             ? image.scaledToWidth(kDocsWidth, Qt::SmoothTransformation)
                             : image;
    const QString path = docs.filePath(name);
    QVERIFY(small.convertToFormat(QImage::Format_RGB888).save(path, "PNG", 9));
    QVERIFY(QFileInfo(path).size() < 150 * 1024);
}

// Waits until the window is on screen and has painted.
bool shownAndPainted(QWidget& w)
{
    if (!QTest::qWaitForWindowExposed(&w, 10000)) return false;
    w.repaint();
    QTest::qWait(500);
    return true;
}

} // namespace

class tst_Screenshots : public QObject {
    Q_OBJECT
private slots:
    void mainAndConnectionWindows();
    void systemSetupPage();
    void phaseProtectionsPage();
    void eventsPage();

private:
    void setpointPage(const std::vector<std::string>& simArgs, const char* form, const QString& file,
                      const char* shownRow = nullptr, const char* hiddenRow = nullptr);
};

void tst_Screenshots::mainAndConnectionWindows()
{
    if (!gDisplay || !gDisplay->ok())
        QSKIP(gDisplay ? gDisplay->why().c_str() : "no virtual display");
    if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));

    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.startInteractive(sim));
    kova::Principal* w = program.arranque.principal();
    const kova::AppState& st = program.arranque.state();
    QVERIFY(w->setupMenu()->isVisible());
    QVERIFY(w->aboutMenu()->isVisible());

    // Online, the link state in panel 6 and the relay's default status
    // (Breaker Closed, Auto-Reclose Enabled) in the status panel.
    QTRY_VERIFY_WITH_TIMEOUT(st.link.Comunicando, 10000);
    QTest::qWait(3500);
    QTRY_COMPARE_WITH_TIMEOUT(w->panelText(6), QString("Comunicating..."), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(w->UserControl11()->encendida(6) && w->UserControl11()->encendida(8), 3000);
    // Only the save question of the connect was asked.
    QCOMPARE(program.ui.shown.size(), 1);

    QVERIFY(shownAndPainted(*w));
    const QImage main = onScreen(*w);
    checkPicture(main, *w);
    keepForDocs(main, "main-window-online.png");

    // The connection window as Setup > Communication opens it.
    {
        kova::Comunicacion window(program.arranque.state(), program.context, *w);
        window.setWindowModality(Qt::ApplicationModal);
        window.Form_Load();
        window.show();
        QVERIFY(shownAndPainted(window));
        QCOMPARE(window.Label6()->text(), kova::Comunicacion::kStablished);
        const QImage connection = onScreen(window);
        checkPicture(connection, window);
        QCOMPARE(connection.width(), qRound(kScreenWidth * window.devicePixelRatioF()));
        keepForDocs(connection, "connection-window.png");
        window.Cancelar_Click();
    }
    QVERIFY(w->isEnabled());

    // The metering page as Actual Values > Metering Data opens it.
    {
        auto page = kova::makeValuePage(*kova::loadPageForm("AVPAGE1"), program.context);
        kova::ValuePageView view(*page);
        view.load(w);
        view.show();
        QVERIFY(shownAndPainted(view));
        QCOMPARE(view.label("LblUni(10)")->text(), QString("A"));
        const QImage metering = onScreen(view);
        checkPicture(metering, view);
        keepForDocs(metering, "metering-page.png");
        view.reject();
        QVERIFY(page->closed());
    }
    QVERIFY(w->isEnabled());
    QCOMPARE(program.ui.shown.size(), 1);
}

// A setpoint page as its SetPoints menu command opens it online against the
// simulated relay started with simArgs, shown without its own modal loop,
// with shownRow shown and hiddenRow hidden.
void tst_Screenshots::setpointPage(const std::vector<std::string>& simArgs, const char* form,
                                   const QString& file, const char* shownRow, const char* hiddenRow)
{
    if (!gDisplay || !gDisplay->ok())
        QSKIP(gDisplay ? gDisplay->why().c_str() : "no virtual display");
    if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");

    SimHarness sim(simArgs);
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::Principal* w = program.arranque.principal();
    QTRY_COMPARE_WITH_TIMEOUT(program.context.setpointBlocksRead(), 6, 10000);
    w->show();

    kova::SetpointPage page(*kova::loadPageForm(form), program.context);
    kova::SetpointPageView view(page, w);
    page.Form_Load();
    view.show();
    QTRY_VERIFY_WITH_TIMEOUT(page.usable(), 5000);
    QVERIFY(shownAndPainted(view));
    if (shownRow)
        QVERIFY(view.widget(shownRow)->isVisible() && !view.widget(hiddenRow)->isVisible());
    const QImage picture = onScreen(view);
    checkPicture(picture, view);
    QCOMPARE(picture.width(), qRound(kScreenWidth * view.devicePixelRatioF()));
    keepForDocs(picture, file);
    page.Command2_Click();
    QVERIFY(w->isEnabled());
    QVERIFY(program.ui.shown.isEmpty());
}

void tst_Screenshots::systemSetupPage()
{
    setpointPage({"--alt-setpoints"}, "SETPAGE2", "system-setup-page.png");
}

// Timed elements on inverse curves: multiplier rows in place of the delays.
void tst_Screenshots::phaseProtectionsPage()
{
    setpointPage({"--setpoint", "0x1002=2", "--setpoint", "0x100C=12"}, "SETPAGE3", "phase-protections-page.png",
                 "Byte_UnR1(1)", "frmTime");
}

// Actual Values > Events online, once the relay's record is listed.
void tst_Screenshots::eventsPage()
{
    if (!gDisplay || !gDisplay->ok())
        QSKIP(gDisplay ? gDisplay->why().c_str() : "no virtual display");
    if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");

    SimHarness sim({"--events", "25"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::Principal* w = program.arranque.principal();
    QTRY_VERIFY_WITH_TIMEOUT(program.arranque.state().link.Comunicando, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(program.context.DELU().DatosDeVariables(103).toText().rfind("6,", 0) == 0, 20000);
    w->show();

    // As Actual Values > Events opens it, shown without its own modal loop.
    kova::EventsPage page(program.context);
    kova::EventsPageView view(page, w);
    page.Form_Load();
    view.show();
    QCOMPARE(view.ListView1()->topLevelItemCount(), 20);
    QVERIFY(shownAndPainted(view));
    const QImage picture = onScreen(view);
    checkPicture(picture, view);
    keepForDocs(picture, "events-page.png");
    page.Cerrar_Ventana();
    QVERIFY(w->isEnabled());
}

// The virtual display is started before the application connects to it and
// stopped after the application has gone.
int main(int argc, char** argv)
{
    VirtualDisplay display;
    gDisplay = &display;
    if (display.ok()) {
        qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        // Without the display the test is skipped; the application must
        // still start.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int rc = 0;
    {
        QApplication app(argc, argv);
        tst_Screenshots test;
        rc = QTest::qExec(&test, argc, argv);
    }
    gDisplay = nullptr;
    display.stop();
    return rc;
}

#include "tst_Screenshots.moc"
