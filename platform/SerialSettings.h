#pragma once
// The serial settings text "baud,parity,data,stop" (e.g. "9600,N,8,1").

#include <optional>
#include <string_view>

namespace kova {

struct SerialSettings {
    int baud = 9600;
    char parity = 'N';  // 'N', 'E', 'O', 'M' (mark) or 'S' (space), upper case
    int dataBits = 8;   // 5 to 8
    int stopBits = 1;   // 1 or 2

    // Bits on the line per character: start, data, parity, stop.
    int bitsPerCharacter() const { return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits; }
};

// Parses a settings text; nullopt when it does not parse or names a rate
// the serial driver does not offer (rates 110 to 115200 of the standard
// list). The parity letter may be given in either case.
std::optional<SerialSettings> parseSerialSettings(std::string_view text);

} // namespace kova
