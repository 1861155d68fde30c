#pragma once
// Waits measured on the monotonic clock, so a change of the time of day (or
// midnight) never shortens or stretches them, and none of them spins the CPU.

#include <functional>

namespace kova {

// Keeps the event loop running for ms milliseconds: timers, serial events and
// painting go on; keyboard and mouse input is held back when asked. With a
// stop condition the wait ends early once it holds (looked at every 20 ms).
void runEventsFor(int ms, bool excludeUserInput, const std::function<bool()>& stop = {});

// As runEventsFor, but ends as soon as done() holds: it is checked at once
// and then every pollMs. Returns done() as last seen.
bool runEventsUntil(int ms, bool excludeUserInput, const std::function<bool()>& done, int pollMs = 10);

// Blocks for ms milliseconds handling no events at all.
void pauseWithoutEvents(int ms);

} // namespace kova
