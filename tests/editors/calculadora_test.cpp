#include "editors/Calculadora.h"

#include <gtest/gtest.h>

namespace kova {
namespace {

Decimal4 dec(const char* s)
{
    return *Decimal4::parse(s);
}

KeypadBlock kind1(const char* factor, int min, int max, int step, const char* unit, int old, int decimals = 0)
{
    KeypadBlock b;
    b.Calc_Tipo = 1;
    b.Calc_Titulo = "Title:";
    b.Calc_Factor_A = dec(factor);
    b.Calc_Min = min;
    b.Calc_Max = max;
    b.Calc_Inc_A = step;
    b.Calc_Medida = unit;
    b.Calc_Valor_Viejo = old;
    b.editorDecimals = decimals;
    return b;
}

KeypadBlock delayKind3(int old)
{
    KeypadBlock b;
    b.Calc_Tipo = 3;
    b.Calc_Min = 5;
    b.Calc_Max = 60000;
    b.Calc_Cambio_A = 100;
    b.Calc_Cambio_B = 1000;
    b.Calc_Inc_A = 1;
    b.Calc_Inc_B = 10;
    b.Calc_Inc_C = 100;
    b.Calc_Factor_A = b.Calc_Factor_B = b.Calc_Factor_C = dec("100");
    b.Calc_Formato_A = "#0.#0";
    b.Calc_Formato_B = "#0.0";
    b.Calc_Formato_C = "#0";
    b.Calc_Medida = "Sec";
    b.Calc_Valor_Viejo = old;
    return b;
}

KeypadBlock powerKind3()
{
    KeypadBlock p = delayKind3(1234);
    p.Calc_Min = 1;
    p.Calc_Max = 65000;
    p.Calc_Cambio_A = 1000;
    p.Calc_Cambio_B = 10000;
    p.Calc_Factor_A = p.Calc_Factor_B = p.Calc_Factor_C = dec("0.1");
    p.Calc_Formato_A = p.Calc_Formato_B = p.Calc_Formato_C = "#0";
    p.Calc_Medida = "KW";
    return p;
}

void type(Calculadora& c, const std::string& keys)
{
    for (char k : keys) {
        if (k == '.')
            c.Command2_Click();
        else
            c.Numeros_Click(k - '0');
    }
}

TEST(CalculadoraLabels, KindOne)
{
    struct Case {
        KeypadBlock block;
        const char *viejo, *rango, *inc;
    } cases[] = {
        {kind1("100", 5, 60000, 1, "Sec", 250, 2), "2.50 Sec", "0.05 To 600.00 Sec", "0.01"},
        {kind1("1", 5, 5000, 5, "A", 300), "300 A", "5 To 5000 A", "5"},
        {kind1("200", 1, 2000, 1, "", 11, 3), "0.055 ", "0.005 To 10.000 ", "0.005"},  // the editor's decimals
        {kind1("0.4", 1, 40, 1, "", 3, 2), "7.50 ", "2.50 To 100.00 ", "2.5"},
        {kind1("10", 1, 200, 1, "", 15), "1.5 ", "0.1 To 20.0 ", "0.1"},
    };
    for (auto& c : cases) {
        Calculadora k(c.block);
        const auto l = k.Form_Load();
        EXPECT_EQ(l.Titulo, "Title:");
        EXPECT_EQ(l.Viejo, c.viejo);
        EXPECT_EQ(l.Rango, c.rango);
        EXPECT_EQ(l.Incremento, c.inc);
        EXPECT_FALSE(l.Incremento_b_visible);
        EXPECT_FALSE(l.Incremento_c_visible);
    }
}

TEST(CalculadoraLabels, PatternFollowsFactor)
{
    struct Case {
        const char* factor;
        const char* viejo;  // old value 1234
    } cases[] = {
        {"0.1", "12340 "},   // "####0"
        {"1", "1234 "},      // "####0"
        {"2", "617.00 "},    // "##0.00"
        {"10", "123.4 "},    // "##0.0"
        {"100", "12.34 "},   // "##0.00"
        {"1000", "1.23 "},   // "##0.00"
    };
    for (auto& c : cases) {
        KeypadBlock b = kind1(c.factor, 0, 10, 1, "", 1234);
        EXPECT_EQ(Calculadora(b).Form_Load().Viejo, c.viejo) << c.factor;
    }
}

TEST(CalculadoraLabels, KindTwo)
{
    KeypadBlock b = kind1("100", 10, 6900, 1, "KV", 1380);
    b.Calc_Tipo = 2;
    b.Calc_Inc_B = 10;
    b.Calc_Cambio_A = 100;
    const auto l = Calculadora(b).Form_Load();
    EXPECT_EQ(l.Viejo, "13.80 KV");
    EXPECT_EQ(l.Rango, "0.10 To 69.00 KV");
    EXPECT_EQ(l.Incremento, "0.01: For Values < 1 KV");
    EXPECT_EQ(l.Incremento_b, "0.1: For Values >= 1 KV");
    EXPECT_TRUE(l.Incremento_b_visible);
    EXPECT_FALSE(l.Incremento_c_visible);
}

TEST(CalculadoraLabels, KindThree)
{
    KeypadBlock b = delayKind3(250);
    auto l = Calculadora(b).Form_Load();
    EXPECT_EQ(l.Viejo, "2.5 Sec");
    EXPECT_EQ(l.Rango, "0.05 To 600 Sec");
    EXPECT_EQ(l.Incremento, "0.01: For Values < 1.00");
    EXPECT_EQ(l.Incremento_b, "0.1: For Values >= 1.0 AND < 10.0");
    EXPECT_EQ(l.Incremento_c, "1: For Values >= 10");
    EXPECT_TRUE(l.Incremento_c_visible);

    KeypadBlock p = powerKind3();
    l = Calculadora(p).Form_Load();
    EXPECT_EQ(l.Viejo, "12340 KW");
    EXPECT_EQ(l.Rango, "10 To 650000 KW");
    EXPECT_EQ(l.Incremento, "10: For Values < 10000");
    EXPECT_EQ(l.Incremento_b, "100: For Values >= 10000 AND < 100000");
    EXPECT_EQ(l.Incremento_c, "1000: For Values >= 100000");
}

TEST(CalculadoraOk, ConversionIsExactAndRoundsHalfToEven)
{
    struct Case {
        const char* factor;
        const char* typed;
        int raw;
        const char* hex;
    } cases[] = {
        {"100", "2.5", 250, "&H00FA"},
        {"100", "0.125", 12, "&H000C"},
        {"100", "0.375", 38, "&H0026"},
        {"10", "1.25", 12, "&H000C"},
        {"100", "1.015", 102, "&H0066"},  // 101.5 exactly; a double product gives 101
        {"100", "2.675", 268, "&H010C"},
        {"0.1", "12300", 1230, "&H04CE"},
        {"1", "655", 655, "&H028F"},
        {"200", "0.055", 11, "&H000B"},  // as an editor of three decimals shows it
    };
    for (auto& c : cases) {
        KeypadBlock b = kind1(c.factor, 0, 65535, 1, "", 7);
        Calculadora k(b);
        k.Form_Load();
        type(k, c.typed);
        ASSERT_EQ(k.OK_Click(), Calculadora::OkResult::Accepted) << c.typed;
        EXPECT_EQ(b.Calc_Valor_Nuevo, c.raw) << c.typed;
        EXPECT_EQ(b.Calc_Dato_Hex, c.hex) << c.typed;
        EXPECT_EQ(b.Calc_Tipo, 1);
    }
}

TEST(CalculadoraOk, RangeIsCheckedBeforeStep)
{
    using R = Calculadora::OkResult;
    struct Case {
        KeypadBlock block;
        const char* typed;
        R result;
    } cases[] = {
        {kind1("1", 5, 5000, 5, "A", 300), "3", R::OutOfRange},  // also off-step
        {kind1("1", 5, 5000, 5, "A", 300), "302", R::IncorrectRange},
        {kind1("1", 5, 5000, 5, "A", 300), "305", R::Accepted},
        {kind1("100", 5, 60000, 1, "Sec", 250), "600.01", R::OutOfRange},
        {powerKind3(), "12345", R::IncorrectRange},  // 1234.5 -> 1234, step 10 there
        {powerKind3(), "12300", R::Accepted},
        {kind1("100", 0, 2147483647, 1, "", 0), "9999999999", R::OutOfRange},
        {kind1("1", 0, 100, 0, "", 0), "5", R::IncorrectRange},  // a zero step never divides
    };
    for (auto& c : cases) {
        Calculadora k(c.block);
        k.Form_Load();
        type(k, c.typed);
        EXPECT_EQ(k.OK_Click(), c.result) << c.typed;
    }
}

TEST(CalculadoraOk, StepByRange)
{
    using R = Calculadora::OkResult;
    KeypadBlock two = kind1("1", 0, 65535, 1, "", 0);
    two.Calc_Tipo = 2;
    two.Calc_Cambio_A = 100;
    two.Calc_Inc_B = 10;
    KeypadBlock three = delayKind3(0);
    three.Calc_Factor_A = dec("1");
    struct Case {
        KeypadBlock* block;
        const char* typed;
        R result;
    } cases[] = {
        {&two, "99", R::Accepted},         {&two, "100", R::Accepted},
        {&two, "105", R::IncorrectRange},  {&three, "100", R::Accepted},
        {&three, "1000", R::Accepted},     {&three, "1050", R::IncorrectRange},
        {&three, "1100", R::Accepted},     {&three, "105", R::IncorrectRange},
        {&three, "99", R::Accepted},
    };
    for (auto& c : cases) {
        const std::uint8_t tipo = c.block->Calc_Tipo;
        Calculadora k(*c.block);
        k.Form_Load();
        type(k, c.typed);
        EXPECT_EQ(k.OK_Click(), c.result) << int(tipo) << " " << c.typed;
        c.block->Calc_Tipo = tipo;
    }
}

TEST(CalculadoraOk, RejectedEntryIsNeverHandedBack)
{
    KeypadBlock b = kind1("1", 5, 5000, 5, "A", 300);
    b.Calc_Valor_Nuevo = 1;
    b.Calc_Dato_Hex = "sentinel";
    Calculadora k(b);
    k.Form_Load();
    type(k, "302");
    EXPECT_EQ(k.OK_Click(), Calculadora::OkResult::IncorrectRange);
    EXPECT_EQ(b.Calc_Valor_Nuevo, 1);
    EXPECT_EQ(b.Calc_Dato_Hex, "sentinel");
    EXPECT_EQ(b.Calc_Tipo, 1);  // still the kind it was opened with (1 here)
    k.Cancel_Click();
    EXPECT_EQ(b.Calc_Valor_Nuevo, 300);
    EXPECT_EQ(b.Calc_Dato_Hex, "&H012C");
    EXPECT_EQ(b.Calc_Tipo, 1);
}

TEST(CalculadoraKeys, DisplayBuffer)
{
    KeypadBlock b = kind1("100", 0, 60000, 1, "", 0);
    b.Calc_Valor_Nuevo = 42;
    Calculadora k(b);
    k.Form_Load();
    EXPECT_EQ(k.OK_Click(), Calculadora::OkResult::Ignored);  // nothing typed
    k.Command2_Click();
    EXPECT_EQ(k.OK_Click(), Calculadora::OkResult::Ignored);  // a point is no digit
    EXPECT_EQ(b.Calc_Valor_Nuevo, 42);
    k.Command1_Click();
    type(k, "1.2.3");
    EXPECT_EQ(k.Pantalla(), "1.23");
    k.Command1_Click();
    EXPECT_EQ(k.Pantalla(), "");
    type(k, "12345678901");
    EXPECT_EQ(k.Pantalla(), "1234567890");
    k.Command2_Click();
    EXPECT_EQ(k.Pantalla(), "1234567890");
}

TEST(CalculadoraKeys, UnknownKindDoesNothing)
{
    KeypadBlock b = kind1("1", 0, 100, 1, "", 0);
    b.Calc_Tipo = 0;
    Calculadora k(b);
    k.Form_Load();
    type(k, "5");
    EXPECT_EQ(k.OK_Click(), Calculadora::OkResult::Ignored);
    EXPECT_EQ(b.Calc_Tipo, 0);
}

TEST(Calculadora, ValorAHex)
{
    EXPECT_EQ(Calculadora::Valor_a_Hex(0), "&H0000");
    EXPECT_EQ(Calculadora::Valor_a_Hex(255), "&H00FF");
    EXPECT_EQ(Calculadora::Valor_a_Hex(65535), "&HFFFF");
    EXPECT_EQ(Calculadora::Valor_a_Hex(65536), "10000");
}

} // namespace
} // namespace kova
