// The events page's window over its model and a fake program: layout in
// twips at the screen's resolution, the list mirroring the model, the timer
// following it, and every way of closing.

#include "FakeEventsHost.h"
#include "reports/EventsPageView.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using kova::EventsPage;
using kova::EventsPageView;
using kova::test::eventRun;
using kova::test::FakeEventsHost;

class tst_EventsPageView : public QObject {
    Q_OBJECT
private slots:
    void layoutColumnsAndList();
    void closing_data();
    void closing();
};

void tst_EventsPageView::layoutColumnsAndList()
{
    FakeEventsHost host;
    host.isOnline = true;
    host.setRows(eventRun(25, 20));
    EventsPage page(host);
    QWidget main;
    main.resize(800, 700);
    EventsPageView view(page, &main);
    page.Form_Load();

    QCOMPARE(view.windowTitle(), QString("ACTUAL VALUES - Events"));
    QCOMPARE(view.windowModality(), Qt::ApplicationModal);
    QVERIFY(view.parent() == nullptr);
    QCOMPARE(view.Frame1()->title(), QString("Events"));
    QCOMPARE(view.Frame1()->geometry(), QRect(view.px(360), view.px(480, false), view.px(10170), view.px(6375, false)));
    QCOMPARE(view.ListView1()->parentWidget(), view.Frame1());
    QCOMPARE(view.ListView1()->geometry(), QRect(view.px(840), view.px(600, false), view.px(9045), view.px(4980, false)));
    QCOMPARE(view.height(), qMax(700 - view.px(1200, false), view.px(7095 + 375 + 240, false)));
    QCOMPARE(view.width(), view.screen()->availableGeometry().width());
    QCOMPARE(view.Okey()->text(), QString("OK"));
    QCOMPARE(view.Clear()->text(), QString("Clear"));

    QTreeWidget* list = view.ListView1();
    QVERIFY(!list->rootIsDecorated());
    QCOMPARE(list->columnCount(), 13);
    QCOMPARE(list->headerItem()->text(0), QString("ID"));
    QCOMPARE(list->headerItem()->text(12), QString("P.F."));
    int width = 0;
    for (int c = 0; c < 13; ++c) width += list->columnWidth(c);
    QVERIFY(qAbs(width - 1.6 * view.px(9045)) <= 13);
    QCOMPARE(list->columnWidth(1), view.px(0.30 * 9045));

    // The list and the timer follow the model.
    QCOMPARE(list->topLevelItemCount(), 20);
    QCOMPARE(list->topLevelItem(0)->text(1), QString(" Trip Relay ON"));
    QCOMPARE(list->topLevelItem(2)->text(12), QString("10.3"));
    QVERIFY(view.Timer1().isActive());
    QCOMPARE(view.Timer1().interval(), 1500);
    host.setRows(eventRun(26, 20));
    page.Timer1_Timer();
    QCOMPARE(list->topLevelItem(0)->text(0), QString("26"));
    QCOMPARE(list->topLevelItem(19)->text(0), QString("7"));

    // The status line: under the list, the page's words while the event reads fail.
    QCOMPARE(view.Estado()->parentWidget(), view.Frame1());
    QVERIFY(view.Estado()->geometry().top() >= view.ListView1()->geometry().bottom());
    QVERIFY(view.Estado()->text().isEmpty());
    for (int i = 0; i < 5; ++i) host.fail(EventsPage::kLeerRegistroEvento);
    QCOMPARE(view.Estado()->text().toStdString(), EventsPage::Texto_Sin_Lectura(5));
    host.passed(EventsPage::kLeerRegistroEvento);
    QVERIFY(view.Estado()->text().isEmpty());

    host.isOnline = false;
    page.Timer1_Timer();
    QVERIFY(!view.Timer1().isActive());
}

void tst_EventsPageView::closing_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("closedAtOnce");
    QTest::newRow("OK online") << true << "ok" << false;
    QTest::newRow("OK offline") << false << "ok" << true;
    QTest::newRow("Escape online") << true << "escape" << true;
    QTest::newRow("frame close online") << true << "close" << true;
}

void tst_EventsPageView::closing()
{
    QFETCH(bool, online);
    QFETCH(QString, how);
    QFETCH(bool, closedAtOnce);
    FakeEventsHost host;
    host.isOnline = online;
    EventsPage page(host);
    EventsPageView view(page, nullptr);
    page.Form_Load();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    if (how == "ok") QTest::mouseClick(view.Okey(), Qt::LeftButton);
    else if (how == "escape") QTest::keyClick(&view, Qt::Key_Escape);
    else view.close();

    QCOMPARE(view.isVisible(), !closedAtOnce);
    if (!closedAtOnce) {
        QVERIFY(!host.mainIsEnabled());
        page.Timer1_Timer();
        QVERIFY(!view.isVisible());
    }
    QVERIFY(!page.Cargada());
    QVERIFY(!view.Timer1().isActive());
    QVERIFY(host.mainIsEnabled());
    QVERIFY(!host.closeRequest);
}

QTEST_MAIN(tst_EventsPageView)
#include "tst_EventsPageView.moc"
