// The settings designer keeps a form from making a page write the wrong
// register and keeps edits from being lost: the consistency check in Apply
// (sheet and browser) and in Save, the damaged values and unknown keys a
// form is opened with, the question before unsaved edits are dropped, the
// sheet following the browser and the selection, and the browser's and
// sheet's look.

#include "DesignerWindow.h"
#include "PropertyBrowser.h"
#include "PropertySheet.h"
#include "designer/support/DesignerTestSupport.h"
#include "editors/Bits.h"
#include "editors/Byte_UnR.h"
#include "editors/PropertyPageDef.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace kova;
using namespace kova::test;

class tst_DesignerSafety : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString copy;
    QStringList shown;  // every warning of the window, its sheets and its browser
    QStringList asked;  // every question

    void open(DesignerWindow& w, const QString& path)
    {
        w.warn = [this](const QString& t) { shown << t; };
        w.browser()->warn = w.warn;
        w.browser()->ask = [this](const QString& t) {
            asked << t;
            return false;
        };
        QVERIFY(w.openForm(path));
        w.resize(1800, 1100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

    PropertySheet* sheetFor(DesignerWindow& w, const char* control)
    {
        w.select(control);
        PropertySheet* sheet = w.openPropertyPages();
        if (sheet)
            sheet->ask = [this](const QString& t) {
                asked << t;
                return true;
            };
        return sheet;
    }

    static void retype(QLineEdit* field, const QString& text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    static ValueEditorModel* editor(DesignerWindow& w, const char* name)
    {
        return static_cast<ValueEditorModel*>(w.document()->control(name));
    }

private slots:
    void init()
    {
        copy = copyForm(dir.path(), QStringLiteral("SETPAGE2"));
        shown.clear();
        asked.clear();
    }

    void formsThatWriteTheWrongRegisterAreRefusedInApplyAndSave()
    {
        struct Variant {
            const char *what, *control, *direccion;
            QStringList says;
            QString starts = QStringLiteral("Not applied:\n");
        };
        const Variant variants[] = {
            {"shared bit", "PhaseCT(7)", "0103", {"PhaseCT(7) and PhaseCT(1) share bit", "of register 0103"}},
            {"unread block", "PhaseCT(2)", "1005",
             {"PhaseCT(2): register 1005 lies in block 3, which the page does not read, write or restore"}},
            {"relay group with nothing after", "PhaseCT(4)", "0110",
             {"chkDiscrep: nothing on the page is bound to register 012C, just after the relay group register 012B"}},
            // The control's own check refuses it before the form's.
            {"outside every block", "PhaseCT(2)", "0600", {"\"0600\" is in no setpoint block"},
             QStringLiteral("Invalid value for Direccion: ")},
        };
        const QByteArray original = readAll(copy);
        for (const Variant& v : variants) {
            qInfo() << v.what;
            const auto saysAll = [&](const QString& text) {
                for (const QString& part : v.says)
                    if (!text.contains(part))
                        return false;
                return true;
            };
            {
                DesignerWindow w;
                open(w, copy);
                // A plain combo selected first changes nothing: the control applied to is checked.
                w.select("Combo1");
                w.select(v.control, true);
                const std::string before = editor(w, v.control)->Direccion();
                // The sheet: refused without a question, nothing written.
                PropertySheet* sheet = w.openPropertyPages();
                sheet->ask = [this](const QString& t) {
                    asked << t;
                    return true;
                };
                retype(byCaption(sheet, QStringLiteral("Direccion:")), QString::fromLatin1(v.direccion));
                QTest::mouseClick(sheet->applyButton(), Qt::LeftButton);
                QCOMPARE(shown.size(), 1);
                QVERIFY2(shown.first().startsWith(v.starts) && saysAll(shown.first()),
                         qPrintable(shown.first()));
                QVERIFY(sheet->applyButton()->isEnabled());
                // The browser: the same.
                QVERIFY(!w.browser()->edit("Direccion", QString::fromLatin1(v.direccion)));
                QCOMPARE(shown.size(), 2);
                QVERIFY(saysAll(shown.last()));
                QVERIFY(asked.isEmpty());
                QCOMPARE(editor(w, v.control)->Direccion(), before);
                QVERIFY(!w.isWindowModified());
            }
            // Save: the same edit made by hand is not written back.
            shown.clear();
            setStoredSetting(copy, QString::fromLatin1(v.control), QStringLiteral("direccion"),
                             QString::fromLatin1(v.direccion));
            const QByteArray edited = readAll(copy);
            {
                DesignerWindow w;
                open(w, copy);
                QVERIFY(shown.isEmpty());
                QVERIFY(!w.saveForm());
                QCOMPARE(shown.size(), 1);
                QVERIFY2(shown.first().startsWith(QStringLiteral("SETPAGE2.json was not saved:\n")) &&
                             saysAll(shown.first()),
                         qPrintable(shown.first()));
                QCOMPARE(readAll(copy), edited);
            }
            QFile f(copy);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(original);
            f.close();
            shown.clear();
        }
    }

    void formWithTheTwoRegisterEditsCannotBeSaved()
    {
        setStoredSetting(copy, QStringLiteral("PhaseCT(7)"), QStringLiteral("direccion"), QStringLiteral("0103"));
        setStoredSetting(copy, QStringLiteral("PhaseCT(2)"), QStringLiteral("direccion"), QStringLiteral("1005"));
        const QByteArray edited = readAll(copy);
        DesignerWindow w;
        open(w, copy);
        // An unrelated edit is still applied: only what it adds is refused.
        w.select("PhaseCT(0)");
        QVERIFY(w.browser()->edit("Medida", QStringLiteral("Amp")));
        shown.clear();
        QVERIFY(!w.saveForm());
        QCOMPARE(shown.size(), 1);
        for (const char* part : {"PhaseCT(7) and PhaseCT(1) share bit", "register 0103", "PhaseCT(2): register 1005",
                                 "does not read, write or restore"})
            QVERIFY2(shown.first().contains(QLatin1String(part)), part);
        QCOMPARE(readAll(copy), edited);
        QVERIFY(w.isWindowModified());
    }

    void settingsTheSheetWouldRefuseAreNotSaved()
    {
        const QByteArray original = readAll(copy);
        DesignerWindow w;
        open(w, copy);
        // Set past the sheet's checks, as a hand edit would be.
        QVERIFY(w.document()->control("PhaseCT(0)")->setProperty("Min", std::int64_t{6000}));
        QVERIFY(!w.saveForm());
        QCOMPARE(shown.last(), QStringLiteral("SETPAGE2.json was not saved:\n"
                                              "PhaseCT(0): Min is above Max or outside the register width"));
        QCOMPARE(readAll(copy), original);
    }

    void damagedFormIsListedOnOpenAndNotSavedUntilMended()
    {
        setStoredSetting(copy, QStringLiteral("PhaseCT(0)"), QStringLiteral("min"), QStringLiteral("5O"));
        setStoredSetting(copy, QStringLiteral("PhaseCT(3)"), QStringLiteral("colour"), 3);
        const QString unread = QStringLiteral("PhaseCT(0): \"min\": \"5O\" could not be read");
        const QString unknown = QStringLiteral("PhaseCT(3): \"colour\": 3 is not one of its settings");
        {
            DesignerWindow w;
            open(w, copy);
            QCOMPARE(shown.size(), 1);  // one message, naming file, control, key and value of both
            QVERIFY(shown.first().startsWith(QStringLiteral("SETPAGE2.json: ")));
            QVERIFY(shown.first().contains(unread));
            QVERIFY(shown.first().contains(unknown));
            // The browser and the sheet show the stored text, so applying it is refused.
            w.select("PhaseCT(0)");
            QCOMPARE(w.browser()->alphabetic()->findItems(QStringLiteral("Min"), Qt::MatchExactly).first()->text(1),
                     QStringLiteral("5O"));
            PropertySheet* sheet = sheetFor(w, "PhaseCT(0)");
            QCOMPARE(byCaption(sheet, QStringLiteral("Min:"))->text(), QStringLiteral("5O"));
            QVERIFY(!sheet->apply());
            QCOMPARE(shown.last(), QStringLiteral("Invalid value for Min"));
            const QByteArray stored = readAll(copy);
            QVERIFY(!w.saveForm());
            QVERIFY(shown.last().contains(unread) && shown.last().contains(unknown));
            // Min mended in the browser: the unknown key still keeps the form from being saved.
            QVERIFY(w.browser()->edit("Min", QStringLiteral("5")));
            QCOMPARE(byCaption(sheet, QStringLiteral("Min:"))->text(), QStringLiteral("5"));
            QVERIFY(!w.saveForm());
            QVERIFY(!shown.last().contains(unread) && shown.last().contains(unknown));
            QCOMPARE(readAll(copy), stored);
        }
        // The unknown key removed by hand: the form opens with only Min to mend, here in the sheet.
        setStoredSetting(copy, QStringLiteral("PhaseCT(3)"), QStringLiteral("colour"), QJsonValue::Undefined);
        shown.clear();
        DesignerWindow w;
        open(w, copy);
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().contains(unread) && !shown.first().contains(unknown));
        PropertySheet* sheet = sheetFor(w, "PhaseCT(0)");
        retype(byCaption(sheet, QStringLiteral("Min:")), QStringLiteral("5"));
        QVERIFY(sheet->apply());
        QVERIFY(w.saveForm());
        QVERIFY(readAll(copy).contains("\"min\": 5,"));
        QVERIFY(!readAll(copy).contains("colour"));
    }

    void unsavedEditsAreNotDroppedWithoutAQuestion()
    {
        const QString other = copyForm(dir.path(), QStringLiteral("SETPAGE3"));
        using B = QMessageBox;
        struct Case {
            const char* how;  // "quit", "close", "open"
            B::StandardButton answer;
        };
        const Case cases[] = {{"quit", B::Cancel}, {"quit", B::Discard}, {"quit", B::Save},
                              {"close", B::Cancel}, {"close", B::Discard}, {"close", B::Save},
                              {"open", B::Cancel}, {"open", B::Discard}, {"open", B::Save}};
        const QByteArray original = readAll(copy);
        for (const Case& c : cases) {
            qInfo() << c.how << c.answer;
            const QString how = QString::fromLatin1(c.how);
            QFile f(copy);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(original);
            f.close();
            DesignerWindow w;
            open(w, copy);
            QStringList questions;
            w.askSave = [&](const QString& q) {
                questions << q;
                return c.answer;
            };
            w.chooseFile = [&] { return other; };
            const auto trigger = [&] {
                if (how == QLatin1String("close"))
                    w.close();
                else
                    w.findChild<QAction*>(how == QLatin1String("quit") ? QStringLiteral("actionQuit")
                                                                        : QStringLiteral("actionOpen"))
                        ->trigger();
            };
            // Nothing edited: no question.
            if (how == QLatin1String("open")) {
                trigger();
                QVERIFY(questions.isEmpty());
                QCOMPARE(w.document()->path(), other);
                QVERIFY(w.openForm(copy));
            }
            w.select("PhaseCT(0)");
            QVERIFY(w.browser()->edit("Medida", QStringLiteral("XYZ")));
            QVERIFY(w.isWindowModified());
            trigger();
            QCOMPARE(questions, QStringList{QStringLiteral("Save changes to SETPAGE2.json?")});
            const bool kept = c.answer == B::Cancel;
            QCOMPARE(w.isVisible(), kept || how == QLatin1String("open"));
            QCOMPARE(w.document()->path(), kept || how != QLatin1String("open") ? copy : other);
            QCOMPARE(readAll(copy).contains("\"medida\": \"XYZ\""), c.answer == B::Save);
            if (kept) {
                QVERIFY(w.isWindowModified());
                QCOMPARE(editor(w, "PhaseCT(0)")->Medida(), std::string("XYZ"));
            }
        }
    }

    void sheetKeepsWhatTheBrowserSetAndFollowsTheSelection()
    {
        DesignerWindow w;
        open(w, copy);
        PropertySheet* sheet = sheetFor(w, "PhaseCT(0)");
        retype(byCaption(sheet, QStringLiteral("Titulo:")), QStringLiteral("Primary:"));
        QVERIFY(w.browser()->edit("Medida", QStringLiteral("XYZ")));
        QCOMPARE(byCaption(sheet, QStringLiteral("Medida:"))->text(), QStringLiteral("XYZ"));
        QCOMPARE(byCaption(sheet, QStringLiteral("Titulo:"))->text(), QStringLiteral("Primary:"));
        // OK with the Medida field untouched keeps the browser's value, and the sheet's own edit.
        QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QCOMPARE(editor(w, "PhaseCT(0)")->Medida(), std::string("XYZ"));
        QCOMPARE(editor(w, "PhaseCT(0)")->Titulo(), std::string("Primary:"));

        // Another class shows its own page, and applying it works.
        sheet = sheetFor(w, "PhaseCT(1)");
        QCOMPARE(sheet->tabs()->tabText(0), QStringLiteral("Word_1R"));
        w.select("Page1W2(0)");
        sheet = w.sheet();
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->tabs()->tabText(0), QStringLiteral("Word_2R"));
        QCOMPARE(byCaption(sheet, QStringLiteral("Direccion:"))->text(), QStringLiteral("0105"));
        QVERIFY(sheet->apply());
        QVERIFY(shown.isEmpty());
        // Enter presses OK.
        QLineEdit* medida = byCaption(sheet, QStringLiteral("Medida:"));
        retype(medida, QStringLiteral("kV"));
        QTest::keyClick(medida, Qt::Key_Return);
        QVERIFY(!sheet->isVisible());
        QCOMPARE(static_cast<ValueEditorModel*>(w.document()->control("Page1W2(0)"))->Medida(), std::string("kV"));
    }

    void browserAsksWhatTheSheetAsks()
    {
        DesignerWindow w;
        open(w, copy);
        w.select("Page1C(0)");
        auto* selector = static_cast<Bits*>(w.document()->control("Page1C(0)"));
        const auto before = selector->Cantidad_Items();
        QVERIFY(!w.browser()->edit("Cantidad_Items", QStringLiteral("16")));  // declined
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().contains(QStringLiteral("Cantidad_Items 16 is more than the")));
        QCOMPARE(selector->Cantidad_Items(), before);
        w.browser()->ask = [](const QString&) { return true; };
        QVERIFY(w.browser()->edit("Cantidad_Items", QStringLiteral("16")));
        QCOMPARE(selector->Cantidad_Items(), 16);
    }

    void browserAndSheetGiveTheSameVerdictOnATypedValue()
    {
        struct Case {
            const char *caption, *member, *text;
        };
        const Case cases[] = {{"Min:", "Min", "5,000"}, {"Max:", "Max", "1e3"},     {"Paso:", "Paso", "-1"},
                              {"Paso:", "Paso", "1e3"}, {"Max:", "Max", "70000"},   {"Min:", "Min", "abc"},
                              {"Max:", "Max", "5000"},  {"Paso:", "Paso", "0.5"},   {"Min:", "Min", "10"}};
        for (const Case& c : cases) {
            qInfo() << c.member << c.text;
            bool bySheet = false, byBrowser = false;
            std::string bySheetValue, byBrowserValue;
            {
                DesignerWindow w;
                open(w, copy);
                PropertySheet* sheet = sheetFor(w, "PhaseCT(0)");
                retype(byCaption(sheet, QString::fromLatin1(c.caption)), QString::fromLatin1(c.text));
                bySheet = sheet->apply();
                bySheetValue = propText(*w.document()->control("PhaseCT(0)")->getProperty(c.member));
            }
            {
                DesignerWindow w;
                open(w, copy);
                w.select("PhaseCT(0)");
                byBrowser = w.browser()->edit(c.member, QString::fromLatin1(c.text));
                byBrowserValue = propText(*w.document()->control("PhaseCT(0)")->getProperty(c.member));
            }
            QCOMPARE(byBrowser, bySheet);
            QCOMPARE(byBrowserValue, bySheetValue);
        }
    }

    void highRowIsHiddenAfterAControlWhoseLengthIsNoItem()
    {
        Byte_UnR byte, word, odd;
        byte.setDataLen(0);
        word.setDataLen(1);
        odd.setDataLen(7);
        Bits bitsByte, bitsDouble;
        bitsByte.setDataLen(0);
        bitsDouble.setDataLen(2);  // no item of Rele's "Byte", "Word"
        struct Step {
            const char* page;
            PropertyHost* control;
            bool high;
        };
        const Step steps[] = {{"Word_1R", &byte, true}, {"Word_1R", &odd, false}, {"Word_1R", &byte, true},
                              {"Word_1R", &word, false}, {"Rele", &bitsByte, true}, {"Rele", &bitsDouble, false}};
        std::unique_ptr<PropertySheet> sheet;
        for (const Step& s : steps) {
            if (!sheet || sheet->page().def().name != s.page) {
                sheet = std::make_unique<PropertySheet>(*propertyPageDef(s.page));
                sheet->show();
            }
            sheet->setSelection({s.control});
            QCOMPARE(sheet->page().visible("High"), s.high);
            QCOMPARE(sheet->findChild<QLabel*>(QStringLiteral("LblHigh"))->isVisible(), s.high);
        }
    }

    void browserAndSheetShowWhatTheyHold()
    {
        DesignerWindow w;
        open(w, copy);
        w.select("Page1C(0)");
        QTreeWidget* tree = w.browser()->alphabetic();
        // Names in natural order; only values open an editor.
        QStringList names;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            names << tree->topLevelItem(i)->text(0);
        const int n1 = names.indexOf(QStringLiteral("Nombre1")), n2 = names.indexOf(QStringLiteral("Nombre2"));
        QCOMPARE(names.mid(n1, 16).last(), QStringLiteral("Nombre16"));
        QCOMPARE(n2, n1 + 1);
        const QModelIndex name = tree->model()->index(n1, 0), value = tree->model()->index(n1, 1);
        QWidget* nameEditor = tree->itemDelegate()->createEditor(tree->viewport(), {}, name);
        QWidget* valueEditor = tree->itemDelegate()->createEditor(tree->viewport(), {}, value);
        QVERIFY(!nameEditor);
        QVERIFY(valueEditor);
        delete valueEditor;
        // Colours by name or #RRGGBB, typed the same way.
        const auto colour = [&] { return tree->findItems(QStringLiteral("BackColor"), Qt::MatchExactly).first()->text(1); };
        QCOMPARE(colour(), QStringLiteral("Window Background"));
        QVERIFY(w.browser()->edit("BackColor", QStringLiteral("#FF8000")));
        QCOMPARE(static_cast<Bits*>(w.document()->control("Page1C(0)"))->BackColor(), 0x0080FFu);
        QCOMPARE(colour(), QStringLiteral("#FF8000"));
        QVERIFY(w.browser()->edit("BackColor", QStringLiteral("button face")));
        QCOMPARE(colour(), QStringLiteral("Button Face"));
        QVERIFY(!w.browser()->edit("BackColor", QStringLiteral("purple")));
        QCOMPARE(shown.last(), QStringLiteral("Invalid value for BackColor"));
        // Values are not cut: the value column takes the room left.
        QVERIFY(tree->columnWidth(1) >= tree->fontMetrics().horizontalAdvance(colour()));

        // The sheet's title field holds the title whole.
        PropertySheet* sheet = sheetFor(w, "PhaseCT(0)");
        QLineEdit* titulo = byCaption(sheet, QStringLiteral("Titulo:"));
        QVERIFY(titulo->width() > titulo->fontMetrics().horizontalAdvance(titulo->text()));

        // A closed dock comes back through View.
        auto* dock = w.findChild<QDockWidget*>(QStringLiteral("PropertiesDock"));
        dock->close();
        QVERIFY(!dock->isVisible());
        for (QAction* a : w.findChild<QMenu*>(QStringLiteral("menuView"))->actions())
            if (a->text() == QStringLiteral("Properties"))
                a->trigger();
        QVERIFY(dock->isVisible());
    }
};

QTEST_MAIN(tst_DesignerSafety)
#include "tst_DesignerSafety.moc"
