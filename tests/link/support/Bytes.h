#pragma once
// Hex text <-> bytes for test vectors: "01 04 02 03".

#include <cstdint>
#include <string>
#include <vector>

namespace kova::test {

inline std::vector<std::uint8_t> bytes(const std::string& hex)
{
    std::vector<std::uint8_t> out;
    int nibble = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else continue;
        if (nibble < 0) nibble = v;
        else { out.push_back(static_cast<std::uint8_t>(nibble * 16 + v)); nibble = -1; }
    }
    return out;
}

inline std::string hex(const std::vector<std::uint8_t>& b)
{
    static const char* d = "0123456789ABCDEF";
    std::string s;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i) s += ' ';
        s += d[b[i] >> 4];
        s += d[b[i] & 15];
    }
    return s;
}

} // namespace kova::test
