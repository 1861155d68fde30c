#pragma once
// The register images and the register map: where each relay register
// lives in the Put, Get and actual-values byte images.
//
// Every register takes two bytes, high byte first. The setpoint blocks lie
// end to end in the Put and Get images (bytes 0..297; 298..300 belong to no
// block), the actual-value blocks in the actual-values image (bytes 0..341;
// 342..400 belong to no block).

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kova {

struct RegisterImages {
    static constexpr std::size_t kSetpointBytes = 301;
    static constexpr std::size_t kActualBytes = 401;

    std::array<std::uint8_t, kSetpointBytes> put{};    // edited setpoints, sent to the relay
    std::array<std::uint8_t, kSetpointBytes> get{};    // setpoints as read or loaded
    std::array<std::uint8_t, kActualBytes> actual{};   // input registers as received
    // Working images of the whole-set transfers only.
    std::array<std::uint8_t, kSetpointBytes> devolucion{};    // Imagen_Devolucion
    std::array<std::uint8_t, kSetpointBytes> transferencia{}; // Imagen_Transferencia
};

// The images of the running program (all zero at start).
RegisterImages& processImages();

struct RegisterBlock {
    std::uint16_t first;
    std::uint16_t last;
    constexpr int registers() const { return last - first + 1; }
};

// Setpoint blocks 1..6 (element j is block j + 1).
inline constexpr std::array<RegisterBlock, 6> Bloques_Setpoints{{
    {0x0101, 0x0118}, {0x0119, 0x0130}, {0x1000, 0x1018},
    {0x1019, 0x1031}, {0x1032, 0x104A}, {0x104B, 0x1064},
}};

// Actual-value blocks 0..8.
inline constexpr std::array<RegisterBlock, 9> Bloques_ActualValues{{
    {0x0200, 0x020C}, {0x020D, 0x0226}, {0x022F, 0x0247}, {0x024B, 0x0252}, {0x025E, 0x0269},
    {0x026A, 0x027E}, {0x027F, 0x0293}, {0x02D0, 0x02D6}, {0x0600, 0x0625},
}};

namespace detail {
template <std::size_t N>
constexpr std::optional<std::uint16_t> indexIn(const std::array<RegisterBlock, N>& blocks, std::uint32_t reg)
{
    int offset = 0;
    for (const auto& b : blocks) {
        if (b.first <= reg && reg <= b.last)
            return static_cast<std::uint16_t>(static_cast<int>(reg - b.first) * 2 + offset);
        offset += 2 * b.registers();
    }
    return std::nullopt;
}
template <std::size_t N>
constexpr int blockBytes(const std::array<RegisterBlock, N>& blocks)
{
    int n = 0;
    for (const auto& b : blocks)
        n += 2 * b.registers();
    return n;
}
} // namespace detail

// Byte index of a register's high byte, or nothing for a register in no
// block. Never index 0 for an unknown register: reads of nothing give 0 and
// writes to nothing do nothing.
constexpr std::optional<std::uint16_t> setpointIndex(std::uint32_t reg)
{
    return detail::indexIn(Bloques_Setpoints, reg);
}
constexpr std::optional<std::uint16_t> actualValueIndex(std::uint32_t reg)
{
    return detail::indexIn(Bloques_ActualValues, reg);
}

// The same from the address text: 1 to 4 hexadecimal digits, either case
// ("0101", "20D"). Any other text has no index.
std::optional<std::uint16_t> Indice_Setpoint(std::string_view address);
std::optional<std::uint16_t> Indice_ActualValue(std::string_view address);

static_assert(detail::blockBytes(Bloques_Setpoints) == 298);
static_assert(detail::blockBytes(Bloques_ActualValues) == 342);
static_assert(*setpointIndex(0x1064) == 296);
static_assert(*actualValueIndex(0x0625) == 340);

using SetpointImage = std::array<std::uint8_t, RegisterImages::kSetpointBytes>;

// The request that writes setpoint block k (1..6: 27, 28, 110..113), else 0.
constexpr int Codigo_De_Escritura(int k)
{
    return k == 1 ? 27 : k == 2 ? 28 : k >= 3 && k <= 6 ? 107 + k : 0;
}
// The setpoint block a block-write request writes, else 0.
constexpr int Bloque_De_Escritura(int codigo)
{
    return codigo == 27 ? 1 : codigo == 28 ? 2 : codigo >= 110 && codigo <= 113 ? codigo - 107 : 0;
}

// The setpoint block a write frame (function 16 from the block's first
// register) writes, else 0.
int Bloque_De_Trama(const std::vector<std::uint8_t>& trama);

// Copies the bytes of setpoint block k (1..6) from one setpoint image into
// another. Another k copies nothing.
void copySetpointBlock(const SetpointImage& from, SetpointImage& to, int k);

// Copies setpoint block k (1..6) from the Get image into the Put image,
// dropping that block's edits. Another k copies nothing.
void Restaurar_Bloque(RegisterImages& images, int k);

// Copies all of the Put image into the Get image.
void Copiar_Put_A_Get(RegisterImages& images);

} // namespace kova
