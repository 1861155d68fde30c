#include "platform/Waits.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace kova {

void runEventsFor(int ms, bool excludeUserInput, const std::function<bool()>& stop)
{
    constexpr qint64 kStopCheckMs = 20;
    QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    auto flags = excludeUserInput ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents;
    // A nested loop may be ended early by someone quitting every loop; go on
    // until the deadline has really passed.
    while (!deadline.hasExpired() && !(stop && stop())) {
        qint64 slice = qMax<qint64>(1, deadline.remainingTime());
        if (stop) slice = qMin(slice, kStopCheckMs);
        timer.start(static_cast<int>(slice));
        loop.exec(flags);
        timer.stop();
    }
}

bool runEventsUntil(int ms, bool excludeUserInput, const std::function<bool()>& done, int pollMs)
{
    QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    for (;;) {
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        runEventsFor(static_cast<int>(qMin<qint64>(qMax(1, pollMs), qMax<qint64>(1, deadline.remainingTime()))),
                     excludeUserInput);
    }
}

void pauseWithoutEvents(int ms)
{
    QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    while (!deadline.hasExpired())
        QThread::msleep(static_cast<unsigned long>(qMax<qint64>(1, deadline.remainingTime())));
}

} // namespace kova
