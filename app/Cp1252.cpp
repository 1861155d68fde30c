#include "app/Cp1252.h"

#include <array>
#include <cstdint>

namespace kova::cp1252 {
namespace {

// Code points of bytes 0x80..0x9F; 0 marks an unassigned byte.
constexpr std::array<char32_t, 32> kAlto = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t aCodigo(std::uint8_t b)
{
    if (b >= 0x80 && b <= 0x9F && kAlto[b - 0x80] != 0)
        return kAlto[b - 0x80];
    return b;
}

int aByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    if (c >= 0x80 && c <= 0x9F)
        return kAlto[c - 0x80] == 0 ? static_cast<int>(c) : -1;
    for (std::size_t i = 0; i < kAlto.size(); ++i)
        if (kAlto[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

void ponerUtf8(std::string& s, char32_t c)
{
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Reads one code point at i and advances i; a malformed sequence gives
// U+FFFD and advances one byte.
char32_t leerUtf8(std::string_view s, std::size_t& i)
{
    const auto b0 = static_cast<std::uint8_t>(s[i]);
    int extra = 0;
    char32_t c = 0;
    if (b0 < 0x80) {
        ++i;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        c = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + extra >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<std::uint8_t>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMinimo[] = {0, 0x80, 0x800, 0x10000};
    i += extra + 1;
    if (c < kMinimo[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0xFFFD;
    return c;
}

} // namespace

std::string codificar(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const int b = aByte(leerUtf8(utf8, i));
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

bool codificable(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();)
        if (aByte(leerUtf8(utf8, i)) < 0)
            return false;
    return true;
}

std::string decodificar(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes)
        ponerUtf8(out, aCodigo(static_cast<std::uint8_t>(ch)));
    return out;
}

std::size_t caracteres(std::string_view utf8)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); ++n)
        leerUtf8(utf8, i);
    return n;
}

std::string ajustar(std::string_view utf8, std::size_t n)
{
    std::size_t i = 0;
    std::size_t cuenta = 0;
    while (i < utf8.size() && cuenta < n) {
        leerUtf8(utf8, i);
        ++cuenta;
    }
    std::string out(utf8.substr(0, i));
    out.append(n - cuenta, ' ');
    return out;
}

std::string recortar(std::string_view texto)
{
    const auto a = texto.find_first_not_of(' ');
    if (a == std::string_view::npos)
        return {};
    const auto b = texto.find_last_not_of(' ');
    return std::string(texto.substr(a, b - a + 1));
}

} // namespace kova::cp1252
