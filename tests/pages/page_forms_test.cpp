// Every built-in form: faults a data entry can make (a register outside the
// page's blocks, limits out of order, a default or misspelt key stored, two
// controls on one bit, empty texts), and the reader's fault reports.

#include "FakePageHost.h"
#include "editors/Calculadora.h"
#include "editors/PropConvert.h"
#include "pages/FormCheck.h"
#include "pages/FormLoader.h"
#include "pages/FormProof.h"
#include "pages/FormSettingsCheck.h"
#include "pages/SetpointPage.h"
#include "pages/support/FormVariants.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

using namespace kova;
using kova::test::FakePageHost;

namespace {

// Settings each kind of editor must hold, by property name.
struct EditorKeys {
    std::vector<std::string> steps, scales, changePoints, pictures;
};

const std::map<std::string, EditorKeys>& editorKeys()
{
    static const std::map<std::string, EditorKeys> keys = {
        {"Byte_UnR", {{"SmallChange"}, {"Paso"}, {}, {"Formato"}}},
        {"Word_DosR", {{"Inc_A", "Inc_B"}, {"Paso_A", "Paso_B"}, {"Cambio_de_paso"}, {"Formato"}}},
        {"Word_TresR",
         {{"Inc_A", "Inc_B", "Inc_C"}, {"Paso_A", "Paso_B", "Paso_C"}, {"Cambio_A", "Cambio_B"},
          {"FormatoA", "FormatoB", "FormatoC"}}},
    };
    return keys;
}

double number(const PropertyHost& h, const std::string& name)
{
    const auto v = h.getProperty(name);
    const auto d = v ? propToReal(*v) : std::nullopt;
    return d ? *d : -1e300;
}

struct Forms : ::testing::Test {
    FakePageHost host;
    // Calls f(name, form, page) for the forms of setpoint pages (value pages have forms of their own kind).
    template <class F>
    void eachSetpointPage(F f)
    {
        for (const std::string& name : pageFormNames()) {
            const auto form = loadPageForm(name);
            ASSERT_TRUE(form) << name;
            if (!form->isValuePage()) {
                SetpointPage page(*form, host);
                f(name, *form, page);
            }
        }
    }
};

// "" when every value the arrows reach from either limit reads back from its text and the step's, that text typed
// on the keypad enters it, and the arrows reach exactly the values the keypad takes; else the check that fails.
std::string everyStep(ValueEditorModel& e)
{
    const std::int64_t lo = e.lowLimit(), hi = e.highLimit();
    const auto number = [](const std::string& text) { return text.substr(0, text.find(' ')); };
    const auto scale = Decimal4::parse(number(e.exactTextFor(1)));
    const auto shows = [&](const std::string& text, std::int64_t v) {
        const auto n = Decimal4::parse(number(text));
        return n && n == scale->mulInt32(static_cast<std::int32_t>(v));
    };
    KeypadBlock block;
    std::string typed;  // none: the block is kept and the keypad cancelled
    bool taken = false;
    e.keypadRunner = [&] {
        Calculadora keypad(keypadBlock());
        block = typed.empty() ? keypadBlock() : block;
        for (char c : typed)
            c == '.' ? keypad.Command2_Click() : keypad.Numeros_Click(c - '0');
        if (!(taken = !typed.empty() && keypad.OK_Click() == Calculadora::OkResult::Accepted))
            keypad.Cancel_Click();
    };
    e.keypad();
    std::set<std::int64_t> keypadTakes;
    for (std::int64_t v = lo; v <= hi; ++v)
        if (v % Calculadora::stepAt(block, v) == 0)
            keypadTakes.insert(v);
    for (bool up : {true, false}) {
        std::set<std::int64_t> reached;
        for (std::int64_t v = up ? lo : hi; reached.insert(v).second; v = e.Value()) {
            const std::string text = e.textFor(static_cast<std::int32_t>(v));
            typed = number(text);
            if (!shows(text, v) || typed.find_first_not_of("0123456789.") != std::string::npos)
                return "shows";
            e.keypad();
            if (!taken || e.Value() != v)
                return "keypad";
            up ? e.arrowUp() : e.arrowDown();
            if (!shows(e.Text(), e.Value()))
                return "stepped";
        }
        if (reached != keypadTakes)
            return "reaches other values than the keypad takes";
    }
    return "";
}

} // namespace

