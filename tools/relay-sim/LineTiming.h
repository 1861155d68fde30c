#pragma once
// Time a request and its reply take on a real serial line: each character
// is a start bit, the data bits, the parity bit if any and the stop bits
// (10 bits at 8N1, 11 with parity), and each frame is followed by the
// 3.5-character silence that ends a Modbus RTU frame.

#include <chrono>
#include <cstdint>

namespace kova::relaysim {

struct LineTiming {
    long baud = 9600;
    int bitsPerCharacter = 10;

    // Duration of `characters` characters on the line, in microseconds.
    std::chrono::microseconds characters(double characters) const
    {
        return std::chrono::microseconds(
            static_cast<long long>(characters * bitsPerCharacter * 1'000'000.0 / static_cast<double>(baud) + 0.5));
    }

    // From the first byte of a request to the end of the silence after its
    // reply: both frames and a 3.5-character gap after each.
    std::chrono::microseconds exchange(int requestBytes, int replyBytes) const
    {
        return characters(requestBytes + replyBytes + 2 * 3.5);
    }
};

// Length of the normal reply to a request frame of `len` bytes: a read
// (functions 1 to 4) returns its data with address, function, byte count and
// CRC; single writes echo 8 bytes, block writes answer with 8. Anything else
// is taken as an exception reply of 5 bytes.
inline int replyLength(const std::uint8_t* q, int len)
{
    if (len < 6)
        return 5;
    const int fc = q[1];
    const int count = q[4] << 8 | q[5];
    switch (fc) {
    case 1:
    case 2: return 5 + (count + 7) / 8;
    case 3:
    case 4: return 5 + 2 * count;
    case 5:
    case 6:
    case 15:
    case 16: return 8;
    default: return 5;
    }
}

} // namespace kova::relaysim
