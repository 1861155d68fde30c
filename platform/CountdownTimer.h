#pragma once
// A periodic timer switched off and on many times a second, whose countdown
// starts again at each switch-on: a tick comes one interval after the
// switch-on, and one every interval after that while it stays on, as from a
// QTimer started then. Switching it off only marks it off; the event loop's
// timer beneath stays registered. When that one fires before the countdown
// ends (the countdown was restarted meanwhile) it is re-armed for the rest;
// when it fires while off it is given back. So a loop that switches it on and
// off at every poll costs one re-arm per interval instead of a registration
// and an unregistration per poll.

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QObject>

#include <functional>

namespace kova {

class CountdownTimer : public QObject {
public:
    explicit CountdownTimer(std::function<void()> tick) : tick_(std::move(tick)) { clock_.start(); }
    // A running countdown starts again with the new interval.
    void setInterval(int ms);
    int interval() const { return intervalMs_; }
    // On, the countdown from now (a running one starts again).
    void start();
    void stop() { on_ = false; }
    bool isActive() const { return on_; }

protected:
    void timerEvent(QTimerEvent* e) override;

private:
    void arm(qint64 ns);
    std::function<void()> tick_;
    QBasicTimer base_;
    QElapsedTimer clock_;
    // When the countdown ends, in the clock's nanoseconds.
    qint64 dueNs_ = 0;
    int intervalMs_ = 1000;
    bool on_ = false;
};

} // namespace kova
