#include "link/BasicCRC.h"

#include <array>

namespace kova::BasicCRC {
namespace {

// Both tables derive from the reflected polynomial 0xA001: for index i the
// bitwise CRC step of one byte gives a 16-bit value whose low byte belongs to
// the high-order table and whose high byte to the low-order table.
constexpr std::uint16_t step(unsigned i)
{
    std::uint16_t crc = static_cast<std::uint16_t>(i);
    for (int b = 0; b < 8; ++b)
        crc = (crc & 1u) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001u)
                         : static_cast<std::uint16_t>(crc >> 1);
    return crc;
}

constexpr std::array<std::uint8_t, 257> makeHi()
{
    std::array<std::uint8_t, 257> t{};
    for (unsigned i = 0; i < 256; ++i)
        t[i] = static_cast<std::uint8_t>(step(i) & 0xFF);
    return t;
}

constexpr std::array<std::uint8_t, 257> makeLo()
{
    std::array<std::uint8_t, 257> t{};
    for (unsigned i = 0; i < 256; ++i)
        t[i] = static_cast<std::uint8_t>(step(i) >> 8);
    return t;
}

constexpr auto kHi = makeHi();
constexpr auto kLo = makeLo();

static_assert(kHi[0] == 0x00 && kHi[1] == 0xC1 && kHi[2] == 0x81 && kHi[3] == 0x40 && kHi[255] == 0x40);
static_assert(kLo[0] == 0x00 && kLo[1] == 0xC0 && kLo[2] == 0xC1 && kLo[3] == 0x01 && kLo[255] == 0x40);

} // namespace

const std::array<std::uint8_t, 257> auchCRCHi = kHi;
const std::array<std::uint8_t, 257> auchCRCLo = kLo;

void Inicializar_Tablas_CRC() {}

std::uint16_t CRC16(const std::uint8_t* msg, std::ptrdiff_t length)
{
    std::uint8_t uchCRCHi = 0xFF;
    std::uint8_t uchCRCLo = 0xFF;
    for (std::ptrdiff_t i = 0; i < length; ++i) {
        const std::uint8_t uIndex = static_cast<std::uint8_t>(uchCRCHi ^ msg[i]);
        uchCRCHi = static_cast<std::uint8_t>(uchCRCLo ^ auchCRCHi[uIndex]);
        uchCRCLo = auchCRCLo[uIndex];
    }
    return static_cast<std::uint16_t>((uchCRCHi << 8) | uchCRCLo);
}

} // namespace kova::BasicCRC
