// Enter presses the focused button or opens a value editor's keypad; questions to the relay default to No.

#include "app/Comunicacion.h"
#include "app/support/ProgramWindow.h"
#include "editors/CalculadoraWindow.h"
#include "editors/ValueEditorWidget.h"
#include "link/RegisterImages.h"
#include "pages/FormLoader.h"
#include "pages/SetpointPageView.h"
#include "pages/ValuePage.h"
#include "reports/EventsPage.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QtWidgets>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;

// The program's own services, offline, with one of its windows (none for "").
struct OpenWindow {
    QTemporaryDir dir;
    kova::test::ScriptedUi ui;
    std::unique_ptr<kova::test::ProgramWindow> program;
    std::unique_ptr<SetpointPage> setpoints;
    std::unique_ptr<QDialog> window;
    explicit OpenWindow(const QString& kind)
    {
        processImages() = RegisterImages{};
        QFile::copy(kova::test::builtDefaultFile(), dir.filePath("Default.KOVA2"));
        program = std::make_unique<kova::test::ProgramWindow>(dir.path());
        if (kind == "setpoint") {
            setpoints = std::make_unique<SetpointPage>(*loadPageForm("SETPAGE2"), program->ctx);
            window = std::make_unique<SetpointPageView>(*setpoints, program->w.get());
            setpoints->Form_Load();
        } else if (kind == "connection") {
            window = std::make_unique<Comunicacion>(program->st, program->ctx, *program->w);
            static_cast<Comunicacion&>(*window).Form_Load();
        }
    }
};

class tst_WindowButtonsAnswerEnter : public QObject {
    Q_OBJECT
private slots:
    void enterPressesTheFocusedButton()
    {
        for (const auto& [window, buttons] : {std::pair{"setpoint", QStringList{"Command1", "Command2"}},
                 std::pair{"connection", QStringList{"Command1", "Command2", "Okey"}}}) {
            OpenWindow w(window);
            w.window->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
            QStringList pressed;
            for (QPushButton* b : w.window->findChildren<QPushButton*>()) {  // counted, not run
                QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);
                connect(b, &QPushButton::clicked, [&pressed, b] { pressed << b->objectName(); });
            }
            for (const QString& name : buttons) {
                auto* b = w.window->findChild<QPushButton*>(name);
                QVERIFY2(b, qPrintable(name));
                b->setFocus();
                QTRY_COMPARE(QApplication::focusWidget(), b);
                QTest::keyClick(b, Qt::Key_Return);
                QCOMPARE(std::exchange(pressed, {}), QStringList(1, name));
            }
            if (w.setpoints) {  // Enter in a value editor opens its keypad
                auto* editor
                    = qobject_cast<ValueEditorWidget*>(static_cast<SetpointPageView&>(*w.window).widget("PhaseCT(0)"));
                QVERIFY(editor);
                CalculadoraWindow* keypad = nullptr;
                QTimer::singleShot(0, [&] {
                    if ((keypad = qobject_cast<CalculadoraWindow*>(QApplication::activeModalWidget())))
                        keypad->reject();
                });
                editor->Text1()->setFocus();
                QTest::keyClick(editor->Text1(), Qt::Key_Return);
                QVERIFY(keypad);
            }
        }
    }

    void questionsDefaultToNo()
    {
        for (const auto& [command, request] :
            {std::pair{"reset", 11}, {"AVPAGE2", 12}, {"events", 13}}) {  // not sent on No
            OpenWindow w("");
            w.program->st.link.Comunicando = true;
            w.program->st.Habilita_Reset = true;
            w.ui.answers.push_back(MsgAnswer::No);
            if (command == std::string("reset"))
                w.program->w->command("Reset_Relay")->trigger();
            else if (command == std::string("events"))
                EventsPage(w.program->ctx).Clear_Click();
            else
                makeValuePage(*loadPageForm(command), w.program->ctx)->Clear_Click();
            QVERIFY2(w.ui.shown.size() == 1 && w.ui.shown[0].buttons == MsgButtons::YesNoDefaultNo, command);
            QVERIFY2(!w.program->ctx.requestWaiting(request), command);
        }
        QTimer::singleShot(
            0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });  // the real box
        QCOMPARE(
            QtUi().msgBox("Are you sure?", MsgButtons::YesNoDefaultNo, MsgIcon::Question, "KOVA Reset"), MsgAnswer::No);
    }
};

QTEST_MAIN(tst_WindowButtonsAnswerEnter)
#include "tst_WindowButtonsAnswerEnter.moc"
