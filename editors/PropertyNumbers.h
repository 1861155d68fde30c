#pragma once
// The number rules of an editor's settings as an engineer types them, in a
// property page or the property browser, and as a form file stores them:
// a number is never read as something other than what was typed.
// - whole-number properties (limits, steps, change points, register width
//   and byte, bit numbers) take digits only;
// - scales (Paso, Paso_A, Paso_B, Paso_C) take digits and at most one ".";
// - anything else ("5,000", "1e3", "-1", " 5", "") is refused.
// Properties that hold no number (texts, the item count, colours) follow no
// rule here.

#include "editors/PropertyHost.h"

#include <string>
#include <string_view>

namespace kova {

enum class NumberRule { None, Whole, Decimal };

NumberRule numberRuleOf(std::string_view property);
// True when the text passes the property's rule (always for NumberRule::None).
bool numberTextAcceptable(std::string_view property, std::string_view text);
// Why a typed text the property's rule lets through still gives no value:
// a scale with more than four decimals (trailing zeros aside), which a
// scale cannot hold. "Invalid value for <property>: why"; "" when none.
std::string numberTextProblem(std::string_view property, std::string_view text);

// Why a text that breaks its property's rule is refused, when it is a
// number all the same (as a form file may store it): "is negative", "is
// not a whole number", "has more than four decimals" (a scale); "" when it
// is no number or breaks none of these.
std::string numberTextReason(std::string_view property, std::string_view text);

// The limits and steps of a control that no typed text may give: a scale
// or SmallChange that is not above 0, a Min or Max outside the register's
// width (byte 0-255, word 0-65535). "Invalid value for <property>: why";
// "" when none.
std::string numberRangeProblem(const PropertyHost& control);

} // namespace kova
