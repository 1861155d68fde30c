// The setpoint send inside the program: a send still running is ended by a
// connect, by working without relay and by a file read, so its chain never
// takes a later reply for its own.

#include "app/AppContext.h"
#include "link/RegisterImages.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace kova;
using kova::test::ScriptedUi;

class tst_envio : public QObject {
    Q_OBJECT
private slots:
    void runningSendEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("connect") << "connect";
        QTest::newRow("work without relay") << "off";
        QTest::newRow("file read") << "read";
    }

    void runningSendEnds()
    {
        QFETCH(QString, how);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(kova::test::builtDefaultFile(), dir.filePath("Default.KOVA2")));
        processImages() = RegisterImages{};
        ScriptedUi ui;
        AppState st;
        st.Ruta_App = dir.path();
        AppContext ctx{st};
        Principal w{st, ctx.services()};
        qputenv("KOVA_COM8", dir.filePath("no-such-device").toLocal8Bit());

        st.Grabando_Setpoints = true;
        w.setEnabled(false);
        if (how == "connect")
            ctx.linkLoop().Conectar(8, "9600", 1);
        else if (how == "off")
            ctx.trabajarSinRele(true);
        else
            ctx.archivos()->Leer_Archivo(QFile::encodeName(st.defaultSetpointFile()).toStdString());
        QVERIFY(!st.Grabando_Setpoints);
        QVERIFY(w.isEnabled());
        QVERIFY(!ctx.linkLoop().timer1Activo() || how == "connect");
    }

    void commandsAreEnabled()
    {
        ScriptedUi ui;
        AppState st;
        AppContext ctx{st};
        Principal w{st, ctx.services()};
        for (const char* name : {"Send", "RELAY_P"}) {
            QAction* a = w.command(name);
            QVERIFY(a && a->isEnabled());
        }
        QCOMPARE(w.command("Send")->text(), QString("Send SetPoints To &Relay"));
        QCOMPARE(w.command("RELAY_P")->text(), QString("Relay &Properties"));
    }
};

QTEST_MAIN(tst_envio)
#include "tst_envio.moc"
