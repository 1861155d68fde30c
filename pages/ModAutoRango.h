#pragma once
// The unit formatter of the value pages and value reports: a measured value
// and a unit kind become a number text and a unit text, shown side by side.
// Currents, voltages and powers get a decimal prefix (K, M, G) so that the
// number stays below 1000; the other kinds are formatted without one.
// Number texts always use "." as the decimal point.

#include "text/Decimal4.h"
#include "text/NumOrText.h"

#include <cstdint>
#include <string>

namespace kova {

// Unit kinds.
enum UnitKind : std::int32_t {
    kUnitless = 0,    // the prefix letter alone
    kAmps = 1,        // "A"
    kVolts = 2,       // "V"
    kWatts = 3,       // "W"
    kVoltAmps = 4,    // "VA"
    kVars = 5,        // "VAR"
    kKwh = 6,         // "KWH"
    kKvarh = 7,       // "KVARH"
    kPercent = 8,     // "%"
    kHertz = 9,       // "Hz"
    kPlain = 10,      // ""
    kPowerFactor = 11,// "Lead" / "Lag"
    kHours = 12,      // "Hr(s)"
    kYears = 13,      // "Year(s)"
    kCelsius = 14,    // U+00BA then "C"
};

// Overwrites both texts for every kind and value. Kinds 0-5 take a prefix
// from +-1000 on and two decimals below 99.9 (every negative value), one
// from 99.9 on; kinds 6, 7 no decimals; 8, 9 two; 11 the magnitude with two
// decimals and "Lead" below zero, "Lag" otherwise; 10, 12-14 and any
// unknown kind the shortest text (an unknown kind with an empty unit).
void Auto_Rango(std::int32_t Tipo, std::string& Valor_Medida, std::string& Unidad_Medida, Decimal4 Valor);

// A decoded entry on its way to a value label: nothing or an empty text is
// 0; a number or a number text goes through Auto_Rango (rounded to four
// decimals); a text that spells no number in range is shown unchanged with
// an empty unit. Never fails.
void Mostrar_Medida(std::int32_t Tipo, const NumOrText& entrada, std::string& Valor_Medida,
                    std::string& Unidad_Medida);

} // namespace kova
