#pragma once
// Runs the simulated relay on one end of a socat pseudo-terminal pair, in a
// temporary folder of its own; the test talks to the other end. Both helper
// processes are started and stopped by their process ids.

#include "link/RegisterImages.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kova::test {

// A Modbus frame or reply, byte by byte.
using Bytes = std::vector<std::uint8_t>;

// Bytes with the Modbus CRC-16 appended (low byte first), computed bit by
// bit: independent of the program's own table-driven CRC.
std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> bytes);
// True when the last two bytes are the CRC of the others.
bool crcValid(const std::vector<std::uint8_t>& frame);

// The program's request code of a logged request ("req N fc F addr RRRR
// ..."), from its function and start register; -1 for any other.
int requestCode(const std::string& line);

class SimHarness {
public:
    // Starts socat and the simulator with `simArgs` added to its options
    // (--device, --log, --dump and --control are given here).
    explicit SimHarness(const std::vector<std::string>& simArgs = {});
    ~SimHarness();
    SimHarness(const SimHarness&) = delete;
    SimHarness& operator=(const SimHarness&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

    // The line end the program (or mbpoll) opens.
    std::string masterEnd() const { return dir_ + "/b"; }
    const std::string& dir() const { return dir_; }

    std::vector<std::string> logLines() const;
    // Waits (bounded) until the simulator's log has a line containing `text`.
    bool waitForLog(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(3)) const;
    // Request lines ("req ...") of the log.
    std::vector<std::string> requests() const;
    // Their request codes, in the order sent.
    std::vector<int> requestCodes() const;
    // The codes sent from request `from` on, without the cyclic status read.
    std::vector<int> codesAfter(std::size_t from) const;

    // The simulator's last register dump: (kind, register) -> value, kind
    // 'h' holding, 'i' input.
    std::map<std::pair<char, int>, int> dump() const;
    int holding(int reg) const;
    // The dumped setpoint registers at their places in a Put image, high
    // byte first; the bytes of no block are zero.
    std::array<std::uint8_t, kova::RegisterImages::kSetpointBytes> setpointImage() const;

    // Sends one command line to the simulator's control FIFO.
    void control(const std::string& line) const;

private:
    void stop(pid_t& pid);

    std::string dir_;
    pid_t socat_ = -1;
    pid_t sim_ = -1;
    bool ok_ = false;
    std::string error_;
};

// Waits with a monotonic deadline, checking `pred` every few milliseconds.
template <typename Pred>
bool waitUntil(Pred pred, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (pred())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        struct timespec ts{0, 5'000'000};
        nanosleep(&ts, nullptr);
    }
}

} // namespace kova::test
