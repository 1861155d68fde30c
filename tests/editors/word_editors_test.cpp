#include "editor_fixture.h"

#include "editors/Byte_UnR.h"
#include "editors/Word_DosR.h"
#include "editors/Word_TresR.h"

namespace kova::test {
namespace {

using WordUnR = EditorFixture;
using WordDosR = EditorFixture;
using WordTresR = EditorFixture;

// ---- one-range word editor -------------------------------------------------

TEST_F(WordUnR, ExactProduct)
{
    struct Case {
        std::uint16_t value;
        const char* formato;
        const char* medida;
        const char* text;
    } cases[] = {{1234, "##0.#0", "Sec", "12.34 Sec"}, {25, "#0.0", "", "0.3 "}};
    for (const auto& c : cases) {
        Word_UnR m;
        bind(m);
        m.setDireccion("0102");
        m.setDataLen(1);
        m.setPaso(dec("0.01"));
        m.setFormato(c.formato);
        m.setMedida(c.medida);
        setGet(2, c.value);
        m.Inicializacion();
        EXPECT_EQ(m.Text(), c.text);
    }
}

TEST_F(WordUnR, ClicksAtLimitsWriteBackAndLeaveDato)
{
    Word_UnR m;
    bind(m);
    m.setDireccion("0102");
    m.setDataLen(1);
    m.setMin(10);
    m.setMax(300);
    m.setSmallChange(5);
    m.setPaso(dec("1"));
    m.setFormato("0");
    m.setDato(NumOrText(std::string("&H00FA")));
    setGet(2, 300);
    m.Inicializacion();
    m.arrowUp();
    EXPECT_EQ(put(2, 2), (std::vector<int>{0x01, 0x2C}));
    EXPECT_EQ(changes, 1);
    m.arrowDown();
    EXPECT_EQ(m.Value(), 295);
    EXPECT_EQ(m.Dato(), NumOrText(std::string("&H00FA")));

    setGet(2, 10);
    m.Inicializacion();
    images.put.fill(kSentinel);
    const std::string before = m.Text();
    m.arrowDown();
    EXPECT_EQ(m.Value(), 10);
    EXPECT_EQ(m.Text(), before);
    EXPECT_EQ(put(2, 2), (std::vector<int>{0x00, 0x0A}));
    EXPECT_EQ(changes, 3);

    keypadReturns(m, 0x100, "&H0100");
    m.keypad();
    EXPECT_EQ(m.Dato(), NumOrText(std::string("&H0100")));
    EXPECT_EQ(put(2, 2), (std::vector<int>{0x01, 0x00}));
}

TEST_F(WordUnR, WriteBackByWidth)
{
    struct Case {
        std::int16_t dataLen, high;
        std::int32_t value;
        std::vector<int> put;  // bytes 2, 3
    } cases[] = {
        {0, 0, 0x12, {kSentinel, 0x12}},
        {0, 1, 0x12, {0x12, kSentinel}},
        {0, 0, 300, {kSentinel, kSentinel}},
        {1, 0, 0x1234, {0x12, 0x34}},
    };
    for (const auto& c : cases) {
        images.put.fill(kSentinel);
        Word_UnR m;
        bind(m);
        m.setDireccion("0102");
        m.setDataLen(c.dataLen);
        m.setHigh(c.high);
        m.Inicializacion();
        m.setValue(c.value);
        m.Actualizar();
        EXPECT_EQ(put(2, 2), c.put) << c.dataLen << "/" << c.high << "/" << c.value;
    }
}

TEST_F(WordUnR, TwoRegisterWidthIsReadOnly)
{
    Word_UnR m;
    bind(m);
    m.setDireccion("0102");
    m.setDataLen(2);
    m.setMin(0);
    m.setMax(1000);
    m.setSmallChange(1);
    m.setPaso(dec("1"));
    m.Inicializacion();
    EXPECT_TRUE(m.readOnly());
    const int before = m.Value();
    m.arrowUp();
    keypadReturns(m, 7, "&H0007");
    m.keypad();
    EXPECT_EQ(m.Value(), before);
    EXPECT_EQ(keypadRuns, 0);
    EXPECT_EQ(changes + clicks, 0);
    EXPECT_TRUE(putUntouched());
}

// ---- two-range editor ------------------------------------------------------

// Frequency 1 delay on register 0x104B (index 246).
void frequencyDelay(Word_DosR& m)
{
    m.setDireccion("104B");
    m.setDataLen(1);
    m.setMin(10);
    m.setMax(60000);
    m.setCambio_de_paso(NumOrText(std::string("1000")));
    m.setInc_A(NumOrText(std::string("10")));
    m.setInc_B(NumOrText(std::string("100")));
    m.setPaso_A(dec("0.01"));
    m.setPaso_B(dec("0.01"));
    m.setFormato("##0.0");
    m.setMedida("Sec");
}

TEST_F(WordDosR, StepChangesAtChangePoint)
{
    struct Case {
        std::uint16_t start;
        bool up;
        int result;
        const char* text;
    } cases[] = {
        {1000, false, 990, "9.9 Sec"},  {1000, true, 1100, "11.0 Sec"},
        {1005, false, 1000, "10.0 Sec"},  {990, true, 1000, "10.0 Sec"},
        {1005, true, 1100, "11.0 Sec"},  {15, false, 10, "0.1 Sec"},  // off the grid: to its next value; stops at Min
        {59950, true, 60000, "600.0 Sec"},
    };
    for (bool asText : {true, false}) {
        for (const auto& c : cases) {
            images.put.fill(kSentinel);
            changes = 0;
            Word_DosR m;
            bind(m);
            frequencyDelay(m);
            if (!asText) {
                m.setCambio_de_paso(NumOrText(std::int32_t{1000}));
                m.setInc_A(NumOrText(10.0));
                m.setInc_B(NumOrText(std::int16_t{100}));
            }
            m.setDato(NumOrText(std::string("&H0001")));
            setGet(246, c.start);
            m.Inicializacion();
            c.up ? m.arrowUp() : m.arrowDown();
            EXPECT_EQ(m.Value(), c.result) << c.start;
            EXPECT_EQ(m.Text(), c.text) << c.start;
            EXPECT_EQ(put(246, 2), (std::vector<int>{c.result >> 8, c.result & 0xFF}));
            EXPECT_EQ(changes, 1);
            EXPECT_EQ(m.Dato(), NumOrText(std::string("&H0001")));
        }
    }
}

TEST_F(WordDosR, ClickAtLimitDoesNothing)
{
    for (auto [start, up] : {std::pair{10, false}, std::pair{60000, true}}) {
        Word_DosR m;
        bind(m);
        frequencyDelay(m);
        setGet(246, static_cast<std::uint16_t>(start));
        m.Inicializacion();
        const std::string text = m.Text();
        up ? m.arrowUp() : m.arrowDown();
        EXPECT_EQ(m.Value(), start);
        EXPECT_EQ(m.Text(), text);
        EXPECT_TRUE(putUntouched());
        EXPECT_EQ(changes, 0);
    }
}

TEST_F(WordDosR, Display)
{
    struct Case {
        std::uint16_t value;
        const char* paso;
        const char* formato;
        const char* medida;
        const char* text;
    } cases[] = {
        {1234, "0.01", "##0.0", "Sec", "12.3 Sec"},
        {1225, "0.01", "##0.0", "Sec", "12.3 Sec"},  // half away from zero
        {1380, "0.01", "####0.00", "KV", "13.80 KV"},
        {250, "1", "#0", "%CT", "250 %CT"},
    };
    for (const auto& c : cases) {
        Word_DosR m;
        bind(m);
        m.setDireccion("104B");
        m.setDataLen(1);
        m.setPaso_A(dec(c.paso));
        m.setPaso_B(dec("5"));  // never read
        m.setFormato(c.formato);
        m.setMedida(c.medida);
        setGet(246, c.value);
        m.Inicializacion();
        EXPECT_EQ(m.Text(), c.text);
    }
}

void vtPrimary(Word_DosR& m)
{
    m.setTitulo("VT Primary");
    m.setDireccion("0105");
    m.setDataLen(1);
    m.setMin(10);
    m.setMax(6900);
    m.setCambio_de_paso(NumOrText(std::string("100")));
    m.setInc_A(NumOrText(std::string("1")));
    m.setInc_B(NumOrText(std::string("10")));
    m.setPaso_A(dec("0.01"));
    m.setPaso_B(dec("0.01"));
    m.setFormato("####0.00");
    m.setMedida("KV");
}

TEST_F(WordDosR, KeypadHandOffAndReturn)
{
    Word_DosR m;
    bind(m);
    vtPrimary(m);
    setGet(8, 1380);
    m.Inicializacion();
    KeypadBlock& b = keypadBlock();
    b.Calc_Cambio_B = 4242;
    b.Calc_Inc_C = 43;
    b.Calc_Factor_B = dec("7");
    b.Calc_Factor_C = dec("8");
    b.Calc_Formato_A = "a";
    b.Calc_Formato_B = "b";
    b.Calc_Formato_C = "c";
    keypadReturns(m, 110, "&H006E");
    m.keypad();
    EXPECT_EQ(seen.Calc_Tipo, 2);
    EXPECT_EQ(seen.Calc_Titulo, "VT Primary");
    EXPECT_EQ(seen.Calc_Min, 10);
    EXPECT_EQ(seen.Calc_Max, 6900);
    EXPECT_EQ(seen.Calc_Valor_Viejo, 1380);
    EXPECT_EQ(seen.Calc_Medida, "KV");
    EXPECT_EQ(seen.Calc_Inc_A, 1);
    EXPECT_EQ(seen.Calc_Inc_B, 10);
    EXPECT_EQ(seen.Calc_Cambio_A, 100);
    EXPECT_EQ(seen.Calc_Factor_A, dec("100"));
    EXPECT_EQ(seen.Calc_Cambio_B, 4242);
    EXPECT_EQ(seen.Calc_Inc_C, 43);
    EXPECT_EQ(seen.Calc_Factor_B, dec("7"));
    EXPECT_EQ(seen.Calc_Factor_C, dec("8"));
    EXPECT_EQ(seen.Calc_Formato_A + seen.Calc_Formato_B + seen.Calc_Formato_C, "abc");

    EXPECT_EQ(m.Text(), "1.10 KV");
    EXPECT_EQ(put(8, 2), (std::vector<int>{0x00, 0x6E}));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(m.Dato(), NumOrText(std::string("&H006E")));
    EXPECT_EQ(m.valor(), "13.80 KV");

    images.put.fill(kSentinel);
    keypadReturns(m, 110, "&H006E");  // Cancel: the old value comes back
    m.keypad();
    EXPECT_EQ(put(8, 2), (std::vector<int>{0x00, 0x6E}));
    EXPECT_EQ(clicks, 2);
}

TEST_F(WordDosR, SettingsThatSpellNoStepMakeTheEditorInert)
{
    struct Case {
        NumOrText cambio, incA, incB;
    } cases[] = {
        {NumOrText("abc"), NumOrText("10"), NumOrText("100")},
        {NumOrText("1000"), NumOrText("abc"), NumOrText("100")},
        {NumOrText("1000"), NumOrText("1.5"), NumOrText("100")},
        {NumOrText("1000"), NumOrText("10"), NumOrText(std::int32_t{0})},
    };
    for (const auto& c : cases) {
        Word_DosR m;
        bind(m);
        frequencyDelay(m);
        m.setCambio_de_paso(c.cambio);
        m.setInc_A(c.incA);
        m.setInc_B(c.incB);
        setGet(246, 500);
        m.Inicializacion();
        m.arrowUp();
        m.arrowDown();
        keypadReturns(m, 600, "&H0258");
        m.keypad();
        EXPECT_EQ(m.Value(), 500);
        EXPECT_EQ(keypadRuns, 0);
        EXPECT_EQ(changes + clicks, 0);
        EXPECT_TRUE(putUntouched());
    }
}

// ---- three-range editor ----------------------------------------------------

void delayProfile(Word_TresR& m, const char* formatoA = "#0.00")
{
    m.setTitulo("Phase Timed O/C Delay:");
    m.setDireccion("1004");
    m.setDataLen(1);
    m.setMin(5);
    m.setMax(60000);
    m.setCambio_A(dec("100"));
    m.setCambio_B(dec("1000"));
    m.setInc_A(1);
    m.setInc_B(10);
    m.setInc_C(100);
    m.setPaso_A(dec("0.01"));
    m.setPaso_B(dec("0.01"));
    m.setPaso_C(dec("0.01"));
    m.setFormatoA(formatoA);
    m.setFormatoB("#0.0");
    m.setFormatoC("#0");
    m.setMedida("Sec");
}

void powerProfile(Word_TresR& m)
{
    m.setDireccion("105A");
    m.setDataLen(1);
    m.setMin(1);
    m.setMax(65000);
    m.setCambio_A(dec("1000"));
    m.setCambio_B(dec("10000"));
    m.setInc_A(1);
    m.setInc_B(10);
    m.setInc_C(100);
    m.setPaso_A(dec("10"));
    m.setPaso_B(dec("10"));
    m.setPaso_C(dec("10"));
    m.setFormatoA("#0");
    m.setFormatoB("#0");
    m.setFormatoC("#0");
    m.setMedida("KW");
}

TEST_F(WordTresR, InicializacionUsesTheValuesRangePattern)
{
    struct Case {
        std::uint16_t value;
        const char* text;
    } cases[] = {{99, "0.99 Sec"}, {100, "1.0 Sec"}, {999, "10.0 Sec"}, {1000, "10 Sec"}};
    for (const char* formatoA : {"#0.#0", "#0.00"}) {
        for (const auto& c : cases) {
            Word_TresR m;
            bind(m);
            delayProfile(m, formatoA);
            setGet(104, c.value);
            m.Inicializacion();
            EXPECT_EQ(m.Text(), c.text);
            EXPECT_EQ(m.valor(), c.text);
        }
    }
}

// No text the editor shows, after a read or an arrow step, is longer than
// the longest of the texts a widget sizes its field by.
TEST_F(WordTresR, ExtremeTextsHoldTheLongestText)
{
    Word_TresR m;
    bind(m);
    delayProfile(m, "#0.#0");
    std::size_t longest = 0, shown = 0;
    for (const std::string& t : m.extremeTexts())
        longest = std::max(longest, t.size());
    for (int v = 5; v <= 60000; ++v) {
        setGet(104, static_cast<std::uint16_t>(v));
        m.Inicializacion();
        shown = std::max(shown, m.Text().size());
        if (v == 99 || v == 999)  // "1.00 Sec": the pattern of the range stepped from
            shown = std::max(shown, (m.arrowUp(), m.Text().size()));
    }
    EXPECT_EQ(shown, std::string("10.0 Sec").size());
    EXPECT_GE(longest, shown);
}

TEST_F(WordTresR, ArrowsShowWithTheRangeBeforeTheStep)
{
    struct Case {
        std::uint16_t start;
        bool up;
        int result;
        const char* text;
    } cases[] = {
        {100, false, 99, "0.99 Sec"},  {100, true, 110, "1.1 Sec"},
        {99, true, 100, "1.00 Sec"},   {1000, false, 990, "9.9 Sec"},
        {1000, true, 1100, "11 Sec"},  {1001, false, 1000, "10 Sec"},  // off the grid
        {59950, true, 60000, "600 Sec"},  // stops at Max instead of 60050
        {6, false, 5, "0.05 Sec"},
    };
    for (const auto& c : cases) {
        images.put.fill(kSentinel);
        changes = 0;
        Word_TresR m;
        bind(m);
        delayProfile(m);
        setGet(104, c.start);
        m.Inicializacion();
        c.up ? m.arrowUp() : m.arrowDown();
        EXPECT_EQ(m.Value(), c.result) << c.start;
        EXPECT_EQ(m.Text(), c.text) << c.start;
        EXPECT_EQ(put(104, 2), (std::vector<int>{c.result >> 8, c.result & 0xFF}));
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(WordTresR, ClickAtLimitDoesNothing)
{
    for (auto [start, up] : {std::pair{5, false}, std::pair{60000, true}}) {
        Word_TresR m;
        bind(m);
        delayProfile(m);
        setGet(104, static_cast<std::uint16_t>(start));
        m.Inicializacion();
        up ? m.arrowUp() : m.arrowDown();
        EXPECT_EQ(m.Value(), start);
        EXPECT_TRUE(putUntouched());
        EXPECT_EQ(changes, 0);
    }
}

TEST_F(WordTresR, PowerProfile)
{
    struct Case {
        std::uint16_t start;
        int arrow;  // 0 none, 1 up, -1 down
        int result;
        const char* text;
    } cases[] = {
        {1234, 0, 1234, "12340 KW"},
        {999, 1, 1000, "10000 KW"},
        {10000, -1, 9990, "99900 KW"},
        {10000, 1, 10100, "101000 KW"},
    };
    for (const auto& c : cases) {
        Word_TresR m;
        bind(m);
        powerProfile(m);
        setGet(276, c.start);
        m.Inicializacion();
        if (c.arrow > 0)
            m.arrowUp();
        else if (c.arrow < 0)
            m.arrowDown();
        EXPECT_EQ(m.Value(), c.result);
        EXPECT_EQ(m.Text(), c.text);
    }
}

TEST_F(WordTresR, KeypadHandOffFillsTheWholeBlock)
{
    struct Case {
        const char* cambioA;
        int calcCambioA;
    } cases[] = {{"100", 100}, {"100.5", 100}, {"101.5", 102}};
    for (const auto& c : cases) {
        Word_TresR m;
        bind(m);
        delayProfile(m, "#0.#0");
        m.setCambio_A(dec(c.cambioA));
        setGet(104, 250);
        m.Inicializacion();
        keypadReturns(m, 250, "&H00FA");
        m.keypad();
        EXPECT_EQ(seen.Calc_Tipo, 3);
        EXPECT_EQ(seen.Calc_Titulo, "Phase Timed O/C Delay:");
        EXPECT_EQ(seen.Calc_Cambio_A, c.calcCambioA);
        EXPECT_EQ(seen.Calc_Cambio_B, 1000);
        EXPECT_EQ(seen.Calc_Factor_A, dec("100"));
        EXPECT_EQ(seen.Calc_Factor_B, dec("100"));
        EXPECT_EQ(seen.Calc_Factor_C, dec("100"));
        EXPECT_EQ(seen.Calc_Formato_A, "#0.#0");
        EXPECT_EQ(seen.Calc_Formato_B, "#0.0");
        EXPECT_EQ(seen.Calc_Formato_C, "#0");
        EXPECT_EQ(seen.Calc_Inc_A, 1);
        EXPECT_EQ(seen.Calc_Inc_B, 10);
        EXPECT_EQ(seen.Calc_Inc_C, 100);
        EXPECT_EQ(seen.Calc_Min, 5);
        EXPECT_EQ(seen.Calc_Max, 60000);
        EXPECT_EQ(seen.Calc_Valor_Viejo, 250);
    }
}

TEST_F(WordTresR, KeypadReturn)
{
    Word_TresR m;
    bind(m);
    delayProfile(m);
    setGet(104, 5000);
    m.Inicializacion();
    keypadReturns(m, 250, "&H00FA");
    m.keypad();
    EXPECT_EQ(m.Text(), "2.5 Sec");
    EXPECT_EQ(put(104, 2), (std::vector<int>{0x00, 0xFA}));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(m.valor(), "50 Sec");
}

TEST_F(WordTresR, MixedScales)
{
    Word_TresR m;
    bind(m);
    delayProfile(m);
    m.setPaso_B(dec("0.02"));
    setGet(104, 500);
    m.Inicializacion();
    m.arrowDown();
    EXPECT_EQ(m.Value(), 490);
    EXPECT_EQ(m.Text(), "9.8 Sec");
    setGet(104, 490);
    m.Inicializacion();
    EXPECT_EQ(m.Text(), "4.9 Sec");
}

TEST_F(WordTresR, UnusableSettings)
{
    struct Case {
        const char* what;
        std::function<void(Word_TresR&)> spoil;
        bool arrowsWork;
    } cases[] = {
        {"zero scale C", [](Word_TresR& m) { m.setPaso_C(Decimal4()); }, true},
        {"zero step B", [](Word_TresR& m) { m.setInc_B(0); }, false},
        {"change points swapped", [](Word_TresR& m) { m.setCambio_A(dec("2000")); }, false},
        {"change point past 32 bits",
         [](Word_TresR& m) { m.setCambio_B(*Decimal4::fromInt(3000000000LL)); }, true},
    };
    for (const auto& c : cases) {
        images.put.fill(kSentinel);
        changes = clicks = 0;
        Word_TresR m;
        bind(m);
        delayProfile(m);
        c.spoil(m);
        setGet(104, 500);
        m.Inicializacion();
        keypadReturns(m, 600, "&H0258");
        m.keypad();
        EXPECT_EQ(keypadRuns, 0) << c.what;
        EXPECT_EQ(clicks, 0) << c.what;
        m.arrowUp();
        EXPECT_EQ(changes, c.arrowsWork ? 1 : 0) << c.what;
        EXPECT_EQ(putUntouched(), !c.arrowsWork) << c.what;
    }
}

} // namespace
} // namespace kova::test
