#include "editors/PropertyNumbers.h"

#include "editors/PropConvert.h"
#include "editors/PropertyPage.h"
#include "editors/ValueEditorModel.h"
#include "text/Decimal4.h"
#include "text/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace kova {

namespace {

bool oneOf(std::string_view property, std::initializer_list<std::string_view> names)
{
    return std::any_of(names.begin(), names.end(), [&](std::string_view n) {
        return PropertyBag::lowerKey(n) == PropertyBag::lowerKey(property);
    });
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

NumberRule numberRuleOf(std::string_view property)
{
    if (oneOf(property, {"Min", "Max", "SmallChange", "Inc_A", "Inc_B", "Inc_C", "Cambio_A", "Cambio_B",
                         "Cambio_de_paso", "DataLen", "High", "Tipo", "Bit1", "Bit2", "Bit3", "Bit4"}))
        return NumberRule::Whole;
    if (oneOf(property, {"Paso", "Paso_A", "Paso_B", "Paso_C"}))
        return NumberRule::Decimal;
    return NumberRule::None;
}

bool numberTextAcceptable(std::string_view property, std::string_view text)
{
    const NumberRule rule = numberRuleOf(property);
    if (rule == NumberRule::None)
        return true;
    const auto digits = std::count_if(text.begin(), text.end(), isDigit);
    const auto points = std::count(text.begin(), text.end(), '.');
    const auto allowedPoints = rule == NumberRule::Decimal ? 1 : 0;
    return digits > 0 && points <= allowedPoints && static_cast<std::size_t>(digits + points) == text.size();
}

std::string numberTextProblem(std::string_view property, std::string_view text)
{
    if (numberRuleOf(property) != NumberRule::Decimal || !numberTextAcceptable(property, text))
        return {};
    const auto point = text.find('.');
    if (point == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of('0');
    if (last == std::string_view::npos || last <= point + 4)
        return {};
    return "Invalid value for " + std::string(property) + ": " + std::string(text) + " has more than four decimals";
}

std::string numberTextReason(std::string_view property, std::string_view text)
{
    const NumberRule rule = numberRuleOf(property);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (rule == NumberRule::None || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return {};
    if (v < 0)
        return "is negative";
    if (rule == NumberRule::Whole && v != std::floor(v))
        return "is not a whole number";
    // Four decimals hold it when it comes back from them unchanged.
    const auto d = Decimal4::fromDouble(v);
    if (rule == NumberRule::Decimal && (!d || d->toDouble() != v))
        return "has more than four decimals";
    return {};
}

std::string numberRangeProblem(const PropertyHost& control)
{
    for (const char* p : {"SmallChange", "Paso", "Paso_A", "Paso_B", "Paso_C"}) {
        const auto v = control.getProperty(p);
        if (!v)
            continue;
        const auto d = propToDecimal4(*v);
        if (!d || d->count() <= 0)
            return std::string("Invalid value for ") + p + ": " + propText(*v) + " is not above 0";
    }
    const auto* e = dynamic_cast<const ValueEditorModel*>(&control);
    const auto width = e ? e->widthRange() : std::nullopt;
    if (!width)
        return {};
    for (const auto& [name, value] : std::array<std::pair<const char*, std::int32_t>, 2>{
             {{"Min", e->Min()}, {"Max", e->Max()}}})
        if (value < width->first || value > width->second)
            return std::string("Invalid value for ") + name + ": " + integerText(value) +
                   " is outside the register width (" + integerText(width->first) + " to " +
                   integerText(width->second) + ")";
    // An editor whose limits meet can show only one value: a typing slip, not a setting.
    if (e->Min() == e->Max())
        return "Invalid value for Max: " + integerText(e->Max()) + " is not above Min";
    return {};
}

} // namespace kova
