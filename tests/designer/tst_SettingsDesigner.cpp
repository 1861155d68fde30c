// The settings designer on a copy of the system setup form: selecting by
// click and by the control list, the property sheet and the property
// browser, and a saved edit taken up by the program's page through
// KOVA_FORMS_DIR.

#include "DesignerWindow.h"
#include "PropertyBrowser.h"
#include "PropertyPageWidget.h"
#include "PropertySheet.h"
#include "SelectionOutline.h"
#include "pages/FakePageHost.h"
#include "pages/FormLoader.h"
#include "pages/SetpointPageView.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

using namespace kova;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The field whose caption label reads caption.
QLineEdit* byCaption(QWidget* page, const QString& caption)
{
    for (QLabel* l : page->findChildren<QLabel*>())
        if (l->text() == caption)
            return qobject_cast<QLineEdit*>(l->buddy());
    return nullptr;
}

void clickControl(DesignerWindow& w, const char* name, Qt::KeyboardModifiers mods = {})
{
    QWidget* c = w.view()->widget(name);
    QTest::mouseClick(w.view(), Qt::LeftButton, mods, c->mapTo(w.view(), c->rect().center()));
}

} // namespace

class tst_SettingsDesigner : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString copy;
    QStringList warnings;

    void open(DesignerWindow& w)
    {
        QVERIFY(w.openForm(copy));
        w.browser()->warn = [this](const QString& t) { warnings << t; };
        w.resize(1800, 1100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

private slots:
    void init()
    {
        copy = dir.filePath(QStringLiteral("SETPAGE2.json"));
        QFile::remove(copy);
        QVERIFY(QFile::copy(qEnvironmentVariable("KOVA_SOURCE_DIR") + QStringLiteral("/pages/forms/SETPAGE2.json"),
                            copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        warnings.clear();
    }

    // The window opens within the screen's available area, 1400 x 800 where that fits.
    void opensWithinTheScreen()
    {
        const struct { QRect available, want; } rows[] = {
            {{0, 0, 1280, 1024}, {8, 128, 1264, 800}},
            {{0, 0, 1024, 600}, {8, 40, 1008, 552}},
            {{100, 30, 2560, 1410}, {680, 351, 1400, 800}},
        };
        for (const auto& r : rows)
            QCOMPARE(DesignerWindow::initialGeometry(r.available), r.want);
        DesignerWindow w;
        QVERIFY(w.openForm(copy));
        w.placeOnScreen();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.screen()->availableGeometry().contains(w.frameGeometry()));
    }

    void editedUnitReachesTheProgramsPage()
    {
        const QByteArray before = readAll(copy);
        {
            DesignerWindow w;
            open(w);
            clickControl(w, "PhaseCT(0)");
            QCOMPARE(w.selection(), std::vector<std::string>{"PhaseCT(0)"});
            PropertySheet* sheet = w.openPropertyPages();
            QVERIFY(sheet);
            QCOMPARE(sheet->windowTitle(), QStringLiteral("Property Pages"));
            QCOMPARE(sheet->tabs()->tabText(0), QStringLiteral("Word_1R"));
            QCOMPARE(byCaption(sheet, QStringLiteral("Titulo:"))->text(), QStringLiteral("Phase CT Rating Primary:"));
            // A refused apply names the property and keeps the control.
            QStringList shown;
            sheet->warn = [&](const QString& t) { shown << t; };
            QLineEdit* min = byCaption(sheet, QStringLiteral("Min:"));
            min->selectAll();
            QTest::keyClicks(min, QStringLiteral("abc"));
            QTest::mouseClick(sheet->applyButton(), Qt::LeftButton);
            QCOMPARE(shown, QStringList{QStringLiteral("Invalid value for Min")});
            QVERIFY(sheet->applyButton()->isEnabled());
            QCOMPARE(static_cast<ValueEditorModel*>(w.document()->control("PhaseCT(0)"))->Min(), 5);
            min->selectAll();
            QTest::keyClicks(min, QStringLiteral("5"));
            QLineEdit* medida = byCaption(sheet, QStringLiteral("Medida:"));
            QCOMPARE(medida->text(), QStringLiteral("A"));
            medida->selectAll();
            QTest::keyClicks(medida, QStringLiteral("Amp"));
            QVERIFY(sheet->applyButton()->isEnabled());
            QTest::mouseClick(sheet->applyButton(), Qt::LeftButton);
            QVERIFY(!sheet->applyButton()->isEnabled());
            QVERIFY(w.saveForm());
        }
        const QList<QByteArray> a = before.split('\n'), b = readAll(copy).split('\n');
        QCOMPARE(a.size(), b.size());
        QStringList differing;
        for (int i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                differing << QString::fromUtf8(a[i].trimmed() + " -> " + b[i].trimmed());
        QCOMPARE(differing, QStringList{QStringLiteral("\"medida\": \"A\", -> \"medida\": \"Amp\",")});

        qputenv("KOVA_FORMS_DIR", dir.path().toUtf8());
        auto form = loadPageForm("SETPAGE2");
        qunsetenv("KOVA_FORMS_DIR");
        QVERIFY(form);
        test::FakePageHost host;
        host.setGet(0x0102, 100);
        SetpointPage page(*form, host);
        page.Form_Load();
        QCOMPARE(page.valor("PhaseCT(0)"), std::string("100 Amp"));
        QCOMPARE(loadPageForm("SETPAGE2")->settings.find("PhaseCT(0)")->read("medida", std::string()),
                 PropValue(std::string("A")));
    }

    void selectionByClickAndListAndSeveralControls()
    {
        DesignerWindow w;
        open(w);
        clickControl(w, "PhaseCT(0)");
        clickControl(w, "PhaseCT(1)", Qt::ControlModifier);
        QCOMPARE(w.selection(), (std::vector<std::string>{"PhaseCT(0)", "PhaseCT(1)"}));
        QCOMPARE(w.controlList()->selectedItems().size(), 2);
        PropertySheet* sheet = w.openPropertyPages();
        QVERIFY(!sheet->applyButton()->isEnabled());
        QVERIFY(!sheet->okButton()->isEnabled());
        QVERIFY(sheet->note()->isVisible());
        QCOMPARE(sheet->note()->text(), QStringLiteral("Select one control"));
        // The list selects too, and the open sheet follows: a selector shows its own page.
        w.controlList()->clearSelection();
        w.controlList()->findItems(QStringLiteral("Page1C(0)"), Qt::MatchExactly).first()->setSelected(true);
        QCOMPARE(w.selection(), std::vector<std::string>{"Page1C(0)"});
        sheet = w.sheet();
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->tabs()->tabText(0), QStringLiteral("Rele"));
        QVERIFY(!sheet->note()->isVisible());
        QCOMPARE(byCaption(sheet, QStringLiteral("Direccion:"))->text(), QStringLiteral("0101"));
        // A click outside every control clears the selection.
        QTest::mouseClick(w.view(), Qt::LeftButton, {}, QPoint(1, 1));
        QVERIFY(w.selection().empty());
    }

    void browserEditsDescribesAndOpensBoundPages()
    {
        DesignerWindow w;
        open(w);
        w.select("PhaseCT(0)");
        PropertyBrowser* b = w.browser();
        QTreeWidget* grouped = b->categorized();
        const auto mine = grouped->findItems(QStringLiteral("Mis Propiedades"), Qt::MatchExactly);
        QCOMPARE(mine.size(), 1);
        QCOMPARE(mine.first()->childCount(), 7);
        const auto paso = b->alphabetic()->findItems(QStringLiteral("Paso"), Qt::MatchExactly);
        b->alphabetic()->setCurrentItem(paso.first());
        QVERIFY(b->description()->text().startsWith(QStringLiteral("El multiplo")));

        struct Case {
            const char *member, *text;
            bool kept;
        };
        const Case cases[] = {{"Min", "abc", false}, {"Paso", "0", false}, {"Min", "6000", false},
                              {"Medida", "Amp", true}, {"Min", "10", true}};
        for (const Case& c : cases) {
            warnings.clear();
            QCOMPARE(b->edit(c.member, QString::fromLatin1(c.text)), c.kept);
            QCOMPARE(warnings.isEmpty(), c.kept);
            if (!c.kept)
                QVERIFY(warnings.first().startsWith(QStringLiteral("Invalid value for ") + c.member));
        }
        auto* e = static_cast<ValueEditorModel*>(w.document()->control("PhaseCT(0)"));
        QCOMPARE(e->Min(), 10);
        QCOMPARE(e->Medida(), std::string("Amp"));

        auto* more = b->findChild<QAbstractButton*>(QStringLiteral("more_Paso"));
        QVERIFY(more);
        QTest::mouseClick(more, Qt::LeftButton);
        QVERIFY(w.sheet());
        QCOMPARE(w.sheet()->tabs()->tabText(0), QStringLiteral("Byte_1R"));
        QVERIFY(!b->findChild<QAbstractButton*>(QStringLiteral("more_Enabled")));
    }

    // A name and register wider than its control is cut short inside it, the whole text its tooltip.
    void labelsStayInsideTheirControls()
    {
        DesignerWindow w;
        open(w);
        QFont large = w.outline()->font();  // a larger font than the page's: the editors are narrow for it
        large.setPointSizeF(large.pointSizeF() * 1.5);
        w.outline()->setFont(large);
        QStringList cut;
        for (const SelectionOutline::Tag& t : w.outline()->tags()) {
            QWidget* c = w.view()->widget(t.control);
            const QRect r(c->mapTo(w.view(), QPoint()), c->size());
            QVERIFY2(r.contains(t.box), t.control.c_str());
            if (t.shown == t.full)
                continue;
            cut << t.full;
            QVERIFY(t.shown.endsWith(QChar(0x2026)) && t.full.startsWith(t.shown.chopped(1)));
            QHelpEvent tip(QEvent::ToolTip, r.center(), w.view()->mapToGlobal(r.center()));
            QApplication::sendEvent(w.view(), &tip);
            QCOMPARE(QToolTip::text(), t.full);
        }
        QVERIFY2(cut.contains(QStringLiteral("PhaseCT(2) 0109")), qPrintable(cut.join('|')));
    }
};

QTEST_MAIN(tst_SettingsDesigner)
#include "tst_SettingsDesigner.moc"
