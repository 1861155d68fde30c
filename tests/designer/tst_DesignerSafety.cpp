// The settings designer keeps a form from making a page write the wrong register, and edits from being lost.

#include "DesignerWindow.h"
#include "PropertyBrowser.h"
#include "PropertyPageWidget.h"
#include "PropertySheet.h"
#include "editors/Byte_UnR.h"
#include "editors/PropertyPageDef.h"
#include "pages/PageForm.h"
#include "pages/support/FormVariants.h"

#include <QAction>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;

class tst_DesignerSafety : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString copy;
    QStringList shown, asked;  // every warning and every question

    QByteArray stored() const
    {
        QFile f(copy);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void setText(const QByteArray& text)
    {
        QFile f(copy);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size());
    }
    void setStored(const QString& control, const QString& key, const QJsonValue& value)  // undefined removes it
    {
        QJsonObject form = QJsonDocument::fromJson(stored()).object();
        QJsonObject settings = form["settings"].toObject(), bag = settings[control].toObject();
        if (value.isUndefined())
            bag.remove(key);
        else
            bag[key] = value;
        settings[control] = bag;
        form["settings"] = settings;
        QFile f(copy);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(QJsonDocument(form).toJson()) > 0);
    }
    void open(DesignerWindow& w, const char* select = "PhaseCT(0)")
    {
        w.warn = w.browser()->warn = [this](const QString& t) { shown << t; };
        w.browser()->ask = [this](const QString& t) {
            asked << t;
            return false;
        };
        QVERIFY(w.openForm(copy));
        w.resize(1800, 1100);
        w.show();
        w.select(select);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.openPropertyPages()->ask = [this](const QString& t) {  // the sheet's, on the control
            asked << t;
            return true;
        };
    }
    static std::string value(DesignerWindow& w, const char* member, const char* control = "PhaseCT(0)")
    {
        return propText(*w.document()->control(control)->getProperty(member));
    }
    static bool saysAll(const QString& t, const QStringList& parts)
    {
        return std::ranges::all_of(parts, [&](auto& s) { return t.contains(s); });
    }

