// The system setup page's window over its model and a fake host: size and
// place, what it takes input from while the model waits or stores, tab
// order and focus, user actions reaching the model, Escape and the frame's
// close as EXIT, and the model's hooks surviving the window.

#include "SetpointViewFixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace kova;
using kova::test::SetpointViewFixture;

class tst_SetpointPageView : public QObject, SetpointViewFixture {
    Q_OBJECT
private slots:
    void init()
    {
        makeHost();
        makeView("SETPAGE2");
    }
    void cleanup() { dropView(); }

    void sizeAndPlace()
    {
        page->Form_Load();
        QCOMPARE(view->parent(), nullptr);
        QCOMPARE(view->windowModality(), Qt::ApplicationModal);
        QCOMPARE(view->windowTitle(), QString("SETPOINTS - System Setup"));
        const QRect screen = main->screen()->availableGeometry();
        QCOMPARE(view->width(), screen.width());
        const int lower = qRound(1500 * main->logicalDpiY() / 1440.0);
        QCOMPARE(view->height(), qMax(main->height() - lower, view->sizeHint().height()));
        QCOMPARE(view->pos(), QPoint(screen.left(), main->y()));
    }

    void inputOnlyWhileTheModelTakesIt()
    {
        host->isOnline = true;
        page->Form_Load();
        auto* frame = view->widget("Frame1");
        QVERIFY(!frame->isEnabled());
        QVERIFY(!view->Command1()->isEnabled());
        QVERIFY(view->Command2()->isEnabled());
        QVERIFY(page->editor("PhaseCT(0)")->Enabled());
        QVERIFY(page->selector("Page1C(0)")->Enabled());

        view->show();
        host->pass(61);
        host->pass(62);
        QVERIFY(frame->isEnabled());
        QVERIFY(view->Command1()->isEnabled());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<BitsWidget*>(view->widget("Page1C(0)"))->Combo1());

        // A store holds everything, EXIT and the frame's close included.
        view->Command1()->click();
        QVERIFY(!frame->isEnabled());
        QVERIFY(!view->Command2()->isEnabled());
        QVERIFY(!view->close());
        QVERIFY(view->isVisible());
        page->storeEnded(true);
        QVERIFY(frame->isEnabled());
        QVERIFY(view->close());
        QVERIFY(page->closed());
        QVERIFY(!view->isVisible());
        QCOMPARE(host->mainWindow, (std::vector<bool>{false, true}));
    }

    void tabOrderIsTheFormsOrder()
    {
        page->Form_Load();
        QStringList expected = {"Page1C(0)", "PhaseCT(0)", "Combo1", "PhaseCT(1)", "Page1C(1)", "PhaseCT(7)",
                                "Page1W2(0)", "Page1C(2)", "Page1C(3)", "PhaseCT(8)", "Page1C(4)", "PhaseCT(9)",
                                "PhaseCT(2)", "PhaseCT(3)"};
        for (const auto& [reg, group] : {std::pair{"PhaseCT(4)", 0}, {"PhaseCT(5)", 1}, {"PhaseCT(6)", 2}}) {
            for (int b = 0; b < 4; ++b)
                expected << QString("chkDiscrep(%1)").arg(4 * group + b);
            expected << reg;
        }
        expected << "Command1" << "Command2";
        // The control each focusable widget belongs to, walking Qt's own chain.
        QStringList walked;
        QWidget* w = view->tabChain().front();
        for (int i = 0; i < expected.size(); ++i) {
            QWidget* owner = w;
            while (owner && view->widget(owner->objectName().toStdString()) != owner &&
                   owner != view->Command1() && owner != view->Command2())
                owner = owner->parentWidget();
            walked << (owner ? owner->objectName() : QString("?"));
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(walked, expected);
    }

    void userActionsReachTheModel()
    {
        host->setGet(0x0101, 0x0020);
        page->Form_Load();
        view->show();
        auto* combo = static_cast<QComboBox*>(view->widget("Combo1"));
        QCOMPARE(combo->currentText(), QString("Residual"));
        QVERIFY(!view->widget("PhaseCT(1)")->isVisible());
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(host->put(0x0101), 0x0040);
        QVERIFY(view->widget("PhaseCT(1)")->isVisible());
        QVERIFY(view->widget("Label1(2)")->isVisible());

        // The selector's widget and the page's rule both hear a pick.
        auto* blockTrip = static_cast<BitsWidget*>(view->widget("Page1C(4)"));
        QSignalSpy clicks(blockTrip, &BitsWidget::Click);
        emit blockTrip->Combo1()->activated(1);
        QCOMPARE(clicks.count(), 1);
        QVERIFY(view->widget("PhaseCT(9)")->isVisible());

        QTest::mouseClick(static_cast<QCheckBox*>(view->widget("chkDiscrep(11)")), Qt::LeftButton);
        QCOMPARE(host->put(0x012F), 0x0008);

        auto* editor = static_cast<ValueEditorWidget*>(view->widget("PhaseCT(0)"));
        host->setGet(0x0102, 800);
        page->editor("PhaseCT(0)")->Inicializacion();
        QCOMPARE(editor->Text1()->text(), QString("800 A"));
        QTest::keyClick(editor->Text1(), Qt::Key_Up);
        QCOMPARE(editor->Text1()->text(), QString("805 A"));
        QCOMPARE(host->put(0x0102), 805);
    }

    // A box changed any way at all is written, and STORE keeps it; the
    // page ticking boxes to show the relay's values is no edit.
    void boxesFollowEveryChangeOfState()
    {
        auto box = [this](int i) {
            return static_cast<QCheckBox*>(view->widget("chkDiscrep(" + std::to_string(i) + ")"));
        };
        QSignalSpy shownAsEdit(box(8), &QCheckBox::toggled);
        host->setGet(0x012D, 0x0006);
        host->setGet(0x012F, 0x0001);
        page->Form_Load();
        view->show();
        QVERIFY(box(5)->isChecked() && box(6)->isChecked() && box(8)->isChecked() && !box(9)->isChecked());
        QCOMPARE(shownAsEdit.count(), 0);
        QCOMPARE(host->put(0x012F), 0x0001);

        box(9)->setChecked(true);
        QCOMPARE(host->put(0x012F), 0x0003);
        for (int i : {10, 8, 5}) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box(i));
            QVERIFY(a && a->actionInterface());
            a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        }
        QVERIFY(box(10)->isChecked() && !box(8)->isChecked() && !box(5)->isChecked());
        view->Command1()->click();
        QCOMPARE(host->get(0x012F), 0x0006);
        QCOMPARE(host->get(0x012D), 0x0004);
    }

    void escapeIsExit()
    {
        page->Form_Load();
        view->show();
        host->im.put[0] = 0x5A;
        host->im.put[150] = 0x5A;
        QTest::keyClick(view.get(), Qt::Key_Escape);
        QVERIFY(page->closed());
        QVERIFY(!view->isVisible());
        QCOMPARE(host->im.put[0], host->im.get[0]);
        QCOMPARE(host->im.put[150], 0x5A);
    }

    void pageHooksOutliveTheWindow()
    {
        host->setGet(0x0101, 0x1000);
        page->Form_Load();
        view.reset();
        page->selector("Page1C(4)")->pick(0);
        QVERIFY(!page->visible("PhaseCT(9)"));
        page->selector("Page1C(4)")->pick(1);
        QVERIFY(page->visible("PhaseCT(9)"));
    }
};

QTEST_MAIN(tst_SetpointPageView)
#include "tst_SetpointPageView.moc"
