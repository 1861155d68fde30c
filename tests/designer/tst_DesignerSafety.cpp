// The settings designer keeps a form from making a page write the wrong register, and edits from being lost.

#include "DesignerWindow.h"
#include "PropertyBrowser.h"
#include "PropertyPageWidget.h"
#include "PropertySheet.h"
#include "editors/Bits.h"
#include "editors/Byte_UnR.h"
#include "editors/PropertyPageDef.h"

#include <QAction>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <span>

using namespace kova;

class tst_DesignerSafety : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString copy;
    QStringList shown, asked;  // every warning and every question

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString builtIn(const char* form)
    {
        return qEnvironmentVariable("KOVA_SOURCE_DIR") + "/pages/forms/" + form + ".json";
    }
    // Sets (an undefined value removes) key of a control's stored settings, as a hand edit would.
    void setStored(const QString& control, const QString& key, const QJsonValue& value)
    {
        QJsonObject form = QJsonDocument::fromJson(readAll(copy)).object();
        QJsonObject settings = form["settings"].toObject(), bag = settings[control].toObject();
        value.isUndefined() ? void(bag.remove(key)) : void(bag[key] = value);
        settings[control] = bag;
        form["settings"] = settings;
        QFile f(copy);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QJsonDocument(form).toJson(QJsonDocument::Indented));
    }
    void open(DesignerWindow& w)
    {
        w.warn = w.browser()->warn = [this](const QString& t) { shown << t; };
        w.browser()->ask = [this](const QString& t) { return asked << t, false; };
        QVERIFY(w.openForm(copy));
        w.resize(1800, 1100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    PropertySheet* sheetFor(DesignerWindow& w, const char* control, bool add = false)
    {
        w.select(control, add);
        PropertySheet* sheet = w.openPropertyPages();
        sheet->ask = [this](const QString& t) { return asked << t, true; };
        return sheet;
    }
    static QLineEdit* field(PropertySheet* sheet, const char* property)
    {
        return qobject_cast<QLineEdit*>(sheet->pageWidget()->field(property));
    }
    static void retype(QLineEdit* field, const QString& text) { field->selectAll(), QTest::keyClicks(field, text); }
    static std::string value(DesignerWindow& w, const char* control, const char* member)
    {
        return propText(*w.document()->control(control)->getProperty(member));
    }
    static bool saysAll(const QString& text, const QStringList& parts)
    {
        return std::all_of(parts.begin(), parts.end(), [&](const QString& s) { return text.contains(s); });
    }

private slots:
    void init()
    {
        copy = dir.filePath("SETPAGE2.json");  // a writable copy of a built-in form
        QFile::remove(copy);
        QVERIFY(QFile::copy(builtIn("SETPAGE2"), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        shown.clear();
        asked.clear();
    }

    void formsThatWriteTheWrongRegisterAreRefusedInApplyAndSave()
    {
        const QString notApplied = "Not applied:\n";
        const std::tuple<const char*, QString, QStringList, QString> variants[] = {
            {"PhaseCT(7)", "0103", {"PhaseCT(7) and PhaseCT(1) share bit", "of register 0103"}, notApplied},
            {"PhaseCT(2)", "1005",
             {"PhaseCT(2): register 1005 lies in block 3, which the page does not read, write or restore"}, notApplied},
            {"PhaseCT(4)", "0110",
             {"chkDiscrep: nothing on the page is bound to register 012C, just after the relay group register 012B"},
             notApplied},
            // Outside every block: the control's own check refuses it before the form's.
            {"PhaseCT(2)", "0600", {"\"0600\" is in no setpoint block"}, "Invalid value for Direccion: "}};
        for (const auto& [control, direccion, says, starts] : variants) {
            qInfo() << control << direccion;
            init();
            DesignerWindow w;
            open(w);
            const std::string before = value(w, control, "Direccion");
            w.select("Combo1");  // a plain combo also selected: the control applied to is checked
            PropertySheet* sheet = sheetFor(w, control, true);
            retype(field(sheet, "Direccion"), direccion);
            QTest::mouseClick(sheet->applyButton(), Qt::LeftButton);
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].startsWith(starts) && saysAll(shown[0], says), qPrintable(shown[0]));
            QVERIFY(sheet->applyButton()->isEnabled());
            QVERIFY(!w.browser()->edit("Direccion", direccion));  // the dock
            QCOMPARE(shown.size(), 2);
            QVERIFY2(saysAll(shown[1], says), qPrintable(shown[1]));
            QVERIFY(asked.isEmpty() && !w.isWindowModified());  // refused without a question
            QCOMPARE(value(w, control, "Direccion"), before);
        }
        // Save: the same edits made by hand are not written back, nor an unrelated edit with them; all are listed.
        for (const auto group : {std::span(variants).first(3), std::span(variants).last(1)}) {
            init();
            QStringList says;
            for (const auto& [control, direccion, parts, starts] : group)
                setStored(control, "direccion", direccion), says << parts;
            const QByteArray edited = readAll(copy);
            DesignerWindow w;
            open(w);
            QVERIFY(shown.isEmpty());
            w.select("PhaseCT(0)");
            QVERIFY(w.browser()->edit("Medida", "Amp"));
            QVERIFY(!w.saveForm());
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].startsWith("SETPAGE2.json was not saved:\n") && saysAll(shown[0], says),
                     qPrintable(shown[0]));
            QVERIFY(readAll(copy) == edited && w.isWindowModified());
        }
    }

    void settingsTheSheetWouldRefuseAreNotSaved()
    {
        const QByteArray original = readAll(copy);
        DesignerWindow w;
        open(w);
        // Set past the sheet's checks, as a hand edit would be.
        QVERIFY(w.document()->control("PhaseCT(0)")->setProperty("Min", std::int64_t{6000}));
        QVERIFY(!w.saveForm());
        QCOMPARE(shown.last(),
                 "SETPAGE2.json was not saved:\nPhaseCT(0): Min is above Max or outside the register width");
        QCOMPARE(readAll(copy), original);
    }

    void damagedFormIsListedOnOpenAndNotSavedUntilMended()
    {
        setStored("PhaseCT(0)", "min", "5O");
        setStored("PhaseCT(3)", "colour", 3);
        const QString unread = "PhaseCT(0): \"min\": \"5O\" could not be read";
        const QString unknown = "PhaseCT(3): \"colour\": 3 is not one of its settings";
        {
            DesignerWindow w;
            open(w);
            QCOMPARE(shown.size(), 1);  // one message, naming file, control, key and value of both
            QVERIFY(shown[0].startsWith("SETPAGE2.json: ") && saysAll(shown[0], {unread, unknown}));
            // The dock and the sheet show the stored text, so applying it is refused.
            PropertySheet* sheet = sheetFor(w, "PhaseCT(0)");
            QCOMPARE(w.browser()->alphabetic()->findItems("Min", Qt::MatchExactly).first()->text(1), "5O");
            QCOMPARE(field(sheet, "Min")->text(), "5O");
            QVERIFY(!sheet->apply());
            QCOMPARE(shown.last(), "Invalid value for Min");
            const QByteArray stored = readAll(copy);
            QVERIFY(!w.saveForm());
            QVERIFY(saysAll(shown.last(), {unread, unknown}));
            // Min mended in the dock: the unknown key still keeps the form from being saved.
            QVERIFY(w.browser()->edit("Min", "5"));
            QCOMPARE(field(sheet, "Min")->text(), "5");
            QVERIFY(!w.saveForm());
            QVERIFY(!shown.last().contains(unread) && shown.last().contains(unknown));
            QCOMPARE(readAll(copy), stored);
        }
        // The unknown key removed by hand: the form opens with only Min to mend, here in the sheet.
        setStored("PhaseCT(3)", "colour", QJsonValue::Undefined);
        shown.clear();
        DesignerWindow w;
        open(w);
        QVERIFY(shown.size() == 1 && shown[0].contains(unread) && !shown[0].contains(unknown));
        PropertySheet* sheet = sheetFor(w, "PhaseCT(0)");
        retype(field(sheet, "Min"), "5");
        QVERIFY(sheet->apply() && w.saveForm());
        QVERIFY(readAll(copy).contains("\"min\": 5,") && !readAll(copy).contains("colour"));
    }

    void unsavedEditsAreNotDroppedWithoutAQuestion()
    {
        const QString other = builtIn("SETPAGE3");
        using B = QMessageBox;
        const std::pair<std::string_view, B::StandardButton> cases[] = {
            {"quit", B::Cancel}, {"close", B::Cancel}, {"open", B::Cancel}, {"quit", B::Discard}, {"close", B::Discard},
            {"open", B::Discard}, {"quit", B::Save}, {"close", B::Save}, {"open", B::Save}};
        for (const auto& [how, answer] : cases) {
            qInfo() << how.data() << answer;
            init();
            DesignerWindow w;
            open(w);
            w.askSave = [this, answer = answer](const QString& q) { return asked << q, answer; };
            w.chooseFile = [&] { return other; };
            const auto trigger = [&w, how = how] {
                const char* action = how == "quit" ? "actionQuit" : "actionOpen";
                how == "close" ? void(w.close()) : w.findChild<QAction*>(action)->trigger();
            };
            if (how == "open") {  // nothing edited: no question
                trigger();
                QVERIFY(asked.isEmpty());
                QCOMPARE(w.document()->path(), other);
                QVERIFY(w.openForm(copy));
            }
            w.select("PhaseCT(0)");
            QVERIFY(w.browser()->edit("Medida", "XYZ"));
            QVERIFY(w.isWindowModified());
            trigger();
            QCOMPARE(asked, QStringList{"Save changes to SETPAGE2.json?"});
            const bool kept = answer == B::Cancel;
            QCOMPARE(w.isVisible(), kept || how == "open");
            QCOMPARE(w.document()->path(), kept || how != "open" ? copy : other);
            QCOMPARE(readAll(copy).contains("\"medida\": \"XYZ\""), answer == B::Save);
            if (kept)
                QVERIFY(w.isWindowModified() && value(w, "PhaseCT(0)", "Medida") == "XYZ");
        }
    }

    void sheetKeepsWhatTheDockSetAndFollowsTheSelection()
    {
        DesignerWindow w;
        open(w);
        PropertySheet* sheet = sheetFor(w, "PhaseCT(0)");
        retype(field(sheet, "Titulo"), "Primary:");
        QVERIFY(w.browser()->edit("Medida", "XYZ"));
        QCOMPARE(field(sheet, "Medida")->text(), "XYZ");
        QCOMPARE(field(sheet, "Titulo")->text(), "Primary:");
        // OK with the Medida field untouched keeps the dock's value, and the sheet's own edit.
        QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QVERIFY(value(w, "PhaseCT(0)", "Medida") == "XYZ" && value(w, "PhaseCT(0)", "Titulo") == "Primary:");
        // Another class shows its own page, which applies; Enter presses OK.
        QCOMPARE(sheetFor(w, "PhaseCT(1)")->tabs()->tabText(0), "Word_1R");
        w.select("Page1W2(0)");
        sheet = w.sheet();
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->tabs()->tabText(0), "Word_2R");
        QCOMPARE(field(sheet, "Direccion")->text(), "0105");
        QVERIFY(sheet->apply() && shown.isEmpty());
        retype(field(sheet, "Medida"), "kV");
        QTest::keyClick(field(sheet, "Medida"), Qt::Key_Return);
        QVERIFY(!sheet->isVisible());
        QCOMPARE(value(w, "Page1W2(0)", "Medida"), "kV");
    }

    void dockAndSheetGiveTheSameVerdictOnATypedValue()
    {
        const char* cases[][2] = {{"Min", "5,000"}, {"Max", "1e3"},  {"Paso", "-1"},  {"Paso", "1e3"}, {"Max", "70000"},
                                  {"Min", "abc"},   {"Max", "5000"}, {"Paso", "0.5"}, {"Min", "10"}};
        for (const auto& [member, text] : cases) {
            qInfo() << member << text;
            DesignerWindow bySheet, byDock;
            open(bySheet);
            PropertySheet* sheet = sheetFor(bySheet, "PhaseCT(0)");
            retype(field(sheet, member), text);
            const bool sheetTook = sheet->apply();
            open(byDock);
            byDock.select("PhaseCT(0)");
            QCOMPARE(byDock.browser()->edit(member, text), sheetTook);
            QCOMPARE(value(byDock, "PhaseCT(0)", member), value(bySheet, "PhaseCT(0)", member));
        }
        // A count past what the page holds is asked in the dock as in the sheet; declined, nothing changes.
        DesignerWindow w;
        open(w);
        w.select("Page1C(0)");
        const std::string before = value(w, "Page1C(0)", "Cantidad_Items");
        QVERIFY(!w.browser()->edit("Cantidad_Items", "16"));
        QVERIFY(asked.size() == 1 && asked[0].contains("Cantidad_Items 16 is more than the"));
        QCOMPARE(value(w, "Page1C(0)", "Cantidad_Items"), before);
        w.browser()->ask = [](const QString&) { return true; };
        QVERIFY(w.browser()->edit("Cantidad_Items", "16"));
        QCOMPARE(value(w, "Page1C(0)", "Cantidad_Items"), "16");
    }

    void highRowIsHiddenAfterAControlWhoseLengthIsNoItem()
    {
        Byte_UnR byte, word, odd;
        Bits bitsByte, bitsDouble;  // 2 is no item of Rele's "Byte", "Word"
        byte.setDataLen(0), word.setDataLen(1), odd.setDataLen(7), bitsByte.setDataLen(0), bitsDouble.setDataLen(2);
        const std::tuple<const char*, PropertyHost*, bool> steps[] = {
            {"Word_1R", &byte, true},  {"Word_1R", &odd, false},  {"Word_1R", &byte, true},
            {"Word_1R", &word, false}, {"Rele", &bitsByte, true}, {"Rele", &bitsDouble, false}};
        std::unique_ptr<PropertySheet> sheet;
        for (const auto& [page, control, high] : steps) {
            if (!sheet || sheet->page().def().name != page) {
                sheet = std::make_unique<PropertySheet>(*propertyPageDef(page));
                sheet->show();
            }
            sheet->setSelection({control});
            QCOMPARE(sheet->page().visible("High"), high);
            QCOMPARE(sheet->findChild<QLabel*>("LblHigh")->isVisible(), high);
        }
    }
};

QTEST_MAIN(tst_DesignerSafety)
#include "tst_DesignerSafety.moc"
