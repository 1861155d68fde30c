#include "editors/Calculadora.h"

#include "text/HexText.h"
#include "text/NumberText.h"

#include <limits>

namespace kova {

namespace {

// Pattern of the shown numbers of kinds 1 and 2, chosen from the factor.
std::string displayPattern(Decimal4 f)
{
    const Decimal4 one = Decimal4::fromCount(Decimal4::kScale);
    const Decimal4 ten = Decimal4::fromCount(10 * Decimal4::kScale);
    if (f <= one)
        return "####0";
    if (f < ten)
        return "##0.00";
    if (f == ten)
        return "##0.0";
    return "##0.00";
}

// x / f in double precision (a zero factor, which no editor passes, shows 0).
double quotient(std::int32_t x, Decimal4 f)
{
    const double d = f.toDouble();
    return d == 0.0 ? 0.0 : static_cast<double>(x) / d;
}

std::string shortest(std::int32_t x, Decimal4 f)
{
    return generalNumber(quotient(x, f));
}

std::string inPattern(std::int32_t x, Decimal4 f, const std::string& pattern)
{
    return formatPattern(quotient(x, f), pattern);
}

// x / f as kinds 1 and 2 show it: in the display pattern, or where the
// editor's pattern has more decimals, in those, from the exact quotient (to
// four decimals, the most a scale has), so that it reads as the editor does.
std::string shownNumber(std::int32_t x, Decimal4 f, int editorDecimals)
{
    const std::string p = displayPattern(f);
    if (editorDecimals > patternDecimals(p))
        if (const auto q = Decimal4::fromCount(std::int64_t{x} * Decimal4::kScale).div(f))
            return formatPattern(*q, p.substr(0, p.find('.')) + "." + std::string(editorDecimals, '0'));
    return inPattern(x, f, p);
}

} // namespace

Calculadora::Labels Calculadora::Form_Load()
{
    pantalla_.clear();
    const KeypadBlock& b = block_;
    Labels l;
    l.Titulo = b.Calc_Titulo;
    if (b.Calc_Tipo < 3) {
        const Decimal4 f = b.Calc_Factor_A;
        const int d = b.editorDecimals;
        l.Viejo = shownNumber(b.Calc_Valor_Viejo, f, d) + " " + b.Calc_Medida;
        l.Rango = shownNumber(b.Calc_Min, f, d) + " To " + shownNumber(b.Calc_Max, f, d) + " "
                  + b.Calc_Medida;
        if (b.Calc_Tipo == 2) {
            const std::string cambio = inPattern(b.Calc_Cambio_A, f, "####0");
            l.Incremento = shortest(b.Calc_Inc_A, f) + ": For Values < " + cambio + " " + b.Calc_Medida;
            l.Incremento_b =
                shortest(b.Calc_Inc_B, f) + ": For Values >= " + cambio + " " + b.Calc_Medida;
            l.Incremento_b_visible = true;
        } else {
            l.Incremento = shortest(b.Calc_Inc_A, f);
        }
        return l;
    }
    // Kind 3: each range with its own factor and pattern.
    const std::int32_t old = b.Calc_Valor_Viejo;
    if (old < b.Calc_Cambio_A)
        l.Viejo = inPattern(old, b.Calc_Factor_A, b.Calc_Formato_A);
    else if (old < b.Calc_Cambio_B)
        l.Viejo = inPattern(old, b.Calc_Factor_B, b.Calc_Formato_B);
    else
        l.Viejo = inPattern(old, b.Calc_Factor_C, b.Calc_Formato_C);
    l.Viejo += " " + b.Calc_Medida;
    l.Rango = inPattern(b.Calc_Min, b.Calc_Factor_A, b.Calc_Formato_A) + " To "
              + inPattern(b.Calc_Max, b.Calc_Factor_C, b.Calc_Formato_C) + " " + b.Calc_Medida;
    l.Incremento = shortest(b.Calc_Inc_A, b.Calc_Factor_A) + ": For Values < "
                   + inPattern(b.Calc_Cambio_A, b.Calc_Factor_A, b.Calc_Formato_A);
    l.Incremento_b = shortest(b.Calc_Inc_B, b.Calc_Factor_B) + ": For Values >= "
                     + inPattern(b.Calc_Cambio_A, b.Calc_Factor_B, b.Calc_Formato_B) + " AND < "
                     + inPattern(b.Calc_Cambio_B, b.Calc_Factor_B, b.Calc_Formato_B);
    l.Incremento_c = shortest(b.Calc_Inc_C, b.Calc_Factor_C) + ": For Values >= "
                     + inPattern(b.Calc_Cambio_B, b.Calc_Factor_C, b.Calc_Formato_C);
    l.Incremento_b_visible = true;
    l.Incremento_c_visible = true;
    return l;
}

void Calculadora::Numeros_Click(int index)
{
    if (index < 0 || index > 9 || pantalla_.size() >= kMaxDisplay)
        return;
    pantalla_.push_back(static_cast<char>('0' + index));
}

void Calculadora::Command1_Click()
{
    pantalla_.clear();
}

void Calculadora::Command2_Click()
{
    if (pantalla_.size() >= kMaxDisplay || pantalla_.find('.') != std::string::npos)
        return;
    pantalla_.push_back('.');
}

Calculadora::OkResult Calculadora::OK_Click()
{
    KeypadBlock& b = block_;
    if (pantalla_.find_first_of("0123456789") == std::string::npos)
        return OkResult::Ignored;
    if (b.Calc_Tipo < 1 || b.Calc_Tipo > 3)
        return OkResult::Ignored;
    // The candidate stays local until it is accepted.
    const auto raw = multiplyTextHalfEven(pantalla_, b.Calc_Factor_A);
    if (!raw || *raw < std::numeric_limits<std::int32_t>::min()
        || *raw > std::numeric_limits<std::int32_t>::max() || *raw < b.Calc_Min
        || *raw > b.Calc_Max)
        return OkResult::OutOfRange;
    const std::int32_t step = stepAt(b, *raw);
    if (step <= 0 || *raw % step != 0)
        return OkResult::IncorrectRange;
    b.Calc_Valor_Nuevo = static_cast<std::int32_t>(*raw);
    b.Calc_Dato_Hex = Valor_a_Hex(b.Calc_Valor_Nuevo);
    b.Calc_Tipo = 1;
    return OkResult::Accepted;
}

void Calculadora::Cancel_Click()
{
    KeypadBlock& b = block_;
    b.Calc_Valor_Nuevo = b.Calc_Valor_Viejo;
    b.Calc_Dato_Hex = Valor_a_Hex(b.Calc_Valor_Nuevo);
    b.Calc_Tipo = 1;
}

std::int32_t Calculadora::stepAt(const KeypadBlock& b, std::int64_t raw)
{
    if (b.Calc_Tipo == 2 && raw >= b.Calc_Cambio_A)
        return b.Calc_Inc_B;
    if (b.Calc_Tipo == 3 && raw >= b.Calc_Cambio_A)
        return raw <= b.Calc_Cambio_B ? b.Calc_Inc_B : b.Calc_Inc_C;
    return b.Calc_Inc_A;
}

std::string Calculadora::Valor_a_Hex(std::int32_t v)
{
    return valorAHex(v);
}

} // namespace kova
