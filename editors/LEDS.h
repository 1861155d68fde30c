#pragma once
// Blinking lamp: at every timer tick while the link is online the lit and
// the dark picture change places; the first tick that finds the link
// offline switches the timer off and the lamp keeps its last picture. Only
// the host switches the timer on again (Enabled). An interval of 0 never
// ticks.

#include "editors/PropertyHost.h"

#include <cstdint>
#include <functional>

namespace kova {

class LEDS : public PropertyHost {
public:
    // The timer should run (or stop); the picture changed.
    std::function<void()> onTimerChanged;
    std::function<void()> onPictureChanged;

    std::uint32_t BackColor() const { return backColor_; }
    void setBackColor(std::uint32_t v);
    std::int32_t Interval() const { return interval_; }
    void setInterval(std::int32_t v);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool v);

    bool lit() const { return lit_; }
    // Whether the blink timer ticks: enabled with an interval above 0.
    bool timerRunning() const { return enabled_ && interval_ > 0; }

    // One timer tick with the link state.
    void tick(bool online);

    const std::vector<Setting>& settings() const override;

private:
    std::uint32_t backColor_ = 0x8000000Fu;
    std::int32_t interval_ = 0;
    bool enabled_ = true;
    bool lit_ = true;
};

} // namespace kova