TEST_F(Forms, EveryFormReadsAndIsWrittenAsAJsonToolWritesIt)
{
    const auto names = pageFormNames();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_TRUE(loadPageForm(name, &error)) << error;
        const std::string text = pageFormText(name);
        EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(text)).toJson().toStdString(), text);
    }
}

TEST_F(Forms, SettingsComeBackUnchangedThroughTheControls)
{
    eachSetpointPage([](const std::string& name, const PageForm& form, SetpointPage& page) {
        for (const auto& [instance, bag] : form.settings.bags()) {
            SCOPED_TRACE(name + " " + instance);
            PropertyHost* control = page.editor(instance);
            if (!control)
                control = page.selector(instance);
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(control->loadSettings(bag).empty());
            PropertyBag saved;
            control->saveSettings(saved);
            EXPECT_EQ(saved.entries(), bag.entries());
        }
    });
}

TEST_F(Forms, ControlsLieInTheBlocksThePageReadsWritesAndRestores)
{
    eachSetpointPage([](const std::string& name, const PageForm& form, SetpointPage&) {
        for (const FormProblem& p : formProblems(form))
            ADD_FAILURE() << name << ": " << p.text;
    });
}

TEST_F(Forms, LimitsStepsScalesItemsAndTextsAreUsable)
{
    eachSetpointPage([](const std::string& name, const PageForm& f, SetpointPage& page) {
        const PageForm* form = &f;
        EXPECT_FALSE(form->caption.empty()) << name;
        for (const auto& [label, text] : form->labels)
            EXPECT_FALSE(text.empty()) << name << " " << label;
        for (const auto& [array, spec] : form->boxes)
            for (const std::string& c : spec.captions)
                EXPECT_FALSE(c.empty()) << name << " " << array;
        for (const auto& [combo, items] : form->combos) {
            EXPECT_FALSE(items.empty()) << name << " " << combo;
            for (const std::string& i : items)
                EXPECT_FALSE(i.empty()) << name << " " << combo;
        }
        for (const auto& [instance, kind] : form->controls) {
            SCOPED_TRACE(name + " " + instance);
            if (ValueEditorModel* e = page.editor(instance)) {
                const EditorKeys& keys = editorKeys().at(kind);
                EXPECT_EQ(e->configProblem(true), "");
                EXPECT_LE(e->Min(), e->Max());
                for (const auto& s : keys.steps)
                    EXPECT_GE(number(*e, s), 1) << s;
                for (const auto& s : keys.scales)
                    EXPECT_GT(number(*e, s), 0) << s;
                double last = e->Min();
                for (const auto& c : keys.changePoints) {
                    EXPECT_GT(number(*e, c), last) << c;
                    last = number(*e, c);
                }
                EXPECT_LT(last, e->Max());
                const PropertyBag& bag = *form->settings.find(instance);
                std::vector<std::string> stored = {"Direccion", "Titulo", "Medida"};
                stored.insert(stored.end(), keys.pictures.begin(), keys.pictures.end());
                for (const auto& k : stored)
                    EXPECT_TRUE(bag.contains(k)) << k << " takes its default";
                EXPECT_NE(e->Titulo(), "");
            } else if (Bits* s = page.selector(instance)) {
                EXPECT_EQ(s->configProblem(), "");
                s->Crear_Items();
                EXPECT_EQ(s->ListCount(), s->Cantidad_Items());
                EXPECT_LE(s->ListCount(), 1 << (s->Tipo() + 1));
                for (const std::string& item : s->List())
                    EXPECT_TRUE(item != "" && item != "0") << "unnamed item";
            }
        }
    });
}

