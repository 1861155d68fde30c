// The clock page's window over a fake host: its controls, pickers and
// timer, the notice window offline, and every way of closing it.

#include "pages/Aviso_grabacion.h"
#include "pages/DateTimeConfigView.h"
#include "pages/FakePageHost.h"
#include "text/DateText.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTimeEdit>
#include <QtTest>

using namespace kova;
using kova::test::FakePageHost;

class tst_DateTimeConfigView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setTextLocale(TextLocale{"dd/MM/yyyy"}); }

    void controlsAndPickers()
    {
        FakePageHost host;
        QMainWindow main;
        main.resize(800, 600);
        DateTimeConfigView view(host, {}, &main);
        view.Form_Load();
        QCOMPARE(view.windowTitle(), QString("SETPOINTS - Date and Time"));
        QCOMPARE(view.windowModality(), Qt::ApplicationModal);
        QCOMPARE(view.width(), main.screen()->availableGeometry().width());
        const struct { const char* name; const char* text; } labels[] = {
            {"Label1", "Date System:"}, {"Label2", "Time System:"}, {"LEtiqueta_7", "Actual Relay Date:"},
            {"LEtiqueta_0", "Actual Relay Time:"}};
        for (const auto& l : labels) {
            auto* w = view.findChild<QLabel*>(l.name);
            QVERIFY2(w, l.name);
            QCOMPARE(w->text(), QString(l.text));
        }
        QCOMPARE(view.findChild<QGroupBox*>("Frame1")->title(), QString("Date/Time Configuration"));
        QCOMPARE(view.Store()->text(), QString("STORE"));
        QCOMPARE(view.Okey()->text(), QString("OK"));
        QCOMPARE(view.DateSys()->date(), QDate(2000, 1, 1));
        QCOMPARE(view.DateSys()->minimumDate(), QDate(2000, 1, 1));
        QCOMPARE(view.DateSys()->maximumDate(), QDate(2099, 12, 31));
        QCOMPARE(view.DateSys()->displayFormat(), QString("dd/MM/yyyy"));
        QCOMPARE(view.TimeSys()->time(), QTime(0, 0, 0));
        QCOMPARE(view.TimeSys()->displayFormat(), QString("HH:mm:ss"));
        QVERIFY(view.Timer1().isActive());
        QCOMPARE(view.Timer1().interval(), 1500);
        QCOMPARE(view.lblHora()->text(), QString("Not Available"));
        QCOMPARE(view.lblFecha()->text(), QString("Not Availble"));
    }

    void offlineStoreShowsTheNotice()
    {
        FakePageHost host;
        DateTimeConfigView view(host, {}, nullptr);
        view.Form_Load();
        view.show();
        view.Store()->click();
        QVERIFY(view.aviso());
        QVERIFY(view.aviso()->isVisible());
        QVERIFY(!view.aviso()->isModal());
        QCOMPARE(view.aviso()->windowTitle(), QString("KOVA Date and Time"));
        QCOMPARE(view.aviso()->Label1()->text(), QString("Enabled only on Communication Mode"));
        QCOMPARE(view.aviso()->Command1()->text(), QString("Aceptar"));
        view.aviso()->Command1()->click();
        QTRY_VERIFY(!view.aviso());
        QVERIFY(view.isVisible());
        QVERIFY(host.queued.empty());
    }

    void everyCloseStopsTheTimer_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("how");
        for (bool online : {false, true})
            for (const char* how : {"frame", "escape"})
                QTest::newRow(qPrintable(QString("%1 %2").arg(online ? "online" : "offline", how)))
                    << online << QString(how);
    }

    void everyCloseStopsTheTimer()
    {
        QFETCH(bool, online);
        QFETCH(QString, how);
        FakePageHost host;
        host.isOnline = online;
        DateTimeConfigView view(host, {}, nullptr);
        view.Form_Load();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        if (how == "frame")
            view.close();
        else
            QTest::keyClick(&view, Qt::Key_Escape);
        QVERIFY(!view.isVisible());
        QVERIFY(!view.Timer1().isActive());
        QVERIFY(!host.mainWindow.empty() && host.mainWindow.back());
        QVERIFY(view.model().descargada());
    }
};

QTEST_MAIN(tst_DateTimeConfigView)
#include "tst_DateTimeConfigView.moc"
