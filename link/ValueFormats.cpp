#include "link/ValueFormats.h"

#include "text/DateText.h"
#include "text/Decimal4.h"
#include "text/NumberText.h"

#include <bit>

namespace kova {

namespace {

// The unsigned big-endian value of bytes i .. i + n - 1 of an image; 0 when
// they do not all lie in it.
template <std::size_t N>
std::uint32_t bigEndian(const std::array<std::uint8_t, N>& img, int i, int n)
{
    if (i < 0 || i + n > static_cast<int>(N))
        return 0;
    std::uint32_t v = 0;
    for (int k = 0; k < n; ++k)
        v = v << 8 | img[static_cast<std::size_t>(i + k)];
    return v;
}

std::optional<std::uint16_t> indexOf(std::uint16_t reg, bool actual)
{
    return actual ? actualValueIndex(reg) : setpointIndex(reg);
}

std::uint32_t word(const RegisterImages& im, std::uint16_t reg, bool actual)
{
    const auto i = indexOf(reg, actual);
    if (!i)
        return 0;
    return actual ? Leer_Word_RX(im, *i) : Leer_Word_RX2(im, *i);
}

double longWord(const RegisterImages& im, std::uint16_t reg, bool actual)
{
    const auto i = indexOf(reg, actual);
    if (!i)
        return 0;
    return actual ? Leer_Long_RX(im, *i) : static_cast<double>(Leer_Long_RX2(im, *i));
}

float scaled(double raw, double divisor)
{
    return static_cast<float>(raw / divisor);
}

} // namespace

std::uint32_t Leer_Word_RX(const RegisterImages& im, int i) { return bigEndian(im.actual, i, 2); }

double Leer_Long_RX(const RegisterImages& im, int i) { return bigEndian(im.actual, i, 4); }

int Bit_Activo(const RegisterImages& im, int bit, int i)
{
    if (bit < 0 || bit > 7)
        return 0;
    return static_cast<int>(bigEndian(im.actual, i, 1) >> bit) & 1;
}

std::uint32_t Leer_Word_RX2(const RegisterImages& im, int i) { return bigEndian(im.get, i, 2); }

std::uint32_t Leer_Long_RX2(const RegisterImages& im, int i) { return bigEndian(im.get, i, 4); }

int Leer_Codigo_RX2(const RegisterImages& im, int a, int b, int c, int i)
{
    const std::uint32_t w = Leer_Word_RX2(im, i);
    auto set = [w](int bit) { return bit >= 0 && bit < 16 && ((w >> bit) & 1u) != 0; };
    return (set(a) ? 1 : 0) + (set(b) ? 2 : 0) + (set(c) ? 4 : 0);
}

float Formato_4(const RegisterImages& im, std::uint16_t reg, bool actual)
{
    return scaled(longWord(im, reg, actual), 10.0);
}

float Formato_4_1Word(const RegisterImages& im, std::uint16_t reg, bool actual)
{
    return scaled(word(im, reg, actual), 10.0);
}

float Formato_5(const RegisterImages& im, std::uint16_t reg)
{
    double u = longWord(im, reg, true);
    if (u > 2147483647.0)
        u -= 4294967296.0;
    return scaled(u, 100.0);
}

float Formato_6(const RegisterImages& im, std::uint16_t reg, bool actual)
{
    return scaled(longWord(im, reg, actual), 100.0);
}

float Formato_6_1Word(const RegisterImages& im, std::uint16_t reg, bool actual)
{
    return scaled(word(im, reg, actual), 100.0);
}

std::string Formato_19(const RegisterImages& im, std::uint16_t reg)
{
    const std::uint32_t w = word(im, reg, true);
    if (w == 0)
        return "0";
    if (w <= 32767)
        return generalNumber(scaled(w, 100.0));
    return generalNumber((static_cast<double>(w) - 65536.0) / 100.0);
}

std::string Formato_19_Patron(const RegisterImages& im, std::uint16_t reg, std::string_view pattern)
{
    const std::uint32_t w = word(im, reg, true);
    const std::int64_t v = w > 32767 ? static_cast<std::int64_t>(w) - 65536 : static_cast<std::int64_t>(w);
    return formatPattern(Decimal4::fromCount(v * 100), pattern);
}

float Formato_7(const RegisterImages& im, std::uint16_t reg)
{
    const auto i = actualValueIndex(reg);
    if (!i)
        return 0.0f;
    const std::uint32_t bits = Leer_Word_RX(im, *i) << 16 | Leer_Word_RX(im, *i + 2);
    return std::bit_cast<float>(bits);
}

std::string Formato_8(const RegisterImages& im, int i, bool actual, bool eventoDate, const TextTables& texts,
                      std::string_view datePattern)
{
    auto w = [&](int k) { return actual ? Leer_Word_RX(im, i + k) : Leer_Word_RX2(im, i + k); };
    const std::uint32_t w1 = w(0), w2 = w(2), w3 = w(4);
    const int cause = static_cast<int>(w1 >> 7);
    const int year = static_cast<int>(w1 & 0x7F);
    const int month = static_cast<int>((w2 & 0x3C00) >> 10);
    const int day = static_cast<int>((w2 & 0x3E0) >> 5);
    const int hour = static_cast<int>(w2 & 0x1F);
    const int minute = static_cast<int>(w3 >> 10);
    const int seconds = static_cast<int>((w3 & 0x3FF) / 10);

    const std::string& causeText = texts.causa(cause);
    const std::string date = day == 0 && month == 0 && year == 0 ? "0" : shortDate(2000 + year, month, day, datePattern);
    const std::string time = hour == 0 && minute == 0 && seconds == 0 ? "0" : timeText(hour, minute, seconds);
    std::string out;
    if (eventoDate) {
        out += causeText;
        out += ',';
    }
    out += date;
    out += ' ';
    out += time;
    return out;
}

} // namespace kova