TEST_F(Forms, SystemSetupTexts)
{
    const auto form = loadPageForm("SETPAGE2");
    ASSERT_TRUE(form);
    SetpointPage page(*form, host);
    EXPECT_EQ(form->caption, "SETPOINTS - System Setup");
    EXPECT_EQ(form->frames.at(0).caption, "System Setup");
    EXPECT_EQ(form->labels.at("Label1(12)"), "Lockout (86) On Aux.2:");
    EXPECT_EQ(form->labels.at("Label1(11)"), "Out of Service On Aux. 3:");
    EXPECT_EQ(form->labels.at("Label1(20)"), "Openning Breaker Time:");
    EXPECT_EQ(page.editor("PhaseCT(9)")->Titulo(), "Opening Breaker Time:");
    EXPECT_EQ(page.editor("Page1W2(0)")->Titulo(), "VT Primary");
    EXPECT_EQ(page.editor("PhaseCT(5)")->Medida(), "");
    EXPECT_EQ(form->boxes.at("chkDiscrep").captions, (std::vector<std::string>{"Trip", "Aux 1", "Aux 2", "Aux 3"}));
    EXPECT_EQ(form->combos.at("Combo1"), (std::vector<std::string>{"Residual", "Zero Sequence"}));
    EXPECT_EQ(form->labels.size(), 20u);
}

TEST_F(Forms, ReaderNamesFormAndKeyOfAFault)
{
    using Edit = std::function<void(QJsonObject&)>;
    auto at = [](QJsonObject& o, const char* key, const Edit& e) {
        QJsonObject sub = o[key].toObject();
        e(sub);
        o[key] = sub;
    };
    auto protocol = [&](const Edit& e) { return [=](QJsonObject& o) { at(o, "protocol", e); }; };
    auto rule = [&](int i, const char* key, const QJsonValue& v) {
        return protocol([=](QJsonObject& p) {
            QJsonArray rules = p["rules"].toArray();
            QJsonObject r = rules[i].toObject();
            r[key] = v;
            rules[i] = r;
            p["rules"] = rules;
        });
    };
    struct Case {
        Edit edit;
        std::string fault;
    };
    const Case cases[] = {
        {[](QJsonObject& o) { o.remove("caption"); }, "SETPAGE2: caption: "},
        {[](QJsonObject& o) { o["colour"] = 1; }, "SETPAGE2: colour: unknown key"},
        {[](QJsonObject& o) { o["form"] = "SETPAGE3"; }, "SETPAGE2: form: "},
        {[&](QJsonObject& o) { at(o, "controls", [](QJsonObject& c) { c["PhaseCT(0)"] = "Byte_UnX"; }); },
         "SETPAGE2: controls.PhaseCT(0): unknown kind"},
        {[&](QJsonObject& o) { at(o, "controls", [](QJsonObject& c) { c["PhaseCT(11)"] = "Byte_UnR"; }); },
         "SETPAGE2: controls.PhaseCT(11): placed 0 times"},
        {[&](QJsonObject& o) { at(o, "labels", [](QJsonObject& c) { c.remove("Label1(0)"); }); },
         "SETPAGE2: frames[0].columns[0][0].label"},
        {[&](QJsonObject& o) { at(o, "settings", [](QJsonObject& c) { c["Page1C(9)"] = QJsonObject(); }); },
         "SETPAGE2: settings.Page1C(9): "},
        {[&](QJsonObject& o) {
             at(o, "boxes", [&](QJsonObject& b) {
                 at(b, "chkDiscrep", [](QJsonObject& c) { c["groups"] = QJsonArray{"12B", "012D", "012F"}; });
             });
         },
         "SETPAGE2: boxes.chkDiscrep.groups[0]: "},
        {protocol([](QJsonObject& p) { p["read"] = QJsonArray{60}; }), "SETPAGE2: protocol.read[0]: "},
        {protocol([](QJsonObject& p) { p["write"] = QJsonArray{27, 29}; }), "SETPAGE2: protocol.write[1]: "},
        {protocol([](QJsonObject& p) { p["restore"] = QJsonArray{1, "2"}; }), "SETPAGE2: protocol.restore[1]: "},
        {rule(0, "targets", QJsonArray{"Label1(99)"}), "SETPAGE2: protocol.rules[0].targets: "},
        {rule(1, "noItem", "maybe"), "SETPAGE2: protocol.rules[1].noItem: "},
        {protocol([&](QJsonObject& p) { at(p, "display", [](QJsonObject& d) { d["arrays"] = QJsonArray{"PhaseCX"}; }); }),
         "SETPAGE2: protocol.display.arrays[0]: "},
        {protocol([&](QJsonObject& p) {
             at(p, "display", [](QJsonObject& d) { d["boxes"] = QJsonArray{QJsonArray{"chkDiscrep", 3}}; });
         }),
         "SETPAGE2: protocol.display.boxes[0]: no such box group"},
    };
    const QJsonObject good = QJsonDocument::fromJson(QByteArray::fromStdString(pageFormText("SETPAGE2"))).object();
    for (const Case& c : cases) {
        QJsonObject o = good;
        c.edit(o);
        std::string error;
        EXPECT_FALSE(readPageForm(QJsonDocument(o).toJson().toStdString(), "SETPAGE2", &error));
        EXPECT_EQ(error.substr(0, c.fault.size()), c.fault) << error;
    }
    std::string error;
    EXPECT_FALSE(readPageForm("{\"form\": ", "SETPAGE2", &error));
    EXPECT_EQ(error.substr(0, 17), "SETPAGE2: (text):");
}

