// The program's windows with buttons (setpoint, value, clock, connection and
// properties windows): Enter, the keypad's Enter and Space press the focused
// button; an Enter that reaches the window itself presses none; Enter in a
// value editor still opens its keypad.

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
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kova;

namespace {

// One of the windows over the program's own services, offline.
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
        } else {
            auto view = std::make_unique<Propiedades>(*ctx.archivos(), main);
            view->Form_Load();
            window = std::move(view);
        }
    }
    bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
};

} // namespace

class tst_WindowButtonsAnswerEnter : public QObject {
    Q_OBJECT
private slots:
    void focusedButtonAnswers_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        const char* const rows[][3] = {
            {"setpoint", "Command1", "STORE"}, {"setpoint", "Command2", "EXIT"},
            {"value", "Clear", "Clear"},       {"value", "Okey", "OK"},
            {"clock", "Store", "STORE"},       {"clock", "Okey", "OK"},
            {"connection", "Command1", "ON"},  {"connection", "Command2", "OFF"},
            {"connection", "Okey", "OK"},      {"connection", "Cancelar", "Cancel"},
            {"connection", "Modem", "OK"},     {"properties", "Okey", "OK"},
            {"properties", "Cancel", "Cancel"},
        };
        for (const auto& r : rows)
            QTest::addRow("%s %s", r[0], r[2]) << QString(r[0]) << QString(r[1]) << QString(r[2]);
    }

    // The button's own work is left out (its click handlers disconnected):
    // what counts is that the key presses it.
    void focusedButtonAnswers()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(QString, caption);
        OpenWindow w(window);
        QVERIFY(w.show());
        auto* b = w.window->findChild<QPushButton*>(button);
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);
        QSignalSpy pressed(b, &QPushButton::clicked);
        b->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), b);
        QTest::keyClick(b, Qt::Key_Return);
        QCOMPARE(pressed.count(), 1);
        QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pressed.count(), 2);
        QTest::keyClick(b, Qt::Key_Space);
        QCOMPARE(pressed.count(), 3);
    }

    void enterToTheWindowPressesNothing_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* w : {"setpoint", "value", "clock", "connection", "properties"})
            QTest::newRow(w) << QString(w);
    }

    void enterToTheWindowPressesNothing()
    {
        QFETCH(QString, window);
        OpenWindow w(window);
        QVERIFY(w.show());
        int presses = 0;
        for (QPushButton* b : w.window->findChildren<QPushButton*>()) {
            QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);
            connect(b, &QPushButton::clicked, [&presses] { ++presses; });
            QVERIFY2(!b->isDefault(), qPrintable(b->objectName()));
        }
        QTest::keyClick(w.window.get(), Qt::Key_Return);
        // And in each plain text box of the window (not a value editor's,
        // where Enter opens the keypad, nor a date's or time's).
        for (QLineEdit* text : w.window->findChildren<QLineEdit*>()) {
            if (qobject_cast<ValueEditorWidget*>(text->parentWidget()) || !qobject_cast<QFrame*>(text->parentWidget()))
                continue;
            text->setFocus();
            QTest::keyClick(text, Qt::Key_Return);
        }
        QCOMPARE(presses, 0);
        QVERIFY(w.window->isVisible());
    }

    void enterInAValueEditorOpensItsKeypad()
    {
        OpenWindow w("setpoint");
        QVERIFY(w.show());
        auto* editor = qobject_cast<ValueEditorWidget*>(static_cast<SetpointPageView&>(*w.window).widget("PhaseCT(0)"));
        QVERIFY(editor);
        int presses = 0;
        for (QPushButton* b : w.window->findChildren<QPushButton*>())
            connect(b, &QPushButton::clicked, [&presses] { ++presses; });
        bool keypad = false;
        QTimer::singleShot(0, [&] {
            auto* k = qobject_cast<CalculadoraWindow*>(QApplication::activeModalWidget());
            keypad = k != nullptr;
            if (k) k->reject();
        });
        editor->Text1()->setFocus();
        QTest::keyClick(editor->Text1(), Qt::Key_Return);
        QVERIFY(keypad);
        QCOMPARE(presses, 0);
        QVERIFY(w.window->isVisible());
    }
};

QTEST_MAIN(tst_WindowButtonsAnswerEnter)
#include "tst_WindowButtonsAnswerEnter.moc"
