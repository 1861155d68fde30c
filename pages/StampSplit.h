#pragma once
// A time-stamp text of the engine ("15/01/2005 08:30:00", or "0 0" when the
// relay holds neither date nor time) split into its date and time parts.

#include <string>
#include <string_view>

namespace kova {

struct StampParts {
    std::string fecha; // date part
    std::string hora;  // time part
};

// Splits at the last blank of the text (trailing blanks ignored), so a date
// written with blanks still keeps them: the date part is everything before
// it, the time part everything after it, both without trailing blanks. A
// text without a blank is all time: "X" gives "" and "X".
StampParts splitStamp(std::string_view stamp);

} // namespace kova
