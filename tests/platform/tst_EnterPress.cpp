// What the windows' tests leave out of Enter on a button: a held Enter and
// Ctrl+Enter press nothing more; and the default button of the program's
// Yes/No boxes, which Enter takes.

#include "platform/EnterPress.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace kova;

class tst_EnterPress : public QObject {
    Q_OBJECT
private slots:
    void heldOrWithCtrlEnterPressesOnce()
    {
        QDialog dialog;
        auto* button = new QPushButton(QStringLiteral("STORE"), &dialog);
        pressOnEnter(*button);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy pressed(button, &QPushButton::clicked);
        button->setFocus();
        for (bool repeat : {false, true, true}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeat);
            QApplication::sendEvent(button, &press);
        }
        QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(pressed.count(), 1);
        QVERIFY(!button->isDefault() && !button->autoDefault());
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
