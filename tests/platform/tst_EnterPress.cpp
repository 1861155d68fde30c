// Enter on a window's buttons: the focused button answers Enter, the keypad's
// Enter and Space; nothing else presses it. And the default button of the
// program's Yes/No boxes: Enter takes it.

#include "platform/EnterPress.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using namespace kova;

namespace {

// A dialog as the program's windows build them: a text box and two buttons
// that answer Enter.
struct Window {
    QDialog dialog;
    QLineEdit* edit = new QLineEdit(&dialog);
    QPushButton* first = new QPushButton(QStringLiteral("STORE"), &dialog);
    QPushButton* second = new QPushButton(QStringLiteral("EXIT"), &dialog);
    Window()
    {
        auto* v = new QVBoxLayout(&dialog);
        v->addWidget(edit);
        v->addWidget(first);
        v->addWidget(second);
        pressOnEnter(*first);
        pressOnEnter(*second);
    }
};

} // namespace

class tst_EnterPress : public QObject {
    Q_OBJECT
private slots:
    void onlyTheFocusedButtonAnswers_data()
    {
        QTest::addColumn<QString>("focus"); // where the key goes: edit, first, second, window
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("firstPresses");
        QTest::addColumn<int>("secondPresses");
        const int none = Qt::NoModifier;
        QTest::newRow("Enter on the first") << "first" << int(Qt::Key_Return) << none << 1 << 0;
        QTest::newRow("keypad Enter on the first") << "first" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1 << 0;
        QTest::newRow("Space on the first") << "first" << int(Qt::Key_Space) << none << 1 << 0;
        QTest::newRow("Enter on the second") << "second" << int(Qt::Key_Return) << none << 0 << 1;
        QTest::newRow("Enter in the text box") << "edit" << int(Qt::Key_Return) << none << 0 << 0;
        QTest::newRow("keypad Enter in the text box") << "edit" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 0 << 0;
        QTest::newRow("Enter to the window") << "window" << int(Qt::Key_Return) << none << 0 << 0;
        QTest::newRow("Ctrl+Enter on the first") << "first" << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0 << 0;
    }

    void onlyTheFocusedButtonAnswers()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, firstPresses);
        QFETCH(int, secondPresses);
        Window w;
        w.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.dialog));
        QSignalSpy first(w.first, &QPushButton::clicked);
        QSignalSpy second(w.second, &QPushButton::clicked);
        QWidget* target = focus == "first" ? w.first : focus == "second" ? w.second
                        : focus == "edit" ? static_cast<QWidget*>(w.edit) : &w.dialog;
        if (target != &w.dialog) {
            target->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), target);
        }
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(first.count(), firstPresses);
        QCOMPARE(second.count(), secondPresses);
        QVERIFY(w.dialog.isVisible());
        QVERIFY(!w.first->isDefault() && !w.second->isDefault());
    }

    void heldEnterPressesOnce()
    {
        Window w;
        w.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.dialog));
        QSignalSpy first(w.first, &QPushButton::clicked);
        w.first->setFocus();
        for (bool repeat : {false, true, true}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeat);
            QApplication::sendEvent(w.first, &press);
        }
        QCOMPARE(first.count(), 1);
    }

    void enterTakesTheBoxDefault_data()
    {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("Yes/No") << MsgButtons::YesNo << MsgAnswer::Yes;
        QTest::newRow("Yes/No, No the default") << MsgButtons::YesNoDefaultNo << MsgAnswer::No;
    }

    void enterTakesTheBoxDefault()
    {
        QFETCH(MsgButtons, buttons);
        QFETCH(MsgAnswer, answer);
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->text() + "|" + box->windowTitle();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QtUi boxes;
        QCOMPARE(boxes.msgBox(QStringLiteral("Are you sure?"), buttons, MsgIcon::Question, QStringLiteral("KOVA Reset")),
                 answer);
        QCOMPARE(shown, QString("Are you sure?|KOVA Reset"));
        // Escape leaves with No whichever button is the default.
        QCOMPARE(leavingAnswer(buttons), MsgAnswer::No);
    }
};

QTEST_MAIN(tst_EnterPress)
#include "tst_EnterPress.moc"
