#include "editors/Byte_UnR.h"
#include "editors/PropertyBag.h"
#include "editors/Word_DosR.h"
#include "editors/Word_TresR.h"
#include "platform/FullFolder.h"
#include "platform/WholeFileWriter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

namespace kova {
namespace {

TEST(PropertyBag, AbsentKeyGivesReadDefaultAndKeysIgnoreCase)
{
    PropertyBag bag;
    EXPECT_EQ(bag.read("DataLen", std::int64_t{1}), PropValue(std::int64_t{1}));
    bag.write("DataLen", std::int64_t{0}, PropValue(std::int64_t{1}));
    EXPECT_TRUE(bag.contains("datalen"));
    EXPECT_EQ(bag.entries().begin()->first, "datalen");
    EXPECT_EQ(bag.read("DATALEN", std::int64_t{1}), PropValue(std::int64_t{0}));
    EXPECT_EQ(bag.read("Datalen", std::int64_t{1}), PropValue(std::int64_t{0}));
}

TEST(PropertyBag, ValueEqualToWriteDefaultIsNotStored)
{
    PropertyBag bag;
    bag.write("Paso", 0.0, PropValue(std::int64_t{0}));  // numbers compare by value
    bag.write("Medida", std::string("0"), PropValue(std::string("0")));
    bag.write("Enabled", true, PropValue(true));
    EXPECT_TRUE(bag.empty());
    bag.write("Enabled", true, std::nullopt);  // no write default: always stored
    EXPECT_TRUE(bag.contains("enabled"));
    // A text "0" is not the number 0.
    bag.write("Dato", std::string("0"), PropValue(std::int64_t{0}));
    EXPECT_TRUE(bag.contains("dato"));
}

TEST(PropertyStore, JsonKeepsNumbersAndTextsApart)
{
    PropertyStore store;
    PropertyBag& b = store.bag("Page1W2(0)");
    b.write("Cambio_de_paso", std::string("100"), std::nullopt);
    b.write("Inc_A", std::int64_t{100}, std::nullopt);
    b.write("Paso_A", 0.01, std::nullopt);
    b.write("Enabled", false, std::nullopt);
    b.write("BackColor", std::int64_t{0x80000005}, std::nullopt);

    PropertyStore back;
    ASSERT_TRUE(back.fromJson(store.toJson()));
    const PropertyBag* r = back.find("Page1W2(0)");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->read("cambio_de_paso", std::int64_t{0}), PropValue(std::string("100")));
    EXPECT_EQ(r->read("inc_a", std::string()), PropValue(std::int64_t{100}));
    EXPECT_EQ(r->read("paso_a", std::int64_t{0}), PropValue(0.01));
    EXPECT_EQ(r->read("enabled", true), PropValue(false));
    EXPECT_EQ(r->read("backcolor", std::int64_t{0}), PropValue(std::int64_t{0x80000005}));
    EXPECT_TRUE(back.bags() == store.bags());
}

TEST(PropertyStore, MalformedJsonLeavesStoreUnchanged)
{
    PropertyStore store;
    store.bag("A").write("min", std::int64_t{5}, std::nullopt);
    std::string error;
    for (const char* bad : {"{", "[]", R"({"A": 5})", R"({"A": {"k": [1]}})"}) {
        EXPECT_FALSE(store.fromJson(bad, &error)) << bad;
        EXPECT_FALSE(error.empty());
        ASSERT_NE(store.find("A"), nullptr);
    }
}

TEST(PropertyStore, SavesAndLoadsFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("pages.json").toStdString();
    PropertyStore store;
    store.bag("Byte_UnR1(0)").write("Titulo", std::string("Block Trip Delay:"), std::nullopt);
    ASSERT_TRUE(store.save(path));
    PropertyStore back;
    ASSERT_TRUE(back.load(path));
    EXPECT_TRUE(back.bags() == store.bags());
    EXPECT_FALSE(back.load(path + ".missing"));
}

// A save that fails (a full disk) leaves the old file byte for byte, no temporary file, and names the reason.
// The steps a write can fail at are the file writer's own, tested with it.
TEST(PropertyStore, AFailedSaveLeavesTheOldFile)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("pages.json").toStdString();
    ASSERT_TRUE(writeWholeFile(path, "the old pages"));
    PropertyStore store;
    store.bag("Byte_UnR1(0)").write("Titulo", std::string("Other"), std::nullopt);
    std::string error;
    {
        const FileWriteFault fault(FileWriteFault::Step::Write, ENOSPC, 10);
        EXPECT_FALSE(store.save(path, &error));
    }
    EXPECT_EQ(error, "cannot write " + path + ": " + std::strerror(ENOSPC));
    QFile back(QString::fromStdString(path));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll().toStdString(), "the old pages");
    EXPECT_EQ(test::folderNames(dir.path()), QStringList{"pages.json"});
}

