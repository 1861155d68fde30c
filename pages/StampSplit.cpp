#include "pages/StampSplit.h"

namespace kova {

namespace {

std::string_view withoutTrailingBlanks(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

} // namespace

StampParts splitStamp(std::string_view stamp)
{
    const std::string_view s = withoutTrailingBlanks(stamp);
    const std::size_t blank = s.rfind(' ');
    if (blank == std::string_view::npos)
        return {std::string(), std::string(s)};
    return {std::string(withoutTrailingBlanks(s.substr(0, blank))), std::string(s.substr(blank + 1))};
}

} // namespace kova
