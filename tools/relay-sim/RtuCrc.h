#pragma once
// CRC-16 of Modbus RTU computed bit by bit, independently of the program's
// table-driven CRC, so the simulator and the tests check our frames with a
// second implementation. Appended to a frame low byte first.

#include <cstddef>
#include <cstdint>

namespace kova::relaysim {

inline std::uint16_t rtuCrc16(const std::uint8_t* p, std::size_t n)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

} // namespace kova::relaysim
