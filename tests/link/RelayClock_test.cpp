#include "link/RelayClock.h"

#include <gtest/gtest.h>

#include <array>

namespace kova {
namespace {

TEST(RelayClock, PacksAndRefuses)
{
    RelayClock clock;
    EXPECT_EQ(clock.buffer(), (std::array<std::uint8_t, 6>{0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(clock.Date_Time(12, 7, 2005, 9, 5, 7));
    const std::array<std::uint8_t, 6> july{0x00, 0x05, 0x1D, 0x89, 0x14, 0x46};
    EXPECT_EQ(clock.buffer(), july);
    ASSERT_TRUE(clock.Date_Time(31, 12, 2099, 23, 59, 59));
    const std::array<std::uint8_t, 6> end{0x00, 0x63, 0x33, 0xF7, 0xEE, 0x4E};
    EXPECT_EQ(clock.buffer(), end);
    ASSERT_TRUE(clock.Date_Time(29, 2, 2000, 0, 0, 0));
    ASSERT_TRUE(clock.Date_Time(31, 12, 2127, 0, 0, 0));
    EXPECT_EQ(clock.buffer()[1], 127);

    ASSERT_TRUE(clock.Date_Time(12, 7, 2005, 9, 5, 7));
    const struct {
        int d, mo, y, h, mi, s;
    } refused[] = {{12, 7, 1999, 9, 5, 7}, {12, 7, 2128, 9, 5, 7}, {12, 13, 2005, 9, 5, 7}, {30, 2, 2004, 9, 5, 7},
                   {29, 2, 2005, 0, 0, 0}, {12, 7, 2005, 9, 60, 7}, {12, 7, 2005, 24, 5, 7}, {12, 7, 2005, 9, 5, 60},
                   {0, 7, 2005, 9, 5, 7},  {12, 0, 2005, 9, 5, 7},  {12, 7, 2005, -1, 5, 7}};
    for (const auto& c : refused) {
        EXPECT_FALSE(clock.Date_Time(c.d, c.mo, c.y, c.h, c.mi, c.s)) << c.d << "/" << c.mo << "/" << c.y;
        EXPECT_EQ(clock.buffer(), july);
    }
}

} // namespace
} // namespace kova
