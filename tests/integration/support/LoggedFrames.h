#pragma once
// Frames read back from the simulated relay's request log, for tests that
// check the exact bytes the program sent.

#include "SimHarness.h"

#include <sstream>
#include <string>

namespace kova::test {

// "01 10 01 01" -> its bytes.
inline Bytes hexBytes(const std::string& text)
{
    Bytes out;
    std::istringstream in(text);
    std::string b;
    while (in >> b)
        out.push_back(static_cast<std::uint8_t>(std::stoi(b, nullptr, 16)));
    return out;
}

// The frame of a logged request, rebuilt from its fields with a CRC
// computed here (the simulator takes only frames whose CRC is right).
inline Bytes frameOf(const std::string& line)
{
    std::istringstream in(line);
    std::string w, fc, addr, count;
    in >> w >> w >> w >> fc >> w >> addr >> w >> count;
    const int a = std::stoi(addr, nullptr, 16), n = std::stoi(count);
    Bytes f = {0x01, static_cast<std::uint8_t>(std::stoi(fc)), static_cast<std::uint8_t>(a >> 8),
               static_cast<std::uint8_t>(a & 0xFF), 0x00, static_cast<std::uint8_t>(n)};
    if (f[1] == 16) {
        f.push_back(static_cast<std::uint8_t>(2 * n));
        in >> w; // "data"
        for (int i = 0; i < n && in >> w; ++i) {
            const int v = std::stoi(w, nullptr, 16);
            f.push_back(static_cast<std::uint8_t>(v >> 8));
            f.push_back(static_cast<std::uint8_t>(v & 0xFF));
        }
    }
    return withCrc(f);
}

} // namespace kova::test
