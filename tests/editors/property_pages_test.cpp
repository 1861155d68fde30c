// The design-time property pages over a recording control and over the
// editor classes: read and write orders, the field handlers, all-or-nothing
// apply and its refusals, and the design-time metadata.

#include "editors/Bits.h"
#include "editors/Byte_UnR.h"
#include "editors/DesignMetadata.h"
#include "editors/PropConvert.h"
#include "editors/PropertyPage.h"
#include "editors/Word_TresR.h"
#include "text/LocaleGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <memory>
#include <sstream>

using namespace kova;

namespace {

// A control with every property the pages name, recording each get and set.
class Recorder : public PropertyHost {
public:
    explicit Recorder(std::vector<std::string>* log) : log_(log)
    {
        for (const auto& [n, v] : std::initializer_list<std::pair<const char*, PropValue>>{
                 {"DataLen", std::int64_t{1}}, {"High", std::int64_t{0}}, {"Tipo", std::int64_t{1}},
                 {"Direccion", std::string("0102")}, {"Cantidad_Items", std::int64_t{2}}})
            values_[n] = v;
        for (const char* n : {"Titulo", "Direccion", "DataLen", "High", "Min", "Max", "SmallChange", "Paso", "Formato",
                              "Medida", "Cambio_de_paso", "Inc_A", "Inc_B", "Inc_C", "Paso_A", "Paso_B", "Paso_C",
                              "Cambio_A", "Cambio_B", "FormatoA", "FormatoB", "FormatoC", "Tipo", "Cantidad_Items",
                              "Bit1", "Bit2", "Bit3", "Bit4"})
            add(n);
        for (int k = 1; k <= 16; ++k)
            add("Nombre" + std::to_string(k));
    }
    const std::vector<Setting>& settings() const override { return table_; }
    std::map<std::string, PropValue> values_;

private:
    void add(const std::string& n)
    {
        names_.push_back(std::make_unique<std::string>(n));
        const char* name = names_.back()->c_str();
        if (!values_.count(n))
            values_[n] = std::string("1");
        Setting row;
        row.key = row.member = name;
        row.get = [name](const PropertyHost& h) {
            auto& r = static_cast<const Recorder&>(h);
            if (r.log_)
                r.log_->push_back(name);
            return r.values_.at(name);
        };
        row.set = [name](PropertyHost& h, const PropValue& v) {
            auto& r = static_cast<Recorder&>(h);
            if (std::string(name) == "Min" && !propToInt32(v))
                return false;
            if (r.log_)
                r.log_->push_back(name);
            r.values_[name] = v;
            return true;
        };
        table_.push_back(std::move(row));
    }
    std::vector<std::string>* log_;
    std::vector<std::unique_ptr<std::string>> names_;
    std::vector<Setting> table_;
};

std::unique_ptr<PropertyHost> recorderCopy(const PropertyHost& c)
{
    auto copy = std::make_unique<Recorder>(nullptr);
    copy->values_ = static_cast<const Recorder&>(c).values_;
    return copy;
}

std::vector<std::string> words(const std::string& s)
{
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::string names(int from, int to)
{
    std::string s;
    for (int k = from; k >= to; --k)
        s += "Nombre" + std::to_string(k) + " ";
    return s;
}

PropertyBag saved(const PropertyHost& c)
{
    PropertyBag b;
    c.saveSettings(b);
    return b;
}

template <class E>
E loaded(std::initializer_list<std::pair<const char*, PropValue>> settings)
{
    E e;
    PropertyBag b;
    for (const auto& [k, v] : settings)
        b.write(k, v, std::nullopt);
    e.loadSettings(b);
    return e;
}

Byte_UnR phaseCT()
{
    return loaded<Byte_UnR>({{"direccion", std::string("0102")}, {"formato", std::string("###0")},
                             {"max", std::int64_t{5000}}, {"medida", std::string("A")}, {"min", std::int64_t{5}},
                             {"paso", std::int64_t{1}}, {"smallchange", std::int64_t{5}},
                             {"titulo", std::string("Phase CT Rating Primary:")}});
}

Bits selector(const std::string& direccion, std::int16_t dataLen)
{
    Bits b;
    b.setDireccion(direccion);
    b.setTipo(1);
    b.setBit(1, 2);
    b.setBit(2, 3);
    b.setNombre(1, "Off");
    b.setNombre(2, "On");
    b.setCantidad_Items(2);
    b.setDataLen(dataLen);
    return b;
}

} // namespace

TEST(PropertyPages, WriteAndReadOrders)
{
    struct Case {
        const char* page;
        std::string writes, reads;
    };
    const Case cases[] = {
        {"Word_1R", "Direccion Titulo SmallChange Min Max Formato Medida Paso DataLen High",
         "Direccion Titulo SmallChange Min Max Formato Medida Paso High DataLen"},
        {"Byte_1R", "Direccion Titulo SmallChange Min Max Formato Medida Paso High DataLen",
         "Direccion Titulo SmallChange Min Max Formato Medida Paso High DataLen"},
        {"Word_2R", "Titulo Direccion Min Max Formato Medida Inc_B Inc_A Cambio_de_paso Paso_B Paso_A High DataLen",
         "Titulo Direccion Min Max Formato Medida Inc_B Inc_A Cambio_de_paso Paso_B Paso_A High DataLen"},
        {"Word_3R",
         "FormatoC FormatoB FormatoA Paso_C Paso_A Paso_B Inc_A Inc_B Inc_C Cambio_B Cambio_A High DataLen "
         "Direccion Medida Min Max Titulo",
         "FormatoC FormatoB FormatoA Paso_C Paso_B Paso_A Inc_A Inc_B Inc_C Cambio_B Cambio_A Titulo Min Max "
         "Medida High DataLen Direccion"},
        {"Rele", names(16, 1) + "Direccion DataLen High Paso Bit4 Bit3 Bit2 Bit1 Tipo Cantidad_Items",
         names(16, 1) + "Direccion DataLen High Bit4 Bit3 Bit2 Bit1 Tipo Cantidad_Items Paso"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        std::vector<std::string> log;
        Recorder r(&log);
        PropertyPage page(*propertyPageDef(c.page), recorderCopy);
        page.selectionChanged({&r});
        EXPECT_EQ(log, words(c.reads));
        log.clear();
        EXPECT_TRUE(page.applyChanges({&r}).applied);
        EXPECT_EQ(log, words(c.writes));
    }
}

TEST(PropertyPages, HighRowFollowsTheLengthAndIsAlwaysWritten)
{
    Recorder r(nullptr);
    PropertyPage page(*propertyPageDef("Word_1R"), recorderCopy);
    EXPECT_TRUE(page.visible("High"));  // before the first selection
    r.values_["High"] = std::int64_t{1};
    page.selectionChanged({&r});  // DataLen 1: "Word"
    EXPECT_FALSE(page.visible("High"));
    page.pick("DataLen", 0);
    EXPECT_TRUE(page.visible("High"));
    EXPECT_EQ(page.listIndex("High"), 1);
    page.pick("DataLen", 2);
    EXPECT_FALSE(page.visible("High"));
    page.pick("High", 0);
    ASSERT_TRUE(page.applyChanges({&r}).applied);
    EXPECT_TRUE(samePropValue(r.values_["High"], std::int64_t{0}));
    EXPECT_TRUE(samePropValue(r.values_["DataLen"], std::int64_t{2}));
}

TEST(PropertyPages, ReleItemCountOpensNameFieldsAndIsHandedOn)
{
    struct Case {
        const char* text;
        int open;
        double handed;
    };
    const Case cases[] = {{"3", 3, 3}, {"", 0, 0}, {"abc", 0, 0}, {" 2.5", 2, 2.5}, {"20", 16, 20}, {"-1", 0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Recorder r(nullptr);
        PropertyPage page(*propertyPageDef("Rele"), recorderCopy);
        page.selectionChanged({&r});
        page.setText("Cantidad_Items", "9");
        page.setText("Cantidad_Items", c.text);
        for (int k = 1; k <= 16; ++k)
            EXPECT_EQ(page.enabled("Nombre" + std::to_string(k)), k <= c.open) << k;
        ASSERT_TRUE(page.applyChanges({&r}).applied);
        EXPECT_EQ(*propNumber(r.values_["Cantidad_Items"]), c.handed);
    }
    Bits b = selector("0101", 1);
    PropertyPage page(*propertyPageDef("Rele"));
    page.selectionChanged({&b});
    page.setText("Cantidad_Items", " 2.5");
    ASSERT_TRUE(page.applyChanges({&b}).applied);
    EXPECT_EQ(b.Cantidad_Items(), 2);
}

TEST(PropertyPages, BitCountEnablesBitFieldsButAllAreWritten)
{
    std::vector<std::string> log;
    Recorder r(&log);
    PropertyPage page(*propertyPageDef("Rele"), recorderCopy);
    EXPECT_FALSE(page.visible("High"));  // hidden on this page until a length is set
    page.selectionChanged({&r});
    page.pick("Tipo", 1);  // "2 Bits"
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(page.enabled("Bit" + std::to_string(k)), k <= 2) << k;
    page.setText("Bit3", "7");
    log.clear();
    ASSERT_TRUE(page.applyChanges({&r}).applied);
    EXPECT_NE(std::find(log.begin(), log.end(), "Bit3"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Bit4"), log.end());
    EXPECT_EQ(std::get<std::string>(r.values_["Bit3"]), "7");
}

TEST(PropertyPages, LoadedPageIsChangedAndApplyWritesBackWhatWasRead)
{
    Byte_UnR e = phaseCT();
    const PropertyBag before = saved(e);
    PropertyPage page(*propertyPageDef("Word_1R"));
    EXPECT_FALSE(page.changed());
    page.selectionChanged({&e});
    EXPECT_TRUE(page.changed());
    EXPECT_EQ(page.text("Titulo"), "Phase CT Rating Primary:");
    EXPECT_EQ(page.text("Paso"), "1");
    ASSERT_TRUE(page.applyChanges({&e}).applied);
    EXPECT_EQ(saved(e), before);
    // A High pick alone marks the page changed.
    page.clearChanged();
    page.pick("High", 1);
    EXPECT_TRUE(page.changed());
    // The same under a decimal-comma C locale, as the toolkit sets at start-up, for a scale of 0.01.
    const test::LocaleGuard restore;
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    e.setPaso(*Decimal4::parse("0.01"));
    const PropertyBag scaled = saved(e);
    page.selectionChanged({&e});
    EXPECT_EQ(page.text("Paso"), "0.01");
    ASSERT_TRUE(page.applyChanges({&e}).applied);
    EXPECT_EQ(saved(e), scaled);
}

TEST(PropertyPages, RefusedApplyWritesNothing)
{
    struct Case {
        const char* property;
        const char* text;
        std::string message;
    };
    const Case cases[] = {
        {"Min", "abc", "Invalid value for Min"},
        {"Paso", "0", "Paso is 0"},
        {"Min", "10", "Min is above Max or outside the register width"},  // Max set to 5 below
        {"SmallChange", "0", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.property) + "=" + c.text);
        Byte_UnR e = phaseCT();
        const PropertyBag before = saved(e);
        PropertyPage page(*propertyPageDef("Word_1R"));
        page.selectionChanged({&e});
        if (std::string(c.text) == "10")
            page.setText("Max", "5");
        page.setText(c.property, c.text);
        int changes = 0;
        e.onPropertyChanged = [&](const std::string&) { ++changes; };
        const auto result = page.applyChanges({&e});
        EXPECT_FALSE(result.applied);
        if (!c.message.empty())
            EXPECT_EQ(result.message, c.message);
        else
            EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(saved(e), before);
        EXPECT_TRUE(page.changed());
    }
}

TEST(PropertyPages, TwoRegisterWidthIsRefusedOnTheWordEditorOnly)
{
    Byte_UnR source = phaseCT();
    Word_UnR word;
    word.loadSettings(saved(source));
    const std::int16_t wordLen = word.DataLen();
    for (PropertyHost* c : {static_cast<PropertyHost*>(&source), static_cast<PropertyHost*>(&word)}) {
        PropertyPage page(*propertyPageDef("Word_1R"));
        page.selectionChanged({c});
        page.pick("DataLen", 2);
        const auto result = page.applyChanges({c});
        EXPECT_EQ(result.applied, c == &source);
        EXPECT_EQ(result.message, c == &source ? "" : "the register width cannot be written");
    }
    EXPECT_EQ(word.DataLen(), wordLen);
    EXPECT_EQ(source.DataLen(), 2);
}

TEST(PropertyPages, HalfAppliedThreeRangeEditorCannotHappen)
{
    Word_TresR e = loaded<Word_TresR>(
        {{"direccion", std::string("0105")}, {"paso_a", 0.01}, {"paso_b", 0.1}, {"paso_c", std::int64_t{1}},
         {"inc_a", std::int64_t{1}}, {"inc_b", std::int64_t{10}}, {"inc_c", std::int64_t{100}},
         {"cambio_a", std::int64_t{100}}, {"cambio_b", std::int64_t{1000}}, {"min", std::int64_t{5}},
         {"max", std::int64_t{60000}}, {"datalen", std::int64_t{1}}});
    const PropertyBag before = saved(e);
    PropertyPage page(*propertyPageDef("Word_3R"));
    page.selectionChanged({&e});
    page.setText("FormatoC", "#0.00");
    page.setText("Min", "abc");
    EXPECT_EQ(page.applyChanges({&e}).message, "Invalid value for Min");
    EXPECT_EQ(saved(e), before);
    page.setText("Min", "5");
    EXPECT_TRUE(page.applyChanges({&e}).applied);
    EXPECT_EQ(e.FormatoC(), "#0.00");
}

TEST(PropertyPages, StoredValueNoListHoldsLeavesNoStaleField)
{
    Bits a = selector("0101", 1);
    Bits b = selector("012A", 2);
    b.setNombre(1, "Disabled");
    const PropertyBag before = saved(b);
    PropertyPage page(*propertyPageDef("Rele"));
    page.selectionChanged({&a});
    page.selectionChanged({&b});
    EXPECT_EQ(page.text("Direccion"), "012A");
    EXPECT_EQ(page.text("Nombre1"), "Disabled");
    EXPECT_EQ(page.listIndex("DataLen"), -1);
    EXPECT_TRUE(page.marked("DataLen"));
    EXPECT_EQ(page.applyChanges({&b}).message, "Invalid value for DataLen");
    EXPECT_EQ(saved(b), before);
    page.pick("DataLen", 1);
    EXPECT_FALSE(page.marked("DataLen"));
    EXPECT_TRUE(page.applyChanges({&b}).applied);
    EXPECT_EQ(b.DataLen(), 1);
}

TEST(PropertyPages, SeveralControlsSelectedApplyToNone)
{
    Byte_UnR a = phaseCT(), b = phaseCT();
    b.setTitulo("other");
    PropertyPage page(*propertyPageDef("Word_1R"));
    page.selectionChanged({&a, &b});
    EXPECT_EQ(page.text("Titulo"), "Phase CT Rating Primary:");
    page.setText("Medida", "Amp");
    EXPECT_EQ(page.applyChanges({&a, &b}).message, PropertyPage::kSelectOne);
    EXPECT_EQ(a.Medida(), "A");
    EXPECT_EQ(b.Medida(), "A");
}

TEST(PropertyPages, DoubtfulSettingsApplyOnlyOnYes)
{
    Bits b = selector("0101", 1);
    PropertyPage page(*propertyPageDef("Rele"));
    page.selectionChanged({&b});
    page.setText("Cantidad_Items", "3");
    EXPECT_FALSE(page.applyChanges({&b}).applied);  // no one to confirm
    EXPECT_EQ(b.Cantidad_Items(), 2);
    std::string asked;
    EXPECT_TRUE(page.applyChanges({&b}, [&](const std::string& q) { return asked = q, true; }).applied);
    EXPECT_NE(asked.find("Cantidad_Items 3"), std::string::npos);
    EXPECT_EQ(b.Cantidad_Items(), 3);
}

// A typed value is taken as typed or refused, never asked about: "5,000" is not 5, "1e3" not 1000.
TEST(PropertyPages, TypedValuesAreTakenAsTypedOrRefused)
{
    const std::tuple<int, const char*, const char*, std::string> cases[] = {  // DataLen picked (-1: kept), refusal
        {-1, "Max", "5,000", "Invalid value for Max"},
        {-1, "Max", "1e3", "Invalid value for Max"},
        {-1, "Paso", "-1", "Invalid value for Paso"},
        {-1, "Max", "70000", "Invalid value for Max: 70000 is outside the register width (0 to 65535)"},
        {0, "Max", "300", "Invalid value for Max: 300 is outside the register width (0 to 255)"},
        {-1, "Max", "5", "Invalid value for Max: 5 is not above Min"},
        {-1, "Direccion", "0200", "Invalid value for Direccion: \"0200\" is in no setpoint block"},
        {-1, "Direccion", "00104",
         "Invalid value for Direccion: \"00104\" is not a register address, which is four hexadecimal digits such as "
         "\"0101\""},
        {-1, "Max", "5000", ""},
        {-1, "Paso", "0.5", ""},
    };
    for (const auto& [dataLen, property, text, message] : cases) {
        SCOPED_TRACE(std::string(property) + "=" + text);
        Byte_UnR e = phaseCT();
        const PropertyBag before = saved(e);
        PropertyPage page(*propertyPageDef("Word_1R"));
        page.selectionChanged({&e});
        if (dataLen >= 0)
            page.pick("DataLen", dataLen);
        page.setText(property, text);
        bool asked = false;
        const auto result = page.applyChanges({&e}, [&](const std::string&) { return !(asked = true); });
        EXPECT_FALSE(asked);
        EXPECT_EQ(result.message, message);
        EXPECT_EQ(result.applied, message.empty());
        if (!result.applied)
            EXPECT_EQ(saved(e), before);
        else
            EXPECT_EQ(propText(*e.getProperty(property)), text);
    }
}

TEST(PropertyPages, LeadingNumber)
{
    for (const auto& [text, n] : std::initializer_list<std::pair<const char*, double>>{
             {"3", 3}, {" 2.5", 2.5}, {"abc", 0}, {"", 0}, {"12abc", 12}, {"1 2", 12}, {"-4", -4}, {".5", 0.5}})
        EXPECT_EQ(leadingNumber(text), n) << text;
}

TEST(DesignMetadata, DescriptionsCategoriesAndBoundPages)
{
    struct Case {
        const char *cls, *member, *page;
        std::string description;
    };
    const std::string paso = "El multiplo del valor obtenido desde el relé, para ser mostrado como valor real.";
    const Case cases[] = {
        {"Byte_UnR", "Paso", "Byte_1R", paso},
        {"Word_TresR", "Enabled", "Word_3R",
         "Returns/sets a value that determines whether an object can respond to user-generated events."},
        {"Word_UnR", "Paso", "", paso},
        {"Word_DosR", "Paso_B", "", paso + " Segundo Rango."},
        {"Word_TresR", "Paso_B", "", ""},
        {"Bits", "Enabled", "", "Devuelve o establece un valor que determina si un objeto puede responder a eventos "
                                "generados por el usuario."},
        {"Bits", "Text", "", ""},
        {"Word_UnR", "BackColor", "", ""},
        {"LEDS", "Interval", "", "Returns/sets the number of milliseconds between calls to a Timer control's Timer "
                                 "event."},
        {"Bits", "Nombre16", "Rele", ""},
        {"Word_DosR", "Cambio_de_paso", "Word_2R", "Valor Obtenido desde el relé, en el cual cambia de paso."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + "." + c.member);
        const PropertyInfo info = propertyInfo(c.cls, c.member);
        EXPECT_EQ(info.description, c.description);
        EXPECT_EQ(info.boundPage, c.page);
    }
    const Byte_UnR byteEditor;
    const Word_UnR wordEditor;
    int category = 0;
    for (const auto& s : byteEditor.settings())
        category += s.member && propertyInfo("Byte_UnR", s.member).category == kMisPropiedades;
    EXPECT_EQ(category, 7);
    for (const auto& s : wordEditor.settings())
        EXPECT_TRUE(!s.member || propertyInfo("Word_UnR", s.member).boundPage.empty()) << (s.member ? s.member : "");
    EXPECT_EQ(propertyPageOf("Word_UnR"), "Word_1R");
    EXPECT_EQ(propertyPageOf("Bits"), "Rele");
    EXPECT_EQ(propertyPageOf("LEDS"), "");
}