// Every class: an empty bag gives its read defaults, saving a fresh instance
// stores only what differs from the write defaults ("fontsize": 8.25 against
// write default 0), and a loaded bag saves back to the same bag.
TEST(EditorSettings, ByteUnRDefaults)
{
    Byte_UnR m;
    EXPECT_TRUE(m.loadSettings(PropertyBag{}).empty());
    EXPECT_EQ(m.Paso().count(), 0);
    EXPECT_EQ(m.Medida(), "0");
    EXPECT_EQ(m.Formato(), "0");
    EXPECT_EQ(m.Direccion(), "0");
    EXPECT_EQ(m.Titulo(), "0");
    EXPECT_EQ(m.DataLen(), 1);
    EXPECT_EQ(m.High(), 0);
    EXPECT_EQ(m.fontSize(), 8.25);
    EXPECT_EQ(m.textBackColor(), 0x80000005u);
    EXPECT_EQ(m.BackColor(), 0u);
    EXPECT_EQ(m.Text(), "Text1");
    EXPECT_TRUE(m.Enabled());
    EXPECT_EQ(m.Dato(), NumOrText(std::int32_t{0}));

    PropertyBag saved;
    m.saveSettings(saved);
    ASSERT_EQ(saved.entries().size(), 1u);
    EXPECT_EQ(saved.read("fontsize", std::int64_t{0}), PropValue(8.25));
}

TEST(EditorSettings, ByteUnRBackColorKeyServesBoth)
{
    PropertyBag bag;
    bag.write("backcolor", std::int64_t{255}, std::nullopt);
    Byte_UnR m;
    m.loadSettings(bag);
    EXPECT_EQ(m.textBackColor(), 255u);
    EXPECT_EQ(m.BackColor(), 255u);
}

TEST(EditorSettings, WordEditorsDefaultToOneByte)
{
    Word_UnR u;
    Word_DosR d;
    Word_TresR t;
    for (ValueEditorModel* m : std::initializer_list<ValueEditorModel*>{&u, &d, &t}) {
        m->loadSettings(PropertyBag{});
        EXPECT_EQ(m->DataLen(), 0);
        EXPECT_EQ(m->fontSize(), 8.25);
        PropertyBag saved;
        m->saveSettings(saved);
        ASSERT_EQ(saved.entries().size(), 1u);
        EXPECT_TRUE(saved.contains("FontSize"));
    }
    EXPECT_EQ(d.Cambio_de_paso(), NumOrText(std::int32_t{0}));
    EXPECT_EQ(t.FormatoC(), "0");
}

TEST(EditorSettings, DataLenKeys)
{
    PropertyBag bag;
    bag.write("Datalen", std::int64_t{1}, std::nullopt);
    Word_UnR u;
    Word_DosR d;
    Word_TresR t;
    Byte_UnR b;
    for (ValueEditorModel* m : std::initializer_list<ValueEditorModel*>{&u, &d, &t, &b}) {
        m->loadSettings(bag);
        EXPECT_EQ(m->DataLen(), 1);
        EXPECT_EQ(m->getProperty("DataLen"), PropValue(std::int64_t{1}));
    }
    // DataLen 1 is Byte_UnR's write default, but not the word editors'.
    PropertyBag sb, st;
    b.saveSettings(sb);
    t.saveSettings(st);
    EXPECT_FALSE(sb.contains("datalen"));
    EXPECT_TRUE(st.contains("datalen"));
}