// An edited form in KOVA_FORMS_DIR that the designer would refuse, or whose page would show one setting and write
// another, or write one over another, is refused naming the file and the reason; a harmless edit is taken.
TEST(EditedForms, RefusedNamingFileAndReason)
{
    QTemporaryDir dir;
    for (const kova::test::FormVariant& v : kova::test::formVariants()) {
        QFile f(dir.filePath(QString::fromLatin1(v.form) + ".json"));
        const std::string text = v.edit.applied(pageFormText(v.form));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.c_str()) > 0);
        f.close();
        std::string error;
        qputenv("KOVA_FORMS_DIR", dir.path().toUtf8());
        EXPECT_EQ(loadPageForm(v.form, &error).has_value(), !v.refused) << v.form << " " << v.says;
        qunsetenv("KOVA_FORMS_DIR");
        EXPECT_EQ(error, v.refused ? f.fileName().toStdString() + ": " + v.says : "");
        f.remove();
    }
}

// Running the page of an edited form shows what it would write wrong, in the words of what was done and what came
// of it, whatever the rules say of the form first; the built-in forms show nothing.
TEST(EditedForms, RunningThePageShowsWhatItWouldWriteWrong)
{
    using namespace kova::test;
    const std::tuple<const char*, FormEdit, std::string> cases[] = {
        {"SETPAGE2", appendTo({"protocol", "selectorArrays"}, "Page1C"),
            "Page1C(2): item 3 writes bit 10 = 1, which reads back as item 2"},
        {"SETPAGE2", setAt({"boxes", "chkDiscrep", "groups", "1"}, "012B"),
            "clearing chkDiscrep(4) also clears chkDiscrep(0) (bit 0 of register 012B)"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(7)", "direccion"}, "0103"),
            "setting PhaseCT(1) to '5 A' also changes PhaseCT(7) from '100 V' to '5 V' (register 0103)"},
        {"SETPAGE2", setAt({"settings", "Page1C(1)", "bit2"}, 5),
            "choosing item 3 of Page1C(1) also changes Combo1 from item 2 to no item (bit 5 of register 0101)"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(8)", "formato"}, "###0"),
            "PhaseCT(8): 0.05 Sec shows '0 Sec'"},
        {"SETPAGE3", setAt({"settings", "Word_TresR1(1)", "formatob"}, "#0"),
            "Word_TresR1(1): 1.10 Sec shows '1 Sec'"},
        {"SETPAGE9", setAt({"settings", "Page9(1)", "bit1"}, 0),
            "choosing item 1 of Page9(0) also changes Page9(1) from item 2 to item 1 (bit 0 of register 012A)"},
        {"SETPAGE2", setAt({"settings", "PhaseCT(0)", "datalen"}, 2),
            "setting PhaseCT(0) to '5 A' also changes PhaseCT(1) from '100 A' to '5 A' (register 0103)"},
        {"SETPAGE3", setAt({"settings", "Page3C(0)", "direccion"}, "1000"),
            "ticking ChkPhTim(3) also changes Page3C(0) from item 8 to no item (bit 3 of register 1000)"},
        {"SETPAGE15", setAt({"settings", "Page15W2(0)", "formato"}, "##0"),
            "Page15W2(0): 0.10 Sec shows '0 Sec'"},
        {"SETPAGE3", setAt({"settings", "Byte_UnR1(1)", "formato"}, "#0"),
            "Byte_UnR1(1): 0.1 shows '0 '"},
        {"SETPAGE4", setAt({"settings", "Page1C(0)", "bit4"}, 0),
            "Page1C(0): item 2 writes bits 0, 1, 2 and 0 = 9, which reads back as item 10"},
    };
    for (const auto& [name, edit, says] : cases) {
        const auto form = readPageForm(edit.applied(pageFormText(name)), name);
        ASSERT_TRUE(form) << says;
        std::vector<std::string> texts;
        for (const FormProblem& p : runningProblems(*form))
            texts.push_back(p.text);
        EXPECT_NE(std::find(texts.begin(), texts.end(), says), texts.end()) << testing::PrintToString(texts);
    }
    keypadBlock().Calc_Titulo = "Slave Address:";  // the program's own block, which the proofs type through
    for (const std::string& name : pageFormNames()) {
        if (const auto form = readPageForm(pageFormText(name), name); form && !form->isValuePage()) {
            EXPECT_TRUE(runningProblems(*form).empty()) << name;
        }
    }
    EXPECT_EQ(keypadBlock().Calc_Titulo, "Slave Address:");
}

