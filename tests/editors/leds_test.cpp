#include "editors/LEDS.h"

#include <gtest/gtest.h>

namespace kova {
namespace {

TEST(LEDS, IntervalZeroNeverTicks)
{
    LEDS l;
    EXPECT_TRUE(l.Enabled());
    EXPECT_FALSE(l.timerRunning());
    l.tick(true);
    EXPECT_TRUE(l.lit());
}

TEST(LEDS, BlinksWhileOnlineAndStopsOffline)
{
    LEDS l;
    int timerChanges = 0;
    l.onTimerChanged = [&] { ++timerChanges; };
    l.setInterval(500);
    EXPECT_TRUE(l.timerRunning());
    l.tick(true);
    EXPECT_FALSE(l.lit());
    l.tick(true);
    EXPECT_TRUE(l.lit());  // one blink takes two ticks
    l.tick(true);
    EXPECT_FALSE(l.lit());
    timerChanges = 0;
    l.tick(false);
    EXPECT_FALSE(l.timerRunning());
    EXPECT_FALSE(l.Enabled());
    EXPECT_FALSE(l.lit());  // stays dark
    EXPECT_EQ(timerChanges, 1);
    l.tick(true);
    EXPECT_FALSE(l.lit());
    l.setEnabled(true);
    EXPECT_TRUE(l.timerRunning());
    l.tick(true);
    EXPECT_TRUE(l.lit());
}

TEST(LEDS, EnabledWhileOffline)
{
    LEDS l;
    l.setInterval(250);
    l.tick(false);
    EXPECT_TRUE(l.lit());
    EXPECT_FALSE(l.Enabled());
}

TEST(LEDS, Settings)
{
    LEDS l;
    EXPECT_TRUE(l.loadSettings(PropertyBag{}).empty());
    EXPECT_EQ(l.BackColor(), 0x8000000Fu);
    EXPECT_EQ(l.Interval(), 0);
    EXPECT_TRUE(l.Enabled());
    PropertyBag saved;
    l.saveSettings(saved);
    EXPECT_TRUE(saved.empty());
    l.setInterval(500);
    l.setEnabled(false);
    l.saveSettings(saved);
    EXPECT_EQ(saved.read("interval", std::int64_t{0}), PropValue(std::int64_t{500}));
    EXPECT_EQ(saved.read("enabled", true), PropValue(false));
}

} // namespace
} // namespace kova
