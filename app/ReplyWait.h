#pragma once
// The wait of a print command for fresh data: every request the command
// queued must have had a passed reply before a page is filled, so the pages
// show what the relay answers now and not what an earlier reply left.
//
// The program's event loop keeps running meanwhile (timers, serial events);
// keyboard and mouse input is held back until the wait box shows, after
// Limits::boxAfterMs; the box then takes the input (it is modal) and its
// Cancel ends the wait. The wait fails at once when a request could not be
// queued, when one is given up, when the link goes offline, and when the
// limit (measured on the monotonic clock) has passed.

#include "pages/PageHost.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kova {

class ReplyWait {
public:
    enum class Result { Answered, NotRead, Cancelled };

    // The box shown while the wait goes on.
    class Box {
    public:
        virtual ~Box() = default;
        // Cancel was chosen.
        virtual bool cancelled() = 0;
    };
    using BoxFactory = std::function<std::unique_ptr<Box>()>;

    struct Limits {
        int baseMs = 3000;
        int perRequestMs = 2000; // for each request queued
        int boxAfterMs = 500;
    };

    // A new command: nothing queued, nothing failed.
    void reset();
    // A request the command queued; nothing: it could not be queued.
    void queued(const std::optional<RequestSlot>& slot);
    int queuedCount() const { return queued_; }

    // The link's events.
    void replyPassed(const RequestSlot& request);
    void requestGivenUp(const RequestSlot& request);
    void linkLost();

    // Waits until every request queued since reset had its passed reply and
    // `settled` holds. `online` is looked at throughout.
    Result wait(const std::function<bool()>& online, const std::function<bool()>& settled,
                const BoxFactory& box, const Limits& limits);

private:
    std::vector<RequestSlot> pending_;
    int queued_ = 0;
    bool failed_ = false;
};

} // namespace kova
