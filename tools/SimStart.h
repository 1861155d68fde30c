#pragma once
// What the simulators (relay-sim, modem-sim) share of their start: usage
// errors, the checks after option parsing, stopping on SIGTERM and SIGINT,
// and the log file.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>

namespace kova::simstart {

// The program's name in its messages.
inline const char*& programName()
{
    static const char* name = "sim";
    return name;
}

[[noreturn]] inline void usageError(const std::string& what)
{
    std::fputs((std::string(programName()) + ": " + what + " (see --help)\n").c_str(), stderr);
    std::exit(2);
}

// After getopt_long: no argument left over, and a device named.
inline void checkArguments(int argc, char** argv, const std::string& device)
{
    if (optind < argc)
        usageError(std::string("unexpected argument '") + argv[optind] + "'");
    if (device.empty())
        usageError("--device is required");
}

// SIGTERM and SIGINT call `handler` (which asks the main loop to end); a
// closed pipe is not fatal.
inline void stopOnSignals(void (*handler)(int))
{
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// Opens the log for appending (none when `path` is empty); false with a
// message when it cannot be opened.
inline bool openLog(const std::string& path, std::FILE*& log)
{
    log = nullptr;
    if (path.empty())
        return true;
    log = std::fopen(path.c_str(), "a");
    if (!log)
        std::fputs((std::string(programName()) + ": cannot open log " + path + ": " + std::strerror(errno) + "\n").c_str(),
                   stderr);
    return log != nullptr;
}

} // namespace kova::simstart
