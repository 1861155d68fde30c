#include "editor_fixture.h"

#include "editors/Byte_UnR.h"

namespace kova::test {
namespace {

using ByteUnR = EditorFixture;

// Phase CT rating primary on register 0x0102 (index 2).
void phaseCT(Byte_UnR& m)
{
    m.setDireccion("0102");
    m.setMin(5);
    m.setMax(5000);
    m.setSmallChange(5);
    m.setPaso(dec("1"));
    m.setFormato("###0");
    m.setMedida("A");
}

TEST_F(ByteUnR, DisplayRule)
{
    struct Case {
        std::uint16_t value;
        const char* paso;
        const char* formato;
        const char* medida;
        const char* text;
    } cases[] = {
        {150, "0.01", "###0.#0", "Hz", "1.50 Hz"}, {15, "0.1", "#0.0", "", "1.5 "},
        {300, "1.0", "###0", "%CT", "300 %CT"},    {12, "1", "##0", "", "12 "},
        {5, "0.1", "#0.0", "", "0.5 "},            {25, "0.01", "#0.0", "", "0.3 "},
    };
    for (const auto& c : cases) {
        Byte_UnR m;
        bind(m);
        m.setDireccion("0102");
        m.setPaso(dec(c.paso));
        m.setFormato(c.formato);
        m.setMedida(c.medida);
        setGet(2, c.value);
        EXPECT_TRUE(m.Inicializacion());
        EXPECT_EQ(m.Text(), c.text);
        EXPECT_EQ(m.valor(), c.text);
    }
    Byte_UnR fresh;
    bind(fresh);
    EXPECT_EQ(fresh.Text(), "Text1");
    EXPECT_EQ(fresh.valor(), "");
    fresh.Inicializacion();
    EXPECT_EQ(fresh.Text(), "0 0");
}

TEST_F(ByteUnR, ArrowsStayWithinLimitsAndCountAtLimits)
{
    struct Case {
        std::uint16_t start;
        bool up;
        int value;
        std::vector<int> put;
    } cases[] = {
        {5, false, 5, {0x00, 0x05}},
        {5000, true, 5000, {0x13, 0x88}},
        {4995, true, 5000, {0x13, 0x88}},
        {7, false, 5, {0x00, 0x05}},  // stops at Min instead of 2
        {4998, true, 5000, {0x13, 0x88}},
        {300, true, 305, {0x01, 0x31}},
    };
    for (const auto& c : cases) {
        images.put.fill(kSentinel);
        changes = 0;
        Byte_UnR m;
        bind(m);
        phaseCT(m);
        setGet(2, c.start);
        m.Inicializacion();
        c.up ? m.arrowUp() : m.arrowDown();
        EXPECT_EQ(m.Value(), c.value) << c.start;
        EXPECT_EQ(m.Text(), std::to_string(c.value) + " A");
        EXPECT_EQ(put(2, 2), c.put) << c.start;
        EXPECT_EQ(put(1, 1), std::vector<int>{kSentinel});
        EXPECT_EQ(put(4, 1), std::vector<int>{kSentinel});
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(m.Dato(), NumOrText(std::int32_t{c.value}));
    }
}

TEST_F(ByteUnR, WriteBackByWidth)
{
    struct Case {
        std::int16_t dataLen, high;
        std::int32_t value;
        std::vector<int> put;  // bytes 1..6 around index 2
    } cases[] = {
        {1, 0, 300, {kSentinel, 0x01, 0x2C, kSentinel, kSentinel, kSentinel}},
        {2, 0, 0x12345678, {kSentinel, 0x12, 0x34, 0x56, 0x78, kSentinel}},
        {0, 1, 0xAB, {kSentinel, 0xAB, kSentinel, kSentinel, kSentinel, kSentinel}},
        {0, 0, 0xAB, {kSentinel, kSentinel, 0xAB, kSentinel, kSentinel, kSentinel}},
        {0, 0, 300, {kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel}},
        {1, 0, -1, {kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel}},
        {3, 0, 5, {kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel}},
    };
    setGet(2, 0x1234);
    for (const auto& c : cases) {
        images.put.fill(kSentinel);
        Byte_UnR m;
        bind(m);
        m.setDireccion("0102");
        m.setDataLen(c.dataLen);
        m.setHigh(c.high);
        m.Inicializacion();
        if (c.dataLen == 3) {
            EXPECT_EQ(m.Value(), 0);
        }
        m.setValue(c.value);
        EXPECT_FALSE(m.Actualizar());
        EXPECT_EQ(put(1, 6), c.put) << c.dataLen << "/" << c.high << "/" << c.value;
        EXPECT_EQ(changes + clicks, 0);
    }
}

TEST_F(ByteUnR, InicializacionAndValor)
{
    Byte_UnR m;
    bind(m);
    m.setDireccion("011A");
    m.setMin(5);
    m.setMax(100);
    m.setSmallChange(1);
    m.setPaso(dec("0.01"));
    m.setFormato("###0.#0");
    m.setMedida("Sec");
    setGet(50, 0x0050);
    EXPECT_TRUE(m.Inicializacion());
    EXPECT_EQ(m.Value(), 80);
    EXPECT_EQ(m.Text(), "0.80 Sec");
    EXPECT_EQ(m.valor(), "0.80 Sec");
    EXPECT_TRUE(putUntouched());
    EXPECT_EQ(changes + clicks, 0);

    for (int i = 0; i < 3; ++i)
        m.arrowUp();
    EXPECT_EQ(m.Text(), "0.83 Sec");
    EXPECT_EQ(put(50, 2), (std::vector<int>{0x00, 0x53}));
    EXPECT_EQ(m.valor(), "0.80 Sec");

    m.Inicializacion();
    EXPECT_EQ(m.Text(), "0.80 Sec");
    EXPECT_EQ(put(50, 2), (std::vector<int>{0x00, 0x53}));
}

TEST_F(ByteUnR, KeypadHandOff)
{
    PropertyBag bag;
    bag.write("paso", static_cast<double>(0.01f), std::nullopt);  // stored in single precision
    Byte_UnR m;
    m.loadSettings(bag);
    bind(m);
    m.setTitulo("Block Trip Delay:");
    m.setDireccion("011A");
    m.setMin(5);
    m.setMax(100);
    m.setSmallChange(1);
    m.setFormato("###0.#0");
    m.setMedida("Sec");
    setGet(50, 50);
    m.Inicializacion();
    keypadBlock().Calc_Inc_B = 77;
    keypadBlock().Calc_Formato_C = "x";

    keypadReturns(m, 75, "&H004B");
    m.keypad();
    EXPECT_EQ(keypadRuns, 1);
    EXPECT_EQ(seen.Calc_Tipo, 1);
    EXPECT_EQ(seen.Calc_Titulo, "Block Trip Delay:");
    EXPECT_EQ(seen.Calc_Factor_A.count(), 1000000);  // exactly 100.0000
    EXPECT_EQ(seen.Calc_Inc_A, 1);
    EXPECT_EQ(seen.Calc_Valor_Viejo, 50);
    EXPECT_EQ(seen.Calc_Min, 5);
    EXPECT_EQ(seen.Calc_Max, 100);
    EXPECT_EQ(seen.Calc_Medida, "Sec");
    EXPECT_EQ(seen.Calc_Inc_B, 77);
    EXPECT_EQ(seen.Calc_Formato_C, "x");
    EXPECT_EQ(seen.editorDecimals, 2);
    EXPECT_EQ(m.Text(), "0.75 Sec");
    EXPECT_EQ(put(50, 2), (std::vector<int>{0x00, 0x4B}));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(m.Dato(), NumOrText(std::string("&H004B")));
    EXPECT_EQ(m.valor(), "0.50 Sec");

    // Cancel hands back the unchanged value, which is still written back.
    images.put.fill(kSentinel);
    keypadReturns(m, 75, "&H004B");
    m.setValue(50);
    keypadReturns(m, 50, "&H0032");
    m.keypad();
    EXPECT_EQ(put(50, 2), (std::vector<int>{0x00, 0x32}));
    EXPECT_EQ(clicks, 2);
}

TEST_F(ByteUnR, KeypadLimitsAreIntersectedWithTheWidth)
{
    Byte_UnR m;
    bind(m);
    m.setDireccion("0102");
    m.setDataLen(0);
    m.setMin(-10);
    m.setMax(1000);
    m.setSmallChange(1);
    m.setPaso(dec("1"));
    m.Inicializacion();
    keypadReturns(m, 0, "&H0000");
    m.keypad();
    EXPECT_EQ(seen.Calc_Min, 0);
    EXPECT_EQ(seen.Calc_Max, 255);
}

TEST_F(ByteUnR, NoRegisterPositionWritesNothing)
{
    Byte_UnR m;
    bind(m);
    m.setDireccion("0131");
    m.setMin(1);
    m.setMax(247);
    m.setSmallChange(1);
    m.setPaso(dec("1"));
    m.setFormato("##0");
    m.setMedida("");
    m.setValue(5);
    m.arrowUp();
    EXPECT_EQ(m.Value(), 6);
    EXPECT_EQ(m.Text(), "6 ");
    EXPECT_EQ(changes, 1);
    keypadReturns(m, 17, "&H0011");
    m.keypad();
    EXPECT_EQ(m.Value(), 17);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(putUntouched());
    EXPECT_FALSE(m.Inicializacion());
    EXPECT_TRUE(putUntouched());
}

TEST_F(ByteUnR, UnusableSettingsKeepTheKeypadShutAndTheArrowsStill)
{
    struct Case {
        const char* paso;
        std::int32_t step;
        bool arrowsWork;
    } cases[] = {{"0", 5, true}, {"1", 0, false}, {"1", -5, false}};
    for (const auto& c : cases) {
        images.put.fill(kSentinel);
        changes = clicks = 0;
        Byte_UnR m;
        bind(m);
        phaseCT(m);
        m.setPaso(dec(c.paso));
        m.setSmallChange(c.step);
        setGet(2, 300);
        m.Inicializacion();
        keypadReturns(m, 0, "&H0000");
        m.keypad();
        EXPECT_EQ(keypadRuns, 0);
        EXPECT_EQ(clicks, 0);
        m.arrowDown();
        EXPECT_EQ(changes, c.arrowsWork ? 1 : 0);
        EXPECT_EQ(putUntouched(), !c.arrowsWork);
    }
}

TEST_F(ByteUnR, SteppingNearTheThirtyTwoBitEdge)
{
    Byte_UnR m;
    bind(m);
    m.setDireccion("0102");
    m.setDataLen(2);
    m.setMin(-2147483647 - 1);
    m.setMax(2147483647);
    m.setSmallChange(1000);
    m.setPaso(dec("1"));
    m.setFormato("0");
    images.get[2] = 0x7F;
    images.get[3] = images.get[4] = images.get[5] = 0xFF;
    m.Inicializacion();
    m.setValue(2147483352);  // on the grid of steps from Min
    m.arrowUp();
    EXPECT_EQ(m.Value(), 2147483647);
    EXPECT_EQ(put(2, 4), (std::vector<int>{0x7F, 0xFF, 0xFF, 0xFF}));
    m.setValue(-2147483000);
    m.arrowDown();
    EXPECT_EQ(m.Value(), -2147483647 - 1);
    EXPECT_EQ(put(2, 4), (std::vector<int>{0x80, 0x00, 0x00, 0x00}));
}

TEST(ByteUnRHex, Cambio)
{
    EXPECT_EQ(Byte_UnR::Cambio(300), "0000012C");
    EXPECT_EQ(Byte_UnR::Cambio(-1), "FFFFFFFF");
}

} // namespace
} // namespace kova::test
