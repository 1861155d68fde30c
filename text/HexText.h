#pragma once
// Hexadecimal texts: the write texts of the Put image, register addresses
// and the editors' hex display. Upper case digits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kova {

// Eight digits, two's complement for negatives: 300 -> "0000012C".
std::string hex8(std::int32_t value);
// Two digits for a byte: 0x0C -> "0C".
std::string hex2(std::uint8_t value);
// At least four digits, never cut: 0x1F -> "001F", 0x12345 -> "12345".
std::string hex4word(std::uint32_t value);
// Shortest hex text: 0 -> "0", 0x20D -> "20D", -1 -> "FFFFFFFF".
std::string hexText(std::uint32_t value);
// "&H" and four digits when the hex text has 1 to 4 digits, otherwise the
// bare digits: 255 -> "&H00FF", 65536 -> "10000", -1 -> "FFFFFFFF".
std::string valorAHex(std::int32_t value);

// Value of the hexadecimal digits (either case) at the start of the text,
// up to eight; reading stops at the first other character; none gives 0.
std::uint32_t hexPrefix(std::string_view text);

// Strict form for register addresses: 1 to 8 hex digits and nothing else.
std::optional<std::uint32_t> parseHex(std::string_view text);

} // namespace kova
