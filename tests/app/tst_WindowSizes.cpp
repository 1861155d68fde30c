// Window sizes: shrunk windows still show every reading, box and button whole; the keypad keeps one size;
// the connection window's fields are as wide as their contents, not as the screen.

#include "app/Comunicacion.h"
#include "app/Propiedades.h"
#include "app/support/ProgramWindow.h"
#include "editors/CalculadoraWindow.h"
#include "editors/KeypadBlock.h"
#include "link/RegisterImages.h"
#include "pages/FormLoader.h"
#include "pages/ValuePageView.h"
#include "reports/EventsPageView.h"
#include "reports/FakeEventsHost.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace kova;

namespace {

// The shown readings, boxes, lists and buttons of a window lying partly outside it.
QStringList cutOff(QWidget& window)
{
    QStringList cut;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const bool content = qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w)
            || qobject_cast<QLineEdit*>(w) || qobject_cast<QTreeWidget*>(w);
        if (content && w->isVisible() && !window.rect().contains(QRect(w->mapTo(&window, QPoint()), w->size())))
            cut << w->objectName() + "/" + w->property("text").toString();
    }
    return cut;
}

// Whether a box shows a text from its first character with the cursor after the last.
bool showsWhole(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->end(false);
    box->grab();  // the box scrolls its text as it paints
    return box->cursorPositionAt(QPoint(box->contentsRect().left() + 4, box->height() / 2)) == 0;
}

} // namespace

class tst_WindowSizes : public QObject {
    Q_OBJECT
private slots:
    void shrunkWindowsShowEveryReadingAndButton_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* form : {"AVPAGE1", "AVPAGE2", "AVPAGE3", "AVPAGE5", "AVPAGE6"})
            QTest::newRow(form) << form;
        QTest::newRow("events") << "events";
        QTest::newRow("relay properties") << "properties";
    }

    void shrunkWindowsShowEveryReadingAndButton()
    {
        QFETCH(QString, window);
        processImages() = RegisterImages{};
        test::FakeEventsHost host;
        host.isOnline = true;
        host.table[325] = " Wye ";
        std::unique_ptr<ValuePage> valuePage;
        std::unique_ptr<EventsPage> eventsPage;
        test::ScriptedUi ui;
        AppState st;
        AppContext ctx(st);
        Principal main(st, ctx.services());
        std::unique_ptr<QWidget> w;
        if (window == "events") {
            eventsPage = std::make_unique<EventsPage>(host);
            w = std::make_unique<EventsPageView>(*eventsPage, &main);
            eventsPage->Form_Load();
        } else if (window == "properties") {
            ctx.archivos()->Nombre_Rele = "ABCDEFGHIJKLMNOPQRST";
            auto* p = new Propiedades(*ctx.archivos(), main);
            w.reset(p);
            p->Form_Load();
        } else {
            valuePage = makeValuePage(*loadPageForm(window.toStdString()), host);
            auto* v = new ValuePageView(*valuePage);
            w.reset(v);
            v->load(&main);
        }
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->resize(10, 10);
        QVERIFY2(w->width() > 100 && w->height() > 100, qPrintable(QString::number(w->width())));
        QVERIFY2(cutOff(*w).isEmpty(), qPrintable(cutOff(*w).join(", ")));
        if (auto* p = qobject_cast<Propiedades*>(w.get()))  // 20 characters in the name boxes at the least size
            for (QLineEdit* box : {p->Text1(), p->Text2()})
                QVERIFY2(showsWhole(box, "ABCDEFGHIJKLMNOPQRST"), qPrintable(QString::number(box->width())));
    }

    void keypadKeepsItsSize()
    {
        test::ScriptedUi ui;
        CalculadoraWindow keypad(keypadBlock());
        keypad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&keypad));
        const QSize size = keypad.size();
        for (const QSize asked : {QSize(2000, 1500), QSize(10, 10)}) {
            keypad.resize(asked);
            QCOMPARE(keypad.size(), size);
        }
        QCOMPARE(keypad.OK()->size(), keypad.OK()->sizeHint());
    }

    void connectionFieldsAsWideAsTheirContents()
    {
        QTemporaryDir dir;
        QFile::copy(test::builtDefaultFile(), dir.filePath("Default.KOVA2"));
        test::ScriptedUi ui;
        test::ProgramWindow p(dir.path());
        Comunicacion c(p.st, p.ctx, *p.w);
        c.Form_Load();
        c.resize(1600, c.height());
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        // Each column of fields as wide as its widest field's own size.
        const QList<QStringList> columns{{"Byte_UnR1", "Combo1", "Combo2", "Combo5"}, {"Combo4", "Combo3", "Modem"},
            {"Command1"}, {"Command2"}};
        for (const QStringList& column : columns) {
            int widest = 0;
            for (const QString& name : column)
                widest = qMax(widest, c.findChild<QWidget*>(name)->sizeHint().width());
            for (const QString& name : column)
                QVERIFY2(c.findChild<QWidget*>(name)->width() == widest, qPrintable(name));
        }
        QVERIFY(c.Text1()->width() < 400);
        QVERIFY(showsWhole(c.Text1(), "00123456789012345678"));
        QCOMPARE(c.Text1()->maxLength(), 20);
    }
};

QTEST_MAIN(tst_WindowSizes)
#include "tst_WindowSizes.moc"
