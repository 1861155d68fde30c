#pragma once
// A page loaded unseen for a report: loaded when the session starts and
// unloaded when it ends, on every path (also when the load itself or a later
// copy fails), so the next opening of the page runs its full load again and
// its unload gives the main window back.

#include <functional>
#include <utility>

namespace kova {

class SourcePageSession {
public:
    SourcePageSession(const std::function<void()>& load, std::function<void()> unload)
        : unload_(std::move(unload))
    {
        try {
            load();
        } catch (...) {
            end();
            throw;
        }
    }
    ~SourcePageSession() { end(); }

    SourcePageSession(const SourcePageSession&) = delete;
    SourcePageSession& operator=(const SourcePageSession&) = delete;

    // Unloads now (once).
    void end()
    {
        if (auto unload = std::exchange(unload_, nullptr))
            unload();
    }

private:
    std::function<void()> unload_;
};

} // namespace kova
