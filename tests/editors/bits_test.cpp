#include "editors/Bits.h"

#include <gtest/gtest.h>

namespace kova {
namespace {

class BitsTest : public ::testing::Test {
protected:
    Bits& make(const char* dir, int tipo, std::vector<int> bits, std::vector<std::string> names,
               int cantidad = 0)
    {
        auto b = std::make_unique<Bits>();
        b->setImages(images);
        b->setDireccion(dir);
        b->setDataLen(1);
        b->setTipo(static_cast<std::int16_t>(tipo));
        for (size_t i = 0; i < bits.size(); ++i)
            b->setBit(static_cast<int>(i) + 1, static_cast<std::uint8_t>(bits[i]));
        for (size_t i = 0; i < names.size(); ++i)
            b->setNombre(static_cast<int>(i) + 1, names[i]);
        b->setCantidad_Items(static_cast<std::int16_t>(cantidad ? cantidad : int(names.size())));
        b->onClick = [this] { ++clicks; };
        b->Crear_Items();
        selectors.push_back(std::move(b));
        return *selectors.back();
    }

    void setWord(std::array<std::uint8_t, 301>& img, int i, std::uint16_t v)
    {
        img[static_cast<size_t>(i)] = static_cast<std::uint8_t>(v >> 8);
        img[static_cast<size_t>(i) + 1] = static_cast<std::uint8_t>(v & 0xFF);
    }
    int word(const std::array<std::uint8_t, 301>& img, int i) const
    {
        return img[static_cast<size_t>(i)] * 256 + img[static_cast<size_t>(i) + 1];
    }

