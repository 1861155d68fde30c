// The value page on screen (offscreen platform): labels as the model draws
// them, the timer following the model, OK, Escape and the window frame
// closing the page, and positions in twips.

#include "FakePageHost.h"
#include "pages/FormLoader.h"
#include "pages/ValuePageView.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using kova::test::FakePageHost;

class tst_ValuePageView : public QObject {
    Q_OBJECT
private slots:
    void onlinePageShowsTicksAndClosesWithOk();
    void escapeAndFrameCloseStopThePage_data();
    void escapeAndFrameCloseStopThePage();
    void powerLayoutInPixels();
    void focusStartsOnOk();
};

void tst_ValuePageView::onlinePageShowsTicksAndClosesWithOk()
{
    FakePageHost host;
    host.isOnline = true;
    host.table[20] = "125.40";
    host.table[325] = " Open Delta ";
    auto page = kova::makeValuePage(*kova::loadPageForm("AVPAGE1"), host);
    kova::ValuePageView view(*page);
    QCOMPARE(view.windowTitle(), QString("ACTUAL VALUES - Metering"));
    QCOMPARE(view.label("LblMed(10)")->text(), QString("###.##"));
    view.load(nullptr);
    QCOMPARE(view.label("LblMed(10)")->text(), QString("125.4"));
    QCOMPARE(view.label("LblUni(10)")->text(), QString("A"));
    QCOMPARE(view.label("Label1(2)")->text(), QString("System Frecuency:"));
    QVERIFY(view.timer()->isActive());
    QCOMPARE(view.timer()->interval(), 2000);
    view.show();
    QVERIFY(view.control("OD_DD_VT1(1)")->isVisible());
    QVERIFY(!view.control("OD_DD_VT1(0)")->isVisible());

    host.table[20] = "1500.00";
    page->Timer1_Timer();
    QCOMPARE(view.label("LblMed(10)")->text(), QString("1.50"));
    QCOMPARE(view.label("LblUni(10)")->text(), QString("KA"));
    qobject_cast<QPushButton*>(view.control("Okey"))->click();
    QVERIFY(view.isVisible());
    page->Timer1_Timer();
    QVERIFY(!view.isVisible());
    QVERIFY(!view.timer()->isActive());
    QVERIFY(host.mainWindowEnabled());
}

void tst_ValuePageView::escapeAndFrameCloseStopThePage_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Escape") << true;
    QTest::newRow("window frame") << false;
}

void tst_ValuePageView::escapeAndFrameCloseStopThePage()
{
    QFETCH(bool, escape);
    FakePageHost host;
    host.isOnline = true;
    auto page = kova::makeValuePage(*kova::loadPageForm("AVPAGE6"), host);
    kova::ValuePageView view(*page);
    view.load(nullptr);
    view.show();
    QVERIFY(view.timer()->isActive());
    qobject_cast<QPushButton*>(view.control("Okey"))->click();
    if (escape)
        QTest::keyClick(&view, Qt::Key_Escape);
    else
        view.close();
    QVERIFY(!view.isVisible());
    QVERIFY(page->closed());
    QVERIFY(!view.timer()->isActive());
    QVERIFY(!host.closeRequest);
    QVERIFY(host.mainWindowEnabled());
}

void tst_ValuePageView::powerLayoutInPixels()
{
    FakePageHost host;
    host.table[325] = " Wye ";
    auto page = kova::makeValuePage(*kova::loadPageForm("AVPAGE2"), host);
    kova::ValuePageView view(*page);
    view.load(nullptr);
    view.show();
    const int dpi = view.logicalDpiY();
    auto px = [dpi](int twips) { return qRound(twips * dpi / 1440.0); };
    QCOMPARE(view.px(1500), qRound(1500 * dpi / 1440.0));
    QCOMPARE(view.control("Frame2")->y(), px(465));
    QCOMPARE(view.control("Okey")->y(), px(6360));
    QVERIFY(view.control("Frame2")->isVisible());
    host.table[325] = " Delta-Delta ";
    page->Actualiza_Valores();
    QVERIFY(!view.control("Frame2")->isVisible());
    QCOMPARE(view.control("Frame1")->y(), px(500));
    QCOMPARE(view.control("Clear")->y(), px(1700));
    QCOMPARE(view.control("Okey")->y(), px(3740));
    // Nothing overlaps: every visible frame and button is apart.
    QList<QWidget*> shown;
    for (const char* name : {"Frame1", "Clear", "Okey"})
        shown << view.control(name);
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j)
            QVERIFY2(!shown[i]->geometry().intersects(shown[j]->geometry()),
                     qPrintable(shown[i]->objectName() + " " + shown[j]->objectName()));
}

// Clear, made first on some pages, sends a relay command: Enter at once must not press it.
void tst_ValuePageView::focusStartsOnOk()
{
    for (const char* form : {"AVPAGE1", "AVPAGE2", "AVPAGE3", "AVPAGE5", "AVPAGE6"}) {
        FakePageHost host;
        host.isOnline = true;
        auto page = kova::makeValuePage(*kova::loadPageForm(form), host);
        kova::ValuePageView view(*page);
        view.load(nullptr);
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        QVERIFY2(view.focusWidget() && view.focusWidget()->objectName() == "Okey", form);
        QTest::keyClick(view.focusWidget(), Qt::Key_Return);  // OK: no question about clearing a record
        QVERIFY(host.questions.empty());
    }
}

QTEST_MAIN(tst_ValuePageView)
#include "tst_ValuePageView.moc"
