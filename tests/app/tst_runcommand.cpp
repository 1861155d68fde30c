// The README's run command as a new user runs it, on a virtual X display:
// it builds (nothing to do here), starts the simulated relay and the
// program, and the main window shows.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <set>

namespace {

const char* kCaption = "KOVA Ver 2.1.4 For KOVA Relays V1.xx";

// Reads the screen that Xvfb keeps in an XWD file and counts its colours and
// the share of pixels that are not the (black) background.
struct ScreenSummary {
    bool ok = false;
    int width = 0, height = 0;
    std::size_t colours = 0;
    double nonBackground = 0;
};

ScreenSummary summarize(const QString& xwdPath)
{
    ScreenSummary s;
    QFile f(xwdPath);
    if (!f.open(QIODevice::ReadOnly)) return s;
    const QByteArray d = f.readAll();
    if (d.size() < 100) return s;
    auto field = [&](int i) { return qFromBigEndian<quint32>(d.constData() + 4 * i); };
    const quint32 headerSize = field(0), width = field(4), height = field(5);
    const quint32 bitsPerPixel = field(11), bytesPerLine = field(12), ncolours = field(19);
    if (bitsPerPixel != 32) return s;
    const qsizetype offset = qsizetype(headerSize) + qsizetype(ncolours) * 12;
    if (d.size() < offset + qsizetype(bytesPerLine) * height) return s;
    std::set<quint32> colours;
    qint64 lit = 0;
    for (quint32 y = 0; y < height; ++y) {
        const char* row = d.constData() + offset + qsizetype(y) * bytesPerLine;
        for (quint32 x = 0; x < width; ++x) {
            quint32 px = qFromLittleEndian<quint32>(row + 4 * x) & 0xFFFFFF;
            if (colours.size() < 100000) colours.insert(px);
            if (px != 0) ++lit;
        }
    }
    s.ok = true;
    s.width = int(width);
    s.height = int(height);
    s.colours = colours.size();
    s.nonBackground = double(lit) / (double(width) * height);
    return s;
}

void stop(QProcess& p)
{
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(15000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

} // namespace

class tst_runcommand : public QObject {
    Q_OBJECT
private slots:
    void runCommandShowsTheMainWindow()
    {
        for (const char* tool : {"Xvfb", "xprop", "socat"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(QString("%1 is not installed").arg(tool)));
        const QString source = qEnvironmentVariable("KOVA_SOURCE_DIR");
        const QString sim = qEnvironmentVariable("KOVA_RELAY_SIM");
        QVERIFY(!source.isEmpty() && !sim.isEmpty());
        // <build>/tools/relay-sim/relay-sim: the build this test belongs to.
        const QString build = QFileInfo(sim).dir().absoluteFilePath("../..");

        QTemporaryDir work;
        QVERIFY(work.isValid());

        QProcess xvfb;
        xvfb.setProgram("/bin/sh");
        xvfb.setArguments({"-c", QString("exec Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp "
                                         "-fbdir '%1' 3>'%1/display'")
                                     .arg(work.path())});
        xvfb.start();
        QVERIFY(xvfb.waitForStarted());
        QString display;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QFile f(work.filePath("display"));
                if (f.open(QIODevice::ReadOnly)) display = QString::fromLatin1(f.readAll()).trimmed();
                return !display.isEmpty();
            }(),
            15000);
        display.prepend(':');

        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("KOVA_BUILD_DIR", build);
        env.insert("TMPDIR", work.path());
        env.remove("KOVA_COM1");
        env.insert("KOVA_HANDSHAKE_FILE", work.filePath("prueba.txt"));
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.setProgram("bash");
        run.setArguments({source + "/scripts/run.sh"});
        run.start();
        QVERIFY(run.waitForStarted());

        // The window's title, read back from the X server.
        auto titleShown = [&] {
            QProcess xprop;
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert("DISPLAY", display);
            xprop.setProcessEnvironment(e);
            xprop.start("xprop", {"-name", kCaption, "_NET_WM_NAME"});
            xprop.waitForFinished(5000);
            return xprop.exitCode() == 0 &&
                   QString::fromUtf8(xprop.readAllStandardOutput()).contains(kCaption);
        };
        QElapsedTimer clock;
        clock.start();
        bool shown = false;
        while (!shown && clock.elapsed() < 120000 && run.state() != QProcess::NotRunning) {
            shown = titleShown();
            if (!shown) QTest::qWait(300);
        }
        const QString output = QString::fromLocal8Bit(run.readAll());
        QVERIFY2(shown, qPrintable("no main window; run.sh said:\n" + output));

        // Give the window time to paint, then look at the screen.
        ScreenSummary screen;
        QTRY_VERIFY_WITH_TIMEOUT(
            (screen = summarize(work.filePath("Xvfb_screen0")), screen.ok && screen.colours >= 8 &&
                                                                   screen.nonBackground > 0.05),
            10000);
        QCOMPARE(screen.width, 1024);

        stop(run);
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        // The window is gone once the program has ended.
        QVERIFY(!titleShown());
        stop(xvfb);
    }
};

QTEST_MAIN(tst_runcommand)
#include "tst_runcommand.moc"