// On edited editors the proof, which judges by arithmetic per range, refuses those whose walk of every step fails.
TEST(EditedForms, EditorVerdictsAgreeWithAWalkOfEveryStep)
{
    using kova::test::setAt;
    std::mt19937 random(2026);
    const char* forms[] = {"SETPAGE2", "SETPAGE3", "SETPAGE15", "SETPAGE16"};
    const std::vector<std::string> keys = {"smallchange", "inc_a", "inc_b", "inc_c", "min", "max", "paso", "paso_a",
        "paso_b", "formato", "formatoa", "formatob", "cambio_de_paso", "cambio_a", "cambio_b"};
    const std::vector<QJsonValue> steps = {1, 2, 5, 10, 25, 50, 100}, scales = {0.01, 0.05, 0.1, 2, 7, 0.03},
                                  patterns = {"#0", "#0.0", "#0.#0", "##0.0#"}, moves = {-50, -5, 5, 50, 500};
    const auto any = [&](const auto& list) { return list[random() % std::size(list)]; };
    const KeptKeypadBlock kept;
    int tried = 0, refused = 0;
    for (int n = 0; n < 500; ++n) {
        const char* name = any(forms);
        const auto original = readPageForm(pageFormText(name), name);
        const auto& [editor, kind] = *std::next(original->controls.begin(), random() % original->controls.size());
        if (kind == "Bits" || kind == "ComboBox")
            continue;
        const std::string key = any(keys);
        const double was = propNumber(original->settings.find(editor)->read(key, std::int64_t{0})).value_or(0);
        const QJsonValue value = key.starts_with("inc") || key == "smallchange" ? any(steps)
                                 : key.starts_with("paso")                      ? any(scales)
                                 : key.starts_with("formato")                   ? any(patterns)
                                 : QJsonValue(static_cast<qint64>(std::max(0.0, was + any(moves).toDouble())));
        const auto form = readPageForm(setAt({"settings", editor, key}, value).applied(pageFormText(name)), name);
        if (!form || !settingProblems(*form).empty())
            continue;  // a key of another class, a limit out of the width
        FakePageHost host;
        SetpointPage page(*form, host);
        page.Form_Load();
        const std::string fault = everyStep(*page.editor(editor));
        const bool proofRefuses = std::ranges::any_of(runningProblems(*form),
                                                      [&](const FormProblem& p) { return p.control == editor; });
        EXPECT_EQ(proofRefuses, !fault.empty()) << name << " " << editor << " " << key << " "
                                                << value.toVariant().toString().toStdString() << ": " << fault;
        ++tried;
        refused += proofRefuses;
    }
    EXPECT_GT(tried, 150);
    EXPECT_GT(std::min(refused, tried - refused), tried / 5);  // both verdicts met often
}