TEST(EditorSettings, UnknownKeysAreNamedAsStored)
{
    PropertyBag bag;
    bag.write("DataLen", std::int64_t{1}, std::nullopt);
    bag.write("Paso_X", std::int64_t{1}, std::nullopt);
    bag.write("colour", std::string("red"), std::nullopt);
    Word_DosR d;
    EXPECT_EQ(d.unknownKeys(bag), (std::vector<std::string>{"colour", "paso_x"}));
}

TEST(EditorSettings, PlacedTwoRangeInstanceRoundTrip)
{
    PropertyStore store;
    PropertyBag& bag = store.bag("Page1W2(0)");
    bag.write("titulo", std::string("VT Primary"), std::nullopt);
    bag.write("direccion", std::string("0105"), std::nullopt);
    bag.write("min", std::int64_t{10}, std::nullopt);
    bag.write("max", std::int64_t{6900}, std::nullopt);
    bag.write("cambio_de_paso", std::string("100"), std::nullopt);
    bag.write("inc_a", std::string("1"), std::nullopt);
    bag.write("inc_b", std::string("10"), std::nullopt);
    bag.write("paso_a", 0.01, std::nullopt);
    bag.write("paso_b", 0.01, std::nullopt);
    bag.write("formato", std::string("####0.00"), std::nullopt);
    bag.write("medida", std::string("KV"), std::nullopt);
    bag.write("datalen", std::int64_t{1}, std::nullopt);
    bag.write("fontsize", 8.25, std::nullopt);

    PropertyStore loaded;
    ASSERT_TRUE(loaded.fromJson(store.toJson()));
    Word_DosR m;
    EXPECT_TRUE(m.loadSettings(*loaded.find("Page1W2(0)")).empty());
    EXPECT_EQ(m.Cambio_de_paso(), NumOrText(std::string("100")));
    EXPECT_EQ(m.Paso_A().count(), 100);
    EXPECT_EQ(m.Max(), 6900);

    PropertyBag again;
    m.saveSettings(again);
    EXPECT_TRUE(again == bag);
}

// Every class: settings set by name survive save, JSON and load unchanged.
TEST(EditorSettings, JsonRoundTripOfEveryClass)
{
    Byte_UnR b;
    Word_UnR u;
    Word_DosR d;
    Word_TresR t;
    std::vector<std::pair<const char*, PropValue>> common = {
        {"Titulo", std::string("Delay:")}, {"Direccion", std::string("1004")},
        {"Min", std::int64_t{5}},          {"Max", std::int64_t{60000}},
        {"Medida", std::string("Sec")},    {"DataLen", std::int64_t{1}},
        {"Dato", std::string("&H00FA")},   {"Enabled", false},
    };
    std::vector<std::pair<ValueEditorModel*, std::vector<std::pair<const char*, PropValue>>>> all = {
        {&b, {{"Paso", 0.01}, {"Formato", std::string("###0.#0")}, {"SmallChange", std::int64_t{1}},
              {"BackColor", std::int64_t{255}}, {"Pos_Texto", std::int64_t{2}}}},
        {&u, {{"Paso", 0.1}, {"Formato", std::string("#0.0")}, {"High", std::int64_t{1}}}},
        {&d, {{"Cambio_de_paso", std::string("1000")}, {"Inc_A", std::int64_t{10}},
              {"Inc_B", std::string("100")}, {"Paso_A", 0.01}, {"Paso_B", std::int64_t{1}}}},
        {&t, {{"Cambio_A", std::int64_t{100}}, {"Cambio_B", 1000.5}, {"Inc_C", std::int64_t{100}},
              {"Paso_C", 10.0}, {"FormatoB", std::string("#0.0")}}},
    };
    PropertyStore store;
    for (auto& [m, own] : all) {
        for (auto& [name, v] : common)
            ASSERT_TRUE(m->setProperty(name, v)) << name;
        for (auto& [name, v] : own)
            ASSERT_TRUE(m->setProperty(name, v)) << name;
        m->saveSettings(store.bag(std::to_string(store.bags().size())));
    }
    PropertyStore back;
    ASSERT_TRUE(back.fromJson(store.toJson()));
    Byte_UnR b2;
    Word_UnR u2;
    Word_DosR d2;
    Word_TresR t2;
    ValueEditorModel* fresh[] = {&b2, &u2, &d2, &t2};
    for (int i = 0; i < 4; ++i) {
        const PropertyBag& bag = *back.find(std::to_string(i));
        EXPECT_TRUE(fresh[i]->loadSettings(bag).empty());
        for (const auto& s : fresh[i]->settings()) {
            // Byte_UnR keeps its field and its text box colour under one key:
            // the stored field colour comes back as both.
            if (i == 0 && s.member == nullptr && std::string(s.key) == "BackColor") {
                EXPECT_EQ(b2.textBackColor(), 255u);
                continue;
            }
            EXPECT_TRUE(samePropValue(s.get(*fresh[i]), s.get(*all[static_cast<size_t>(i)].first)))
                << i << " " << s.key;
        }
        PropertyBag again;
        fresh[i]->saveSettings(again);
        EXPECT_TRUE(again == *store.find(std::to_string(i))) << i;
    }
}

