#include "platform/SerialSettings.h"

#include "text/NumberText.h"

#include <algorithm>
#include <array>
#include <limits>

namespace kova {

namespace {

constexpr std::array<int, 11> kRates = {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

std::optional<int> wholeNumber(std::string_view s)
{
    const auto v = parseInteger(s);
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*v);
}

} // namespace

std::optional<SerialSettings> parseSerialSettings(std::string_view text)
{
    std::array<std::string_view, 4> f;
    std::size_t start = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const std::size_t comma = text.find(',', start);
        if ((i < 3) == (comma == std::string_view::npos))
            return std::nullopt; // too few or too many fields
        f[i] = text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        start = comma + 1;
    }

    SerialSettings s;
    const auto baud = wholeNumber(f[0]);
    if (!baud || std::find(kRates.begin(), kRates.end(), *baud) == kRates.end())
        return std::nullopt;
    s.baud = *baud;

    if (f[1].size() != 1)
        return std::nullopt;
    const char p = f[1][0] >= 'a' && f[1][0] <= 'z' ? static_cast<char>(f[1][0] - 'a' + 'A') : f[1][0];
    if (p != 'N' && p != 'E' && p != 'O' && p != 'M' && p != 'S')
        return std::nullopt;
    s.parity = p;

    const auto data = wholeNumber(f[2]);
    if (!data || *data < 5 || *data > 8)
        return std::nullopt;
    s.dataBits = *data;

    const auto stop = wholeNumber(f[3]);
    if (!stop || (*stop != 1 && *stop != 2))
        return std::nullopt;
    s.stopBits = *stop;
    return s;
}

} // namespace kova
