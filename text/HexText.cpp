#include "text/HexText.h"

namespace kova {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string padded(std::uint32_t value, std::size_t width)
{
    std::string s = hexText(value);
    if (s.size() < width)
        s.insert(0, width - s.size(), '0');
    return s;
}

} // namespace

std::string hexText(std::uint32_t value)
{
    std::string s;
    do {
        s.insert(s.begin(), kDigits[value & 0xFu]);
        value >>= 4;
    } while (value != 0);
    return s;
}

std::string hex8(std::int32_t value) { return padded(static_cast<std::uint32_t>(value), 8); }

std::string hex2(std::uint8_t value) { return padded(value, 2); }

std::string hex4word(std::uint32_t value) { return padded(value, 4); }

std::string valorAHex(std::int32_t value)
{
    const std::string s = hexText(static_cast<std::uint32_t>(value));
    if (s.size() <= 4)
        return "&H" + padded(static_cast<std::uint32_t>(value), 4);
    return s;
}

std::uint32_t hexPrefix(std::string_view text)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < text.size() && i < 8; ++i) {
        const int d = hexValue(text[i]);
        if (d < 0)
            break;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return v;
}

std::optional<std::uint32_t> parseHex(std::string_view text)
{
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t v = 0;
    for (char c : text) {
        const int d = hexValue(c);
        if (d < 0)
            return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return v;
}

} // namespace kova
