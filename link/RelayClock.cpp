#include "link/RelayClock.h"

#include "text/DateText.h"

namespace kova {

bool RelayClock::Date_Time(int Day, int Month, int Year, int Hours, int Minute, int Second)
{
    if (Year < 2000 || Year > 2127 || !isValidDate(Year, Month, Day) || !isValidTime(Hours, Minute, Second))
        return false;
    const std::uint32_t t = static_cast<std::uint32_t>(Month * 1024 + Day * 32 + Hours);
    const std::uint32_t u = static_cast<std::uint32_t>(Minute * 1024 + Second * 10);
    buffer_ = {0,
               static_cast<std::uint8_t>(Year - 2000),
               static_cast<std::uint8_t>(t >> 8),
               static_cast<std::uint8_t>(t & 0xFF),
               static_cast<std::uint8_t>(u >> 8),
               static_cast<std::uint8_t>(u & 0xFF)};
    return true;
}

} // namespace kova
