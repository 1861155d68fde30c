#pragma once
// Conversions of stored or by-name property values to the members' own
// types. Each gives nothing when the value does not fit the type; numbers
// with a fraction going into whole-number members round half to even.

#include "editors/PropertyBag.h"
#include "text/Decimal4.h"
#include "text/NumOrText.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kova {

std::optional<std::int64_t> propToWhole(const PropValue& v);  // half to even
std::optional<std::int32_t> propToInt32(const PropValue& v);
std::optional<std::int16_t> propToInt16(const PropValue& v);
std::optional<std::uint8_t> propToByte(const PropValue& v);
std::optional<std::uint32_t> propToColor(const PropValue& v);
std::optional<bool> propToBool(const PropValue& v);
std::optional<double> propToReal(const PropValue& v);
std::optional<std::string> propToText(const PropValue& v);
// A number or a text that spells one, to the nearest ten-thousandth.
std::optional<Decimal4> propToDecimal4(const PropValue& v);

// A scale given as v and converted to d is usable: 0 when v is 0,
// otherwise |d| between 0.0001 and 100000 and d equal to v to four decimals.
bool scaleAcceptable(const PropValue& v, Decimal4 d);

// Number-or-text kept in its own form: whole numbers that fit 32 bits stay
// whole, other numbers are reals, texts stay texts.
NumOrText propToNumOrText(const PropValue& v);
PropValue numOrTextToProp(const NumOrText& v);

// A four-decimal number as it is stored: a whole number when it has no
// fraction, otherwise a real number.
PropValue decimal4ToProp(Decimal4 d);

} // namespace kova
