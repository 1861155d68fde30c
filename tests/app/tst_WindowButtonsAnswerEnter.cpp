// The windows with buttons: Enter, the keypad's Enter and Space press the
// focused button, once however long held, and Ctrl+Enter not; an Enter that
// reaches the window presses none; in a value editor it opens the keypad. The
// questions before a command to the relay in service default to No.

#include "app/AppContext.h"
#include "app/Comunicacion.h"
#include "app/Propiedades.h"
#include "app/support/ProgramWindow.h"
#include "editors/CalculadoraWindow.h"
#include "editors/ValueEditorWidget.h"
#include "link/RegisterImages.h"
#include "pages/DateTimeConfigView.h"
#include "pages/SetpointPageView.h"
#include "pages/ValuePage.h"
#include "pages/ValuePageView.h"
#include "reports/EventsPage.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kova;

namespace {

// The program's own services, offline, with one of its windows (none for "").
struct OpenWindow {
    QTemporaryDir dir;
    kova::test::ScriptedUi ui;
    std::unique_ptr<kova::test::ProgramWindow> program;
    std::unique_ptr<SetpointPage> setpoints;
    std::unique_ptr<ValuePage> values;
    std::unique_ptr<QDialog> window;

    explicit OpenWindow(const QString& kind)
    {
        processImages() = RegisterImages{};
        QFile::copy(kova::test::builtDefaultFile(), dir.filePath("Default.KOVA2"));
        program = std::make_unique<kova::test::ProgramWindow>(dir.path());
        AppContext& ctx = program->ctx;
        Principal& main = *program->w;
        if (kind == "setpoint") {
            setpoints = std::make_unique<SetpointPage>(*loadPageForm("SETPAGE2"), ctx);
            window = std::make_unique<SetpointPageView>(*setpoints, &main);
            setpoints->Form_Load();
        } else if (kind == "value") {
            values = makeValuePage(*loadPageForm("AVPAGE2"), ctx);
            auto view = std::make_unique<ValuePageView>(*values);
            view->load(&main);
            window = std::move(view);
        } else if (kind == "clock") {
            window = ctx.clockPage();
        } else if (kind == "connection") {
            auto view = std::make_unique<Comunicacion>(program->st, ctx, main);
            view->Form_Load();
            window = std::move(view);
        } else if (kind == "properties") {
            auto view = std::make_unique<Propiedades>(*ctx.archivos(), main);
            view->Form_Load();
            window = std::move(view);
        }
    }
};

} // namespace