TEST(EditorSettings, PropertyAccessByName)
{
    Word_TresR m;
    std::vector<std::string> changed;
    m.onPropertyChanged = [&](const std::string& n) { changed.push_back(n); };
    EXPECT_TRUE(m.setProperty("cambio_a", std::string("100")));
    EXPECT_TRUE(m.setProperty("Paso_A", std::string("0.01")));
    EXPECT_TRUE(m.setProperty("Min", 5.5));  // half to even: 6
    EXPECT_TRUE(m.setProperty("Max", std::string("60000")));
    EXPECT_EQ(m.Cambio_A().count(), 1000000);
    EXPECT_EQ(m.Paso_A().count(), 100);
    EXPECT_EQ(m.Min(), 6);
    EXPECT_EQ(m.Max(), 60000);
    EXPECT_FALSE(m.setProperty("Min", std::string("abc")));
    EXPECT_FALSE(m.setProperty("Max", 3e9));
    EXPECT_FALSE(m.setProperty("NoSuchMember", std::int64_t{1}));
    EXPECT_FALSE(m.setProperty("FontSize", 9.0));  // a key, not a member
    EXPECT_EQ(m.Min(), 6);
    EXPECT_NE(std::find(changed.begin(), changed.end(), "Cambio_A"), changed.end());
    EXPECT_EQ(m.getProperty("cambio_a"), PropValue(std::int64_t{100}));
}

TEST(EditorSettings, FlagsTakeTextsAndNumbers)
{
    struct Case {
        PropValue given;
        std::optional<bool> expected;  // nothing: refused, the flag stays as it was
    };
    const Case cases[] = {
        {std::string("False"), false}, {std::string("TRUE"), true}, {std::string("0"), false},
        {std::string(" 2.5 "), true},  {std::int64_t{0}, false},    {std::int64_t{-1}, true},
        {0.0, false},                  {0.25, true},                {std::string("abc"), std::nullopt},
        {std::string(""), std::nullopt},
    };
    for (const Case& c : cases) {
        for (bool start : {false, true}) {
            Byte_UnR m;
            m.setEnabled(start);
            EXPECT_EQ(m.setProperty("enabled", c.given), c.expected.has_value());
            EXPECT_EQ(m.Enabled(), c.expected.value_or(start));
        }
    }
}

TEST(EditorSettings, ScaleThatFourDecimalsCannotHoldIsRefused)
{
    PropertyBag bag;
    bag.write("datalen", std::int64_t{1}, std::nullopt);
    bag.write("paso", std::string("0.01"), std::nullopt);
    Word_UnR m;
    EXPECT_TRUE(m.loadSettings(bag).empty());
    EXPECT_EQ(m.DataLen(), 1);
    EXPECT_EQ(m.Paso().count(), 100);

    for (PropValue bad : {PropValue(std::string("0.00004")), PropValue(0.00004), PropValue(1e6)}) {
        PropertyBag b2;
        b2.write("paso", bad, std::nullopt);
        Word_UnR w;
        EXPECT_EQ(w.loadSettings(b2), std::vector<std::string>{"Paso"});
        EXPECT_EQ(w.Paso().count(), 0);
    }
}

} // namespace
} // namespace kova
