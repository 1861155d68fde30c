#pragma once
// The clock buffer the relay clock is set from: three registers (six bytes,
// high byte first) for 0x0090..0x0092. Register 1 holds year - 2000 (high
// byte 0), register 2 month x 1024 + day x 32 + hours, register 3
// minute x 1024 + seconds x 10 (tenths of a second).

#include <array>
#include <cstdint>

namespace kova {

class RelayClock {
public:
    // Packs a date and time into the buffer. Values the registers cannot
    // carry (a year outside 2000..2127, no real calendar date, hours past
    // 23, minutes or seconds past 59) are refused: false, buffer unchanged.
    bool Date_Time(int Day, int Month, int Year, int Hours, int Minute, int Second);

    // The six bytes as last packed (all zero at start).
    const std::array<std::uint8_t, 6>& buffer() const { return buffer_; }

private:
    std::array<std::uint8_t, 6> buffer_{};
};

} // namespace kova