class tst_WindowButtonsAnswerEnter : public QObject {
    Q_OBJECT
private slots:
    void onlyTheFocusedButtonAnswers_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("buttons");  // each "name caption"
        QTest::newRow("setpoint") << "setpoint" << QStringList{"Command1 STORE", "Command2 EXIT"};
        QTest::newRow("value") << "value" << QStringList{"Clear Clear", "Okey OK"};
        QTest::newRow("clock") << "clock" << QStringList{"Store STORE", "Okey OK"};
        QTest::newRow("connection") << "connection"
                                    << QStringList{"Command1 ON", "Command2 OFF", "Okey OK", "Cancelar Cancel", "Modem OK"};
        QTest::newRow("properties") << "properties" << QStringList{"Okey OK", "Cancel Cancel"};
    }

    // The buttons' own work is left out (their click handlers disconnected):
    // what counts is which button a key presses.
    void onlyTheFocusedButtonAnswers()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, buttons);
        OpenWindow w(window);
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QStringList pressed;
        for (QPushButton* b : w.window->findChildren<QPushButton*>()) {
            QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);
            connect(b, &QPushButton::clicked, [&pressed, b] { pressed << b->objectName(); });
            QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->objectName()));
        }
        // Enter to the window, and in each plain text box of it (not a value
        // editor's, where Enter opens the keypad, nor a date's or time's).
        QTest::keyClick(w.window.get(), Qt::Key_Return);
        for (QLineEdit* text : w.window->findChildren<QLineEdit*>()) {
            if (qobject_cast<ValueEditorWidget*>(text->parentWidget()) || !qobject_cast<QFrame*>(text->parentWidget()))
                continue;
            text->setFocus();
            QTest::keyClick(text, Qt::Key_Return);
        }
        QCOMPARE(pressed, QStringList());
        QVERIFY(w.window->isVisible());
        for (const QString& row : buttons) {
            const QString name = row.section(' ', 0, 0);
            auto* b = w.window->findChild<QPushButton*>(name);
            QVERIFY2(b, qPrintable(name));
            QCOMPARE(b->text(), row.section(' ', 1));
            b->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), b);
            QTest::keyClick(b, Qt::Key_Return);
            QCOMPARE(pressed, QStringList(1, name));
            QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
            QCOMPARE(pressed, QStringList(2, name));
            QTest::keyClick(b, Qt::Key_Space);
            QCOMPARE(pressed, QStringList(3, name));
            for (bool repeat : {false, true, true}) {  // Enter held down: one press
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeat);
                QApplication::sendEvent(b, &press);
            }
            QTest::keyClick(b, Qt::Key_Return, Qt::ControlModifier);
            QCOMPARE(pressed, QStringList(4, name));
            pressed.clear();
        }
        if (window == "setpoint") {  // Enter in a value editor opens its keypad
            auto* editor = qobject_cast<ValueEditorWidget*>(static_cast<SetpointPageView&>(*w.window).widget("PhaseCT(0)"));
            QVERIFY(editor);
            bool keypad = false;
            QTimer::singleShot(0, [&] {
                auto* k = qobject_cast<CalculadoraWindow*>(QApplication::activeModalWidget());
                if ((keypad = k != nullptr)) k->reject();
            });
            editor->Text1()->setFocus();
            QTest::keyClick(editor->Text1(), Qt::Key_Return);
            QVERIFY(keypad);
        }
        QCOMPARE(pressed, QStringList());
        QVERIFY(w.window->isVisible());
    }

    // Their texts and what Yes sends are the pages' and main window's tests'.
    void questionsDefaultToNo()
    {
        // Each command, then its request code, not queued on No.
        for (const auto& [command, request] : {std::pair{"reset", 11}, {"AVPAGE2", 12}, {"AVPAGE3", 12},
                                               {"AVPAGE6", 19}, {"events", 13}, {"clock", 93}}) {
            OpenWindow w("");
            w.program->st.link.Comunicando = true;
            w.program->st.Habilita_Reset = true;
            w.ui.shown.clear();
            w.ui.answers.push_back(MsgAnswer::No);
            if (command == std::string("reset"))
                w.program->w->command("Reset_Relay")->trigger();
            else if (command == std::string("events"))
                EventsPage(w.program->ctx).Clear_Click();
            else if (command == std::string("clock"))
                w.program->ctx.clockPage()->Store()->click();
            else
                makeValuePage(*loadPageForm(command), w.program->ctx)->Clear_Click();
            QVERIFY2(w.ui.shown.size() == 1 && w.ui.shown[0].buttons == MsgButtons::YesNoDefaultNo, command);
            QVERIFY2(!w.program->ctx.requestWaiting(request), command);
        }
    }

    void enterTakesTheBoxDefault()
    {
        for (const auto& [buttons, answer] : {std::pair{MsgButtons::YesNo, MsgAnswer::Yes},
                                              std::pair{MsgButtons::YesNoDefaultNo, MsgAnswer::No}}) {
            QString shown;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                shown = box->text() + "|" + box->windowTitle();
                QTest::keyClick(box, Qt::Key_Return);
            });
            QCOMPARE(QtUi().msgBox("Are you sure?", buttons, MsgIcon::Question, "KOVA Reset"), answer);
            QCOMPARE(shown, QString("Are you sure?|KOVA Reset"));
            QCOMPARE(leavingAnswer(buttons), MsgAnswer::No);  // Escape: No whichever the default
        }
    }
};

QTEST_MAIN(tst_WindowButtonsAnswerEnter)
#include "tst_WindowButtonsAnswerEnter.moc"
