// The phase protections window over its model and a fake host: the delay
// row's borderless sub-frame shows in the place of the multiplier row, one
// of the two at a time, lined up with the other rows, and the tab order
// passes only the row that shows.

#include "SetpointViewFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace kova;
using kova::test::SetpointViewFixture;

class tst_ProtectionPagesView : public QObject, SetpointViewFixture {
    Q_OBJECT
private slots:
    void init()
    {
        makeHost();
        host->setGet(0x1002, 0);  // Definite Time
        host->setGet(0x100C, 6);  // IAC Inverse
        makeView("SETPAGE3");
        page->Form_Load();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void cleanup() { dropView(); }

    void oneOfDelayAndMultiplierShows()
    {
        struct Pair {
            const char *selector, *frame, *multiplier, *caption;
        };
        const Pair pairs[] = {{"Page3C(0)", "frmTime", "Byte_UnR1(1)", "Label1(0)"},
                              {"Page3C(1)", "frmNegSeqDelay", "Byte_UnR1(7)", "Label1(13)"}};
        for (int curve : {-1, 0, 6, 0}) {
            for (const Pair& p : pairs) {
                if (curve >= 0)
                    emit static_cast<BitsWidget*>(view->widget(p.selector))->Combo1()->activated(curve);
                const bool delay = page->ListIndex(p.selector) == 0;
                QCOMPARE(view->widget(p.frame)->isVisible(), delay);
                QCOMPARE(view->widget(p.multiplier)->isVisible(), !delay);
                QCOMPARE(view->widget(p.caption)->isVisible(), !delay);
            }
        }
    }

    void delayRowLinesUpWithTheOtherRows()
    {
        QWidget* frame1 = view->widget("Frame1");
        auto left = [&](const char* name) { return view->widget(name)->mapTo(frame1, QPoint(0, 0)).x(); };
        QCOMPARE(left("Word_TresR1(0)"), left("Byte_UnR1(0)"));
        QCOMPARE(left("Label1(20)"), left("Label1(10)"));
        const int delayTop = view->widget("frmTime")->mapTo(frame1, QPoint(0, 0)).y();
        QVERIFY(delayTop > view->widget("Page3C(0)")->mapTo(frame1, QPoint(0, 0)).y());
        QVERIFY(delayTop < view->widget("ChkPhTim(4)")->mapTo(frame1, QPoint(0, 0)).y());
    }

    void tabPassesOnlyTheRowThatShows()
    {
        auto* curve = static_cast<BitsWidget*>(view->widget("Page3C(0)"));
        auto next = [&]() -> QWidget* {
            curve->Combo1()->setFocus();
            if (!QTest::qWaitFor([&] { return QApplication::focusWidget() == curve->Combo1(); }))
                return nullptr;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            return QApplication::focusWidget();
        };
        auto text1 = [&](const char* editor) { return static_cast<ValueEditorWidget*>(view->widget(editor))->Text1(); };
        QCOMPARE(next(), text1("Word_TresR1(0)"));
        emit curve->Combo1()->activated(3);
        QCOMPARE(next(), text1("Byte_UnR1(1)"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("ChkPhTim(4)"));
    }
};

QTEST_MAIN(tst_ProtectionPagesView)
#include "tst_ProtectionPagesView.moc"