    RegisterImages images;
    std::vector<std::unique_ptr<Bits>> selectors;
    int clicks = 0;
};

TEST_F(BitsTest, OneBitField)
{
    Bits& b = make("012A", 0, {5}, {"Off", "On"});
    EXPECT_EQ(b.ListIndex(), -1);  // nothing selected before Inicializacion
    EXPECT_EQ(b.valor(), "");
    setWord(images.get, 82, 0x0020);
    EXPECT_TRUE(b.Inicializacion());
    EXPECT_EQ(b.ListIndex(), 1);
    EXPECT_EQ(b.valor(), "On");
    EXPECT_EQ(word(images.put, 82), 0x0020);
    EXPECT_EQ(clicks, 1);

    setWord(images.put, 82, 0x00FF);
    b.pick(0);
    EXPECT_EQ(word(images.put, 82), 0x00DF);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(b.ListIndex(), 0);
    EXPECT_EQ(b.valor(), "On");
}

TEST_F(BitsTest, TwoBitField)
{
    Bits& b = make("0101", 1, {2, 3}, {"Wye", "Delta-Delta", "Open Delta"});
    for (auto [get, index] : {std::pair{0x0004, 1}, std::pair{0x0008, 2}, std::pair{0x0000, 0}}) {
        setWord(images.get, 0, static_cast<std::uint16_t>(get));
        b.Inicializacion();
        EXPECT_EQ(b.ListIndex(), index);
    }
    setWord(images.put, 0, 0xFFFF);
    b.pick(0);
    EXPECT_EQ(word(images.put, 0), 0xFFF3);
    setWord(images.put, 0, 0x0001);
    b.pick(2);
    EXPECT_EQ(word(images.put, 0), 0x0009);
}

TEST_F(BitsTest, ClickComesBeforeValorTakesTheNewOption)
{
    // What a page's Click handler finds in valor and ListIndex: the option
    // just selected, and the text of the previous Inicializacion.
    Bits& b = make("0101", 0, {12}, {"No", "Yes"});
    std::vector<std::pair<std::string, int>> enClick;
    b.onClick = [&] { enClick.emplace_back(b.valor(), b.ListIndex()); };
    const struct {
        std::uint16_t get;   // the Get word before Inicializacion; pick < 0
        int pick;            // a user's pick instead
        std::string valor;   // in Click
        int index;           // in Click
        std::string despues; // valor afterwards
    } casos[] = {
        {0x1000, -1, "", 1, "Yes"},
        {0x0000, -1, "Yes", 0, "No"},
        {0, 1, "No", 1, "No"},
        {0x1000, -1, "No", 1, "Yes"},
    };
    for (const auto& c : casos) {
        enClick.clear();
        if (c.pick < 0) {
            setWord(images.get, 0, c.get);
            b.Inicializacion();
        } else {
            b.pick(c.pick);
        }
        ASSERT_EQ(enClick.size(), 1u);
        EXPECT_EQ(enClick[0], std::make_pair(c.valor, c.index));
        EXPECT_EQ(b.valor(), c.despues);
    }
}

TEST_F(BitsTest, ListSizes)
{
    struct Case {
        int tipo, cantidad, count;
    } cases[] = {{3, 13, 13}, {3, 2, 8}, {0, 5, 2}, {1, 4, 4}, {1, 3, 3}, {2, 1, 2}, {2, 8, 8}, {5, 9, 0}};
    for (const auto& c : cases) {
        Bits& b = make("0121", c.tipo, {0, 1, 2, 3}, {}, c.cantidad);
        EXPECT_EQ(b.ListCount(), c.count) << c.tipo << "/" << c.cantidad;
        EXPECT_EQ(b.Crear_Items(), false);
        EXPECT_EQ(b.ListCount(), 2 * c.count);  // appends again
    }
    Bits& curves = make("1002", 3, {0, 1, 2, 3}, {}, 13);
    EXPECT_EQ(curves.List()[0], "0");  // unset names show as "0"
    setWord(images.get, 100, 0x00FC);
    curves.Inicializacion();
    EXPECT_EQ(curves.ListIndex(), 12);
}

TEST_F(BitsTest, ValueThatNamesNoOptionWritesNothing)
{
    Bits& b = make("0101", 1, {2, 3}, {"Wye", "Delta-Delta", "Open Delta"});
    setWord(images.get, 0, 0x0008);
    b.Inicializacion();
    EXPECT_EQ(b.ListIndex(), 2);
    setWord(images.put, 0, 0x1234);
    setWord(images.get, 0, 0x000C);
    clicks = 0;
    EXPECT_TRUE(b.Inicializacion());
    EXPECT_EQ(b.ListIndex(), -1);
    EXPECT_EQ(b.valor(), "");
    EXPECT_EQ(word(images.put, 0), 0x1234);
    EXPECT_EQ(clicks, 1);  // the page still applies its rules
    b.pick(1);
    EXPECT_EQ(word(images.put, 0), (0x1234 & ~0x000C) | 0x0004);
}

TEST_F(BitsTest, SelectorsSharingARegisterKeepEachOthersBits)
{
    Bits& freq = make("0101", 1, {0, 1}, {"50 Hz", "60 Hz"});
    Bits& conn = make("0101", 1, {2, 3}, {"Wye", "Delta-Delta", "Open Delta"});
    Bits& yes = make("0101", 0, {12}, {"No", "Yes"});
    setWord(images.get, 0, 0x1C0D);
    for (Bits* b : {&freq, &conn, &yes})
        b->Inicializacion();
    // Bits 2-3 hold 3, which names no option: only the other two fields are copied.
    EXPECT_EQ(word(images.put, 0), 0x1001);
    setWord(images.put, 0, 0x1C0D);
    freq.pick(0);
    EXPECT_EQ(word(images.put, 0), 0x1C0C);
    conn.pick(0);
    EXPECT_EQ(word(images.put, 0), 0x1C00);
    yes.pick(0);
    EXPECT_EQ(word(images.put, 0), 0x0C00);
}

TEST_F(BitsTest, ByteField)
{
    Bits& b = make("0102", 0, {7}, {"Off", "On"});
    b.setDataLen(0);
    b.setHigh(0);
    images.put[2] = 0x55;
    images.put[3] = 0xAA;
    b.Inicializacion();  // Get byte 0 -> option 0: bit 7 of the low byte cleared
    EXPECT_EQ(images.put[3], 0x2A);
    EXPECT_EQ(images.put[2], 0x55);
    images.put[3] = 0xAA;
    b.setHigh(1);
    b.pick(1);
    EXPECT_EQ(images.put[2], 0xD5);
    EXPECT_EQ(images.put[3], 0xAA);
}

TEST_F(BitsTest, ScatteredBits)
{
    Bits& b = make("0101", 1, {3, 1}, {"a", "b", "c", "d"});
    struct Case {
        std::uint16_t get;
        int index;
    } cases[] = {{0x000A, 3}, {0x0008, 1}, {0x0002, 2}, {0x0000, 0}};
    for (const auto& c : cases) {
        setWord(images.get, 0, c.get);
        b.Inicializacion();
        EXPECT_EQ(b.ListIndex(), c.index) << c.get;
    }
    setWord(images.put, 0, 0x0008);
    b.pick(2);
    EXPECT_EQ(word(images.put, 0), 0x0002);
}

// With Paso 2 only the codes 0, 2, 4, ... name items; a value between them
// selects nothing and leaves the Put image as it was.
TEST_F(BitsTest, ValueBetweenStepsSelectsNothing)
{
    Bits& b = make("0101", 1, {2, 3}, {"Wye", "Delta-Delta"});
    b.setPaso(2);
    const struct { std::uint16_t get; int index; std::uint16_t put; } cases[] = {
        {0x0000, 0, 0x5A53}, {0x0004, -1, 0x5A5F}, {0x0008, 1, 0x5A5B}, {0x000C, -1, 0x5A5F}};
    for (const auto& c : cases) {
        setWord(images.get, 0, c.get);
        setWord(images.put, 0, 0x5A5F);
        b.Inicializacion();
        EXPECT_EQ(b.ListIndex(), c.index) << c.get;
        EXPECT_EQ(word(images.put, 0), c.put) << c.get;
    }
}

TEST_F(BitsTest, CodeThatDoesNotFitTheFieldIsRefused)
{
    Bits& b = make("0101", 1, {2, 3}, {"Wye", "Delta-Delta", "Open Delta"});
    b.setPaso(2);
    setWord(images.get, 0, 0x0008);  // value 2 -> option 1
    b.Inicializacion();
    EXPECT_EQ(b.ListIndex(), 1);
    setWord(images.put, 0, 0x5A5B);
    clicks = 0;
    b.pick(2);  // code 4 does not fit two bits
    EXPECT_EQ(word(images.put, 0), 0x5A5B);
    EXPECT_EQ(b.ListIndex(), 1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(BitsTest, UnusableSettingsWriteNothing)
{
    struct Case {
        const char* what;
        const char* dir;
        int paso;
        int dataLen;
        int bit;
    } cases[] = {
        {"no register position", "0", 1, 1, 2},
        {"Paso 0", "0101", 0, 1, 2},
        {"bit past a byte", "0101", 1, 0, 9},
        {"two registers", "0101", 1, 2, 2},
    };
    for (const auto& c : cases) {
        Bits& b = make(c.dir, 0, {c.bit}, {"No", "Yes"});
        b.setPaso(static_cast<std::int16_t>(c.paso));
        b.setDataLen(static_cast<std::int16_t>(c.dataLen));
        setWord(images.get, 0, 0xFFFF);
        setWord(images.put, 0, 0x1234);
        b.Inicializacion();
        EXPECT_EQ(b.ListIndex(), -1) << c.what;
        EXPECT_EQ(b.valor(), "") << c.what;
        b.pick(1);
        EXPECT_EQ(word(images.put, 0), 0x1234) << c.what;
    }
}

TEST_F(BitsTest, Settings)
{
    Bits b;
    EXPECT_TRUE(b.loadSettings(PropertyBag{}).empty());
    EXPECT_EQ(b.Paso(), 1);
    EXPECT_EQ(b.DataLen(), 0);
    EXPECT_EQ(b.Nombre(16), "0");
    EXPECT_EQ(b.BackColor(), 0x80000005u);
    EXPECT_EQ(b.ForeColor(), 0x80000008u);
    PropertyBag saved;
    b.saveSettings(saved);
    ASSERT_EQ(saved.entries().size(), 1u);  // Enabled is always stored
    EXPECT_EQ(saved.read("enabled", false), PropValue(true));

    PropertyBag bag;
    bag.write("Bit1", std::int64_t{16}, std::nullopt);
    bag.write("Cantidad_Items", 2.5, std::nullopt);
    bag.write("nombre3", std::string("Open Delta"), std::nullopt);
    EXPECT_EQ(b.loadSettings(bag), std::vector<std::string>{"Bit1"});
    EXPECT_EQ(b.Bit1(), 0);
    EXPECT_EQ(b.Cantidad_Items(), 2);
    EXPECT_EQ(b.Nombre(3), "Open Delta");
    EXPECT_TRUE(b.setProperty("cantidad_items", 3.5));
    EXPECT_EQ(b.Cantidad_Items(), 4);
}

} // namespace
} // namespace kova
