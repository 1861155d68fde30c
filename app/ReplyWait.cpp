#include "app/ReplyWait.h"

#include "platform/Waits.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <algorithm>

namespace kova {

namespace {

// How long one turn of the event loop runs before the state is looked at again.
constexpr int kTurnMs = 10;

} // namespace

void ReplyWait::reset()
{
    pending_.clear();
    queued_ = 0;
    failed_ = false;
}

void ReplyWait::queued(const std::optional<RequestSlot>& slot)
{
    ++queued_;
    if (slot) pending_.push_back(*slot);
    else failed_ = true;
}

void ReplyWait::replyPassed(const RequestSlot& request)
{
    const auto it = std::find(pending_.begin(), pending_.end(), request);
    if (it != pending_.end()) pending_.erase(it);
}

void ReplyWait::requestGivenUp(const RequestSlot& request)
{
    if (std::find(pending_.begin(), pending_.end(), request) != pending_.end()) failed_ = true;
}

void ReplyWait::linkLost()
{
    if (queued_ > 0) failed_ = true;
}

ReplyWait::Result ReplyWait::wait(const std::function<bool()>& online, const std::function<bool()>& settled,
                                  const BoxFactory& box, const Limits& limits)
{
    const QDeadlineTimer limit(limits.baseMs + limits.perRequestMs * queued_, Qt::PreciseTimer);
    QElapsedTimer since;
    since.start();
    std::unique_ptr<Box> shown;
    for (;;) {
        if (failed_ || !online()) return Result::NotRead;
        if (pending_.empty() && settled()) return Result::Answered;
        if (shown && shown->cancelled()) return Result::Cancelled;
        if (limit.hasExpired()) return Result::NotRead;
        if (!shown && box && since.elapsed() >= limits.boxAfterMs) shown = box();
        runEventsFor(kTurnMs, shown == nullptr);
    }
}

} // namespace kova
