#pragma once
// The command interpreter of a simulated AT modem (no line side, nothing is
// ever dialled). It starts as after AT&F: echo on, verbal result codes.
//
// - Each byte received is echoed at once while echo is on.
// - A command line ends with CR (LF is ignored). Text before the first "AT"
//   is dropped; a line without "AT" gets no answer.
// - Commands understood: &F (echo on, verbal), E0/E1 (echo), V0/V1 (result
//   codes "0\r" / "\r\nOK\r\n"); every other command is taken and ignored.
// - "+++" preceded and followed by the guard time of quiet escapes: it is
//   answered OK once the quiet time after it has passed.
// - Failing on purpose: silent from the Nth command on (the escape counts as
//   a command; N = 1 is a dead modem: no echo, no answer), and ERROR ("4\r"
//   in numeric mode) to every command line containing one of given texts.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kova::modemsim {

struct Options {
    int silentFrom = 0;                // 0: never silent
    std::vector<std::string> errorOn;  // texts that make a command fail
    std::int64_t guardMs = 1000;       // quiet time around "+++"
};

class AtModem {
public:
    explicit AtModem(Options options) : opt_(std::move(options)) {}

    // Bytes received at time nowMs (milliseconds, monotonic); returns the
    // bytes to send back.
    std::string receive(std::string_view bytes, std::int64_t nowMs);
    // Called when time passes without input; returns the bytes to send.
    std::string tick(std::int64_t nowMs);
    // When tick() next has something to do; -1: nothing pending.
    std::int64_t nextDeadlineMs() const { return escapeAt_ < 0 ? -1 : escapeAt_ + opt_.guardMs; }

    int commands() const { return commands_; }
    bool echo() const { return echo_; }
    bool verbal() const { return verbal_; }

private:
    bool silent(int command) const { return opt_.silentFrom > 0 && command >= opt_.silentFrom; }
    std::string result(bool ok) const;
    std::string execute(const std::string& line);
    void execute(std::string_view commands);

    Options opt_;
    bool echo_ = true;
    bool verbal_ = true;
    std::string line_;
    int commands_ = 0;
    std::int64_t lastRxMs_ = -1;
    int pluses_ = 0;              // '+' of a possible escape so far
    std::int64_t escapeAt_ = -1;  // time of the third '+'
};

} // namespace kova::modemsim
