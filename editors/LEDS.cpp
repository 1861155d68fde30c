#include "editors/LEDS.h"

#include "editors/SettingRows.h"

namespace kova {

void LEDS::setBackColor(std::uint32_t v)
{
    backColor_ = v;
    changed("BackColor");
}

void LEDS::setInterval(std::int32_t v)
{
    interval_ = v;
    changed("Interval");
    if (onTimerChanged)
        onTimerChanged();
}

void LEDS::setEnabled(bool v)
{
    enabled_ = v;
    changed("Enabled");
    if (onTimerChanged)
        onTimerChanged();
}

void LEDS::tick(bool online)
{
    if (!timerRunning())
        return;
    if (online) {
        lit_ = !lit_;
        if (onPictureChanged)
            onPictureChanged();
        return;
    }
    enabled_ = false;
    if (onTimerChanged)
        onTimerChanged();
}

const std::vector<PropertyHost::Setting>& LEDS::settings() const
{
    static const std::vector<Setting> table = [] {
        using L = LEDS;
        std::vector<Setting> t;
        t.push_back(rows::whole<L, std::uint32_t>("BackColor", "BackColor", 0x8000000Fu, &L::BackColor,
                                                  &L::setBackColor, &propToColor));
        t.push_back(rows::int32<L>("Interval", "Interval", 0, &L::Interval, &L::setInterval));
        t.push_back(rows::flag<L>("Enabled", "Enabled", true, &L::Enabled, &L::setEnabled));
        return t;
    }();
    return table;
}

} // namespace kova
