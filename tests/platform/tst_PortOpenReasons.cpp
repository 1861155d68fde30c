// A port that does not open says why: the engine's open request on the
// program's serial port, its box shown through the program's boxes; and
// programming the modem on the same port says the same, the same way.

#include "app/Programacion_Modem.h"
#include "app/support/ScriptedUi.h"
#include "link/KOVA200.h"
#include "link/LinkState.h"
#include "link/RegisterImages.h"
#include "platform/PtyPair.h"
#include "platform/QtSerialPort.h"
#include "platform/StderrText.h"
#include "platform/UiNotifier.h"

#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace kova;
using kova::test::PtyPair;
using kova::test::ScriptedUi;
using kova::test::stderrOf;

namespace {

// What holds the device while the engine opens COM n; gives the device path.
using Setup = std::function<QString(int n, PtyPair& pty, std::unique_ptr<QSerialPort>& holder)>;

QString mapTo(int n, const QString& device)
{
    qputenv(("KOVA_COM" + QByteArray::number(n)).constData(), device.toLocal8Bit());
    return device;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestPortOpenReasons : public QObject {
    Q_OBJECT
private slots:
    void failedOpenShowsTheReason_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("reason"); // after "<device>: "
        QTest::addColumn<bool>("needsNonRoot");

        // The hint to set the variable only where it is not set.
        QTest::newRow("missing device named by the variable")
            << 2 << Setup([](int n, PtyPair&, std::unique_ptr<QSerialPort>&) {
                   return mapTo(n, QStringLiteral("/dev/kova-no-such-adapter"));
               })
            << QString::fromUtf8("no such device \u2014 KOVA_COM2 names this device, which does not exist") << false;
        QTest::newRow("missing device, no variable")
            << 200 << Setup([](int n, PtyPair&, std::unique_ptr<QSerialPort>&) {
                   qunsetenv(("KOVA_COM" + QByteArray::number(n)).constData());
                   return QStringLiteral("/dev/ttyS199");
               })
            << QString::fromUtf8("no such device \u2014 set KOVA_COM200 to the adapter's device (e.g. /dev/ttyUSB0)")
            << false;
        QTest::newRow("no permission")
            << 3 << Setup([](int n, PtyPair& pty, std::unique_ptr<QSerialPort>&) {
                   ::chmod(pty.slavePath().c_str(), 0);
                   return mapTo(n, QString::fromStdString(pty.slavePath()));
               })
            << QString::fromUtf8("permission denied \u2014 add your user to the dialout group and log in again")
            << true;
        QTest::newRow("held by another port")
            << 5 << Setup([](int n, PtyPair& pty, std::unique_ptr<QSerialPort>& holder) {
                   holder = std::make_unique<QSerialPort>(QString::fromStdString(pty.slavePath()));
                   if (!holder->open(QIODevice::ReadWrite)) qWarning("the holding port did not open");
                   return mapTo(n, QString::fromStdString(pty.slavePath()));
               })
            << QStringLiteral("in use by another program") << false;
    }

    void failedOpenShowsTheReason()
    {
        QFETCH(int, n);
        QFETCH(Setup, setup);
        QFETCH(QString, reason);
        QFETCH(bool, needsNonRoot);
        if (needsNonRoot && ::geteuid() == 0)
            QSKIP("permission bits do not stop root; the engine test checks this reason from a port error");

        PtyPair pty;
        std::unique_ptr<QSerialPort> holder;
        const QString device = setup(n, pty, holder);

        ScriptedUi ui;
        UiNotifier notifier;
        LinkState link;
        RegisterImages images;
        QtSerialPort port;
        KOVA200 engine(link, images);
        engine.setNotifier(&notifier);
        engine.setHostSerialControls({&port});
        engine.Reconocer_Controles_De_Comunicacion();
        engine.setPuerto_PC(static_cast<std::int16_t>(n));
        engine.setCadena_Com("9600");
        engine.setAccion(1);
        const QByteArray engineErr = stderrOf([&] { engine.Ejecuta(); });

        QVERIFY(!engine.Resultado_Peticion());
        QVERIFY(!port.portOpen());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QString("Invalid Number Port: COM %1").arg(n));
        QCOMPARE(ui.shown[0].title, QString("Communication error"));
        QCOMPARE(ui.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.shown[0].detail, device + ": " + reason);
        QVERIFY2(engineErr.contains(": " + reason.toUtf8()), engineErr.constData());

        QTemporaryDir programFolder;
        AppState st;
        st.Ruta_App = programFolder.path();
        QtSerialPort modem;
        Programacion_Modem programming(st, modem, port, [] { return false; });
        const QByteArray modemErr = stderrOf([&] { programming.Modem_Click({false, n - 1, "COM", 3}); });
        QCOMPARE(ui.shown.size(), 3); // the prompt to connect the modem, then the port's box
        QVERIFY(ui.shown[2] == ui.shown[0]);
        QCOMPARE(modemErr, engineErr);
        qunsetenv(("KOVA_COM" + QByteArray::number(n)).constData());
    }
};

QTEST_MAIN(TestPortOpenReasons)
#include "tst_PortOpenReasons.moc"