private slots:
    void init()
    {
        copy = dir.filePath("SETPAGE2.json");  // a writable copy of a built-in form
        shown.clear();
        asked.clear();
        QFile::remove(copy);
        QVERIFY(QFile::copy(qEnvironmentVariable("KOVA_SOURCE_DIR") + "/pages/forms/SETPAGE2.json", copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    }

    void wrongRegistersAndNumbersAreRefusedInApplyAndSave()  // a register taken twice or in a block the page skips
    {
        const std::tuple<const char*, const char*, QString, QStringList> cases[]
            = {{"PhaseCT(7)", "Direccion", "0103",
                   {"Not applied:\n", "PhaseCT(7) and PhaseCT(1) share bit", "of register 0103"}},
                {"PhaseCT(2)", "Direccion", "1005",
                    {"Not applied:\n",
                        "PhaseCT(2): register 1005 lies in block 3, which the page does not read, write or restore"}},
                {"PhaseCT(4)", "Direccion", "0110",
                    {"Not applied:\n",
                        "chkDiscrep: nothing on the page is bound to register 012C, just after the relay group "
                        "register 012B"}},
                {"PhaseCT(0)", "Min", "5,000", {"Invalid value for Min"}},
                {"PhaseCT(0)", "Paso", "-1", {"Invalid value for Paso"}},
                {"PhaseCT(0)", "Paso", "0.00001", {"Invalid value for Paso: 0.00001 has more than four decimals"}},
                {"PhaseCT(0)", "Max", "5", {"Invalid value for Max: 5 is not above Min"}},
                {"PhaseCT(0)", "Direccion", "00104",
                    {"Invalid value for Direccion: \"00104\" is not a register address, which is four hexadecimal "
                     "digits such as \"0101\""}},
                {"PhaseCT(0)", "Paso", "0.5", {"Not applied:\n", "PhaseCT(0): 2.5 A shows '3 A'"}},
                {"PhaseCT(8)", "Paso", "0.05", {}}};
        for (const auto& [control, member, text, says] : cases) {
            init();
            DesignerWindow bySheet, byDock;
            open(bySheet, control);
            open(byDock, control);
            PropertySheet* sheet = bySheet.sheet();
            QWidget* field = sheet->pageWidget()->field(member);
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, text);
            QTest::mouseClick(sheet->applyButton(), Qt::LeftButton);
            QVERIFY2(says.isEmpty() ? shown.isEmpty()
                                    : shown.size() == 1 && shown[0].startsWith(says[0]) && saysAll(shown[0], says),
                qPrintable(shown.join('|')));
            QVERIFY(asked.isEmpty() && (says.isEmpty() || sheet->applyButton()->isEnabled())
                && bySheet.isWindowModified() == says.isEmpty());
            QCOMPARE(value(bySheet, member, control) == value(byDock, member, control),
                !says.isEmpty());  // byDock: as stored
            QCOMPARE(byDock.browser()->edit(member, text.toUtf8().constData()), says.isEmpty());
            QCOMPARE(value(byDock, member, control), value(bySheet, member, control));
            QCOMPARE(shown.size(), says.isEmpty() ? 0 : 2);  // the dock says what the sheet says
            QCOMPARE(shown.value(1), shown.value(0));
        }
        QStringList all;  // the same register edits made by hand are not saved, nor an unrelated edit with them
        for (const auto& [control, member, text, says] : cases)
            if (says.value(0) == "Not applied:\n" && std::string_view(member) == "Direccion")
                setStored(control, "direccion", text), all << says.mid(1);
        const QByteArray edited = stored();
        DesignerWindow w;
        open(w);
        QVERIFY(shown.isEmpty() && w.browser()->edit("Medida", "Amp") && !w.saveForm());
        QVERIFY2(shown.size() == 1 && shown[0].startsWith("SETPAGE2.json was not saved:\n") && saysAll(shown[0], all),
            qPrintable(shown.join('|')));
        QVERIFY(stored() == edited && w.isWindowModified());
    }

    // The edited forms the program refuses for their consistency are refused by Save, and a stored setting among
    // them by Apply in the sheet and in the dock, in the same words; harmless edits are saved and applied.
    // (Settings faults, which the designer names in words of its own, are tested above and below.)
    void editedFormsAreRefusedInApplyAndSaveAsTheProgramRefusesThem()
    {
        for (const kova::test::FormVariant& v : kova::test::formVariants()) {
            if (!QByteArray(v.form).startsWith("SETPAGE") || (v.refused && v.says.starts_with("settings.")))
                continue;
            const std::string original = pageFormText(v.form);
            const QByteArray edited = QByteArray::fromStdString(v.edit.applied(original));
            const QJsonObject settings = QJsonDocument::fromJson(edited).object()["settings"].toObject();
            const std::string control = v.edit.isSetting() ? v.edit.path[1] : settings.keys().first().toStdString();
            copy = dir.filePath(QString(v.form) + ".json");
            shown.clear();
            setText(edited);
            DesignerWindow w;
            open(w, control.c_str());
            QCOMPARE(w.saveForm(), !v.refused);
            QVERIFY2(v.refused ? shown.size() == 1 && shown[0].startsWith(QString(v.form) + ".json was not saved:\n")
                        && shown[0].contains(QString::fromStdString(v.says))
                               : shown.isEmpty(),
                qPrintable(shown.join('|')));
            QCOMPARE(stored(), edited);
            if (!v.edit.isSetting())
                continue;
            setText(QByteArray::fromStdString(original));  // the same edit made in the sheet and in the dock
            shown.clear();
            DesignerWindow bySheet, byDock;
            open(bySheet, control.c_str());
            open(byDock, control.c_str());
            const char* member = nullptr;
            for (const PropertyHost::Setting& s : bySheet.document()->control(control)->settings())
                if (PropertyBag::lowerKey(s.key) == v.edit.path[2])
                    member = s.member;
            PropertySheet* sheet = bySheet.sheet();
            if (!member || !sheet->page().def().field(member))
                continue;  // no field for it on the page
            const QJsonValue& set = v.edit.value;
            const QString text = set.isString() ? set.toString() : QString::number(set.toDouble(), 'g', 15);
            const std::string before = value(bySheet, member, control.c_str());
            QWidget* field = sheet->pageWidget()->field(member);
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, text);
            QTest::mouseClick(sheet->applyButton(), Qt::LeftButton);
            QCOMPARE(byDock.browser()->edit(member, text), !v.refused);
            QVERIFY2(v.refused ? shown.size() == 2 && shown[0] == shown[1] && shown[0].startsWith("Not applied:\n")
                        && shown[0].contains(QString::fromStdString(v.says))
                               : shown.isEmpty(),
                qPrintable(shown.join('|')));
            for (DesignerWindow* w : {&bySheet, &byDock})
                QCOMPARE(value(*w, member, control.c_str()) == before, v.refused);
        }
    }

    void damagedFormIsListedOnOpenAndNotSavedUntilMended()
    {
        setStored("PhaseCT(0)", "min", "5O");
        setStored("PhaseCT(3)", "colour", 3);
        const QString unread = "PhaseCT(0): \"min\": \"5O\" could not be read",
                      unknown = "PhaseCT(3): \"colour\": 3 is not one of its settings";
        DesignerWindow first;
        open(first);
        const QByteArray before = stored();  // one message, naming file, control, key and value of both
        QVERIFY(shown.size() == 1 && shown[0].startsWith("SETPAGE2.json: ") && saysAll(shown[0], {unread, unknown}));
        QVERIFY(!first.saveForm() && saysAll(shown.last(), {unread, unknown}));
        QVERIFY(first.browser()->edit("Min", "5") && !first.saveForm());  // Min mended: the key still refuses
        QVERIFY(!shown.last().contains(unread) && shown.last().contains(unknown) && stored() == before);
        setStored("PhaseCT(3)", "colour", QJsonValue::Undefined);  // removed by hand: Min is left
        shown.clear();
        DesignerWindow w;
        open(w);
        QVERIFY(shown.size() == 1 && shown[0].contains(unread) && !shown[0].contains(unknown));
        QVERIFY(w.browser()->edit("Min", "5") && w.saveForm());
        QVERIFY(stored().contains("\"min\": 5,") && !stored().contains("colour"));
        // A stored number refused says why, and as the file has it; the default in its place is not judged.
        setStored("PhaseCT(1)", "paso", 0.00001);
        setStored("PhaseCT(2)", "min", -1);
        setStored("PhaseCT(8)", "paso", 0.00012);  // not rounded to 0.0001 either
        shown.clear();
        DesignerWindow numbers;
        open(numbers);
        const QStringList why{"PhaseCT(1): \"paso\": 0.00001 has more than four decimals",
            "PhaseCT(2): \"min\": -1 is negative", "PhaseCT(8): \"paso\": 0.00012 has more than four decimals"};
        QVERIFY(!numbers.saveForm() && shown.size() == 2 && saysAll(shown[0], why) && saysAll(shown[1], why));
        QVERIFY2(!shown[1].contains("Paso is 0"), qPrintable(shown[1]));
    }

    void unsavedEditsAreNotDroppedWithoutAQuestion()  // nor by the open sheet's OK after a dock edit
    {
        const QString other = qEnvironmentVariable("KOVA_SOURCE_DIR") + "/pages/forms/SETPAGE3.json";
        using B = QMessageBox;
        const std::pair<std::string_view, B::StandardButton> cases[] = {
            {"quit", B::Cancel}, {"close", B::Cancel}, {"open", B::Cancel}, {"close", B::Save}, {"open", B::Discard}};
        for (const auto& [how, answer] : cases) {
            init();
            DesignerWindow w;
            open(w);
            w.askSave = [this, answer = answer](const QString& q) {
                asked << q;
                return answer;
            };
            w.chooseFile = [&] { return other; };
            QVERIFY(w.browser()->edit("Medida", "XYZ") && w.isWindowModified());
            QTest::mouseClick(w.sheet()->okButton(), Qt::LeftButton);
            QVERIFY(!w.sheet()->isVisible() && value(w, "Medida") == "XYZ");
            how == "close" ? void(w.close())
                           : w.findChild<QAction*>(how == "quit" ? "actionQuit" : "actionOpen")->trigger();
            QCOMPARE(asked, QStringList{"Save changes to SETPAGE2.json?"});
            const bool kept = answer == B::Cancel;
            QCOMPARE(w.isVisible(), kept || how == "open");
            QCOMPARE(w.document()->path(), kept || how != "open" ? copy : other);
            QCOMPARE(stored().contains("\"medida\": \"XYZ\""), answer == B::Save);
            QVERIFY(!kept || (w.isWindowModified() && value(w, "Medida") == "XYZ"));
        }
    }

    void highRowIsHiddenAfterAControlWhoseLengthIsNoItem()
    {
        Byte_UnR byte, odd;
        byte.setDataLen(0);
        odd.setDataLen(7);
        PropertySheet sheet(*propertyPageDef("Word_1R"));
        sheet.show();
        for (const auto& [control, high] : {std::pair{&byte, true}, {&odd, false}, {&byte, true}}) {
            sheet.setSelection({control});
            QVERIFY(sheet.page().visible("High") == high && sheet.findChild<QWidget*>("LblHigh")->isVisible() == high);
        }
    }
};

QTEST_MAIN(tst_DesignerSafety)
#include "tst_DesignerSafety.moc"
