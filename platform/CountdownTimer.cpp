#include "platform/CountdownTimer.h"

#include <QTimerEvent>

#include <algorithm>

namespace kova {

void CountdownTimer::setInterval(int ms)
{
    intervalMs_ = ms;
    base_.stop();
    if (on_)
        start();
}

void CountdownTimer::start()
{
    on_ = true;
    dueNs_ = clock_.nsecsElapsed() + qint64(intervalMs_) * 1'000'000;
    // A registered timer fires at the latest one interval from now; the
    // countdown is checked then.
    if (!base_.isActive())
        arm(qint64(intervalMs_) * 1'000'000);
}

void CountdownTimer::arm(qint64 ns)
{
    // Precise: never before the countdown ends (rounded up to whole ms).
    const qint64 ms = std::max<qint64>(1, (ns + 999'999) / 1'000'000);
    base_.start(static_cast<int>(ms), Qt::PreciseTimer, this);
}

void CountdownTimer::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != base_.timerId()) {
        QObject::timerEvent(e);
        return;
    }
    if (!on_) {
        base_.stop();
        return;
    }
    const qint64 interval = qint64(intervalMs_) * 1'000'000;
    qint64 left = dueNs_ - clock_.nsecsElapsed();
    if (left > 0) {
        // Restarted since it was armed: the rest of the countdown.
        arm(left);
        return;
    }
    dueNs_ += interval;
    if (dueNs_ <= clock_.nsecsElapsed())
        dueNs_ = clock_.nsecsElapsed() + interval;
    tick_();
    // The tick may have switched it off, or on again from now.
    if (!on_) {
        base_.stop();
        return;
    }
    left = dueNs_ - clock_.nsecsElapsed();
    arm(left);
}

} // namespace kova
