#pragma once
// Table-driven Modbus RTU CRC-16 used for every frame and every reply check.
// CRC16 returns uchCRCHi * 256 + uchCRCLo; frames carry the high byte first,
// which is the standard Modbus wire order (0x0071 for 01 04 02 03 00 04).

#include <array>
#include <cstddef>
#include <cstdint>

namespace kova::BasicCRC {

// The published high-order and low-order lookup tables (cell 256 unused, 0).
extern const std::array<std::uint8_t, 257> auchCRCHi;
extern const std::array<std::uint8_t, 257> auchCRCLo;

// Kept for the start-up order; the tables are built at compile time.
void Inicializar_Tablas_CRC();

// CRC over msg[0 .. length-1]. A length <= 0 gives 0xFFFF (nothing read).
std::uint16_t CRC16(const std::uint8_t* msg, std::ptrdiff_t length);

} // namespace kova::BasicCRC
