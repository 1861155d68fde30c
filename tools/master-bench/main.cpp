// master-bench: a plain libmodbus RTU master that reads what the program
// reads when it connects to a relay (the same fifteen requests, registers
// and counts, in the same order) and then reads the status block (input
// registers 0x0203, four of them) as fast as the line allows for a given
// time. It prints its timings and the CPU it used, as 'name value' lines:
// the reference the program's own figures are measured against.

#include "text/NumberText.h"

#include <modbus/modbus-rtu.h>
#include <modbus/modbus.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>
#include <sys/resource.h>

namespace {

using kova::formatPattern;
using kova::integerText;

struct Read {
    int function; // 3 holding registers, 4 input registers
    int start;
    int count;
};

// Identification, the six setpoint blocks, then the actual-value blocks and
// the newest event number.
constexpr Read kConnect[] = {
    {4, 0x0000, 4},  {3, 0x0101, 24}, {3, 0x0119, 24}, {3, 0x1000, 25}, {3, 0x1019, 25},
    {3, 0x1032, 25}, {3, 0x104B, 26}, {4, 0x020D, 26}, {4, 0x02D0, 7},  {4, 0x027F, 21},
    {4, 0x022F, 25}, {4, 0x024B, 8},  {4, 0x026A, 21}, {4, 0x025E, 14}, {4, 0x0600, 4},
};
constexpr Read kStatus = {4, 0x0203, 4};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
           + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

bool read(modbus_t* ctx, const Read& r)
{
    std::uint16_t regs[125];
    const int n = r.function == 3 ? modbus_read_registers(ctx, r.start, r.count, regs)
                                  : modbus_read_input_registers(ctx, r.start, r.count, regs);
    return n == r.count;
}

[[noreturn]] void usage(int status)
{
    std::fputs("Usage: master-bench --device PATH [--baud N] [--address N] [--seconds S]\n"
               "Reads the connect sequence once, then polls the status block for S seconds\n"
               "(default 5; 0: connect only). Prints 'name value' lines.\n",
               status == 0 ? stdout : stderr);
    std::exit(status);
}

} // namespace

int main(int argc, char** argv)
{
    std::string device;
    int baud = 9600, address = 1;
    double seconds = 5;
    static const option options[] = {
        {"device", required_argument, nullptr, 'd'}, {"baud", required_argument, nullptr, 'b'},
        {"address", required_argument, nullptr, 'a'}, {"seconds", required_argument, nullptr, 's'},
        {"help", no_argument, nullptr, 'h'},         {nullptr, 0, nullptr, 0}};
    // A value that is no number leaves one the check below refuses.
    const auto whole = [](const char* text) {
        const auto v = kova::parseInteger(text);
        return v && *v >= 0 && *v <= 1000000000 ? static_cast<int>(*v) : -1;
    };
    int c;
    while ((c = getopt_long(argc, argv, "", options, nullptr)) != -1) {
        switch (c) {
        case 'd': device = optarg; break;
        case 'b': baud = whole(optarg); break;
        case 'a': address = whole(optarg); break;
        case 's': seconds = kova::parseNumber(optarg).value_or(-1); break;
        case 'h': usage(0);
        default: usage(2);
        }
    }
    if (device.empty() || baud <= 0 || address < 1 || address > 247 || seconds < 0)
        usage(2);

    modbus_t* ctx = modbus_new_rtu(device.c_str(), baud, 'N', 8, 1);
    if (!ctx || modbus_set_slave(ctx, address) != 0 || modbus_connect(ctx) != 0) {
        std::fputs(("master-bench: cannot open " + device + ": " + modbus_strerror(errno) + "\n").c_str(), stderr);
        return 1;
    }
    modbus_set_response_timeout(ctx, 2, 0);

    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };

    int failed = 0;
    const auto t0 = Clock::now();
    for (const Read& r : kConnect)
        failed += read(ctx, r) ? 0 : 1;
    const auto t1 = Clock::now();
    std::fputs(("connect_requests " + integerText(std::size(kConnect)) + "\nconnect_failed " + integerText(failed) +
                "\nconnect_ms " + formatPattern(ms(t1 - t0), "0.000") + "\n")
                   .c_str(),
               stdout);

    if (seconds > 0) {
        long polls = 0, pollsFailed = 0;
        const double cpu0 = cpuSeconds();
        const auto p0 = Clock::now();
        const auto end = p0 + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        while (Clock::now() < end) {
            if (!read(ctx, kStatus))
                ++pollsFailed;
            ++polls;
        }
        const double elapsed = ms(Clock::now() - p0) / 1000.0;
        const double cpu = cpuSeconds() - cpu0;
        std::fputs(("polls " + integerText(polls) + "\npolls_failed " + integerText(pollsFailed) + "\npoll_seconds " +
                    formatPattern(elapsed, "0.000") + "\npolls_per_s " + formatPattern(polls / elapsed, "0.00") +
                    "\ncpu_us_per_poll " + formatPattern(polls ? cpu * 1e6 / polls : 0.0, "0.0") + "\n")
                       .c_str(),
                   stdout);
    }
    modbus_close(ctx);
    modbus_free(ctx);
    return failed == 0 ? 0 : 1;
}
