#include "pages/ModAutoRango.h"

#include "text/NumberText.h"

#include <optional>

namespace kova {

namespace {

const char* baseUnit(std::int32_t kind)
{
    static const char* const units[] = {"",     "A",  "V",  "W",     "VA",      "VAR",     "KWH",         "KVARH",
                                        "%",    "Hz", "",   nullptr, "Hr(s)",   "Year(s)", "\xC2\xBA" "C"};
    return units[kind];
}

// The quotient in double precision, rounded back to four decimals (a
// quotient is always smaller than the value, so it stays in range).
Decimal4 scaled(Decimal4 v, double divisor)
{
    return Decimal4::fromDouble(v.toDouble() / divisor).value_or(Decimal4());
}

} // namespace

void Auto_Rango(std::int32_t Tipo, std::string& Valor_Medida, std::string& Unidad_Medida, Decimal4 Valor)
{
    if (Tipo < kUnitless || Tipo > kCelsius) {
        Valor_Medida = Valor.toText();
        Unidad_Medida.clear();
        return;
    }
    switch (Tipo) {
    case kKwh:
    case kKvarh:
        Valor_Medida = formatPattern(Valor, "#####0");
        Unidad_Medida = baseUnit(Tipo);
        return;
    case kPercent:
    case kHertz:
        Valor_Medida = formatPattern(Valor, "###0.00");
        Unidad_Medida = baseUnit(Tipo);
        return;
    case kPowerFactor: {
        DecimalDigits magnitude = Valor.digits();
        magnitude.negative = false;
        Valor_Medida = formatPattern(magnitude, "###0.00");
        Unidad_Medida = Valor.count() < 0 ? "Lead" : "Lag";
        return;
    }
    case kPlain:
    case kHours:
    case kYears:
    case kCelsius:
        Valor_Medida = Valor.toText();
        Unidad_Medida = baseUnit(Tipo);
        return;
    default:
        break;
    }

    // Prefix kinds 0-5. The bounds are exact decimal comparisons.
    const std::int64_t c = Valor.count();
    const std::uint64_t mag = c < 0 ? ~static_cast<std::uint64_t>(c) + 1u : static_cast<std::uint64_t>(c);
    constexpr std::uint64_t kilo = 1000u * Decimal4::kScale;
    std::string prefix;
    Decimal4 v = Valor;
    if (mag >= kilo * 1000000u) {
        v = scaled(Valor, 1e9);
        prefix = "G";
    } else if (mag >= kilo * 1000u) {
        v = scaled(Valor, 1e6);
        prefix = "M";
    } else if (mag >= kilo) {
        v = scaled(Valor, 1e3);
        prefix = "K";
    }
    Unidad_Medida = prefix + baseUnit(Tipo);
    // Below 99.9 (every negative value) two decimals; from 99.9 one. The
    // band from 999.9 on (a scaled value that rounded up to 1000.0000)
    // keeps one decimal as well.
    Valor_Medida = formatPattern(v, v < Decimal4::fromCount(999000) ? "###0.00" : "###0.0");
}

void Mostrar_Medida(std::int32_t Tipo, const NumOrText& entrada, std::string& Valor_Medida,
                    std::string& Unidad_Medida)
{
    std::optional<Decimal4> v = entrada.isEmpty() ? Decimal4() : entrada.asDecimal();
    if (!v && entrada.isText()) {
        // A number text with more than four decimals: rounded to four.
        if (const auto d = entrada.toNumber())
            v = Decimal4::fromDouble(*d);
    }
    if (!v) {
        Valor_Medida = entrada.toText();
        Unidad_Medida.clear();
        return;
    }
    Auto_Rango(Tipo, Valor_Medida, Unidad_Medida, *v);
}

} // namespace kova
