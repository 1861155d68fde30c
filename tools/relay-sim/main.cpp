// relay-sim: a simulated KOVA relay, a Modbus RTU slave on a serial device
// (normally one end of a pseudo-terminal pair). It answers functions 3, 4, 5
// and 16 from its register map, keeps a running clock and an event record,
// acts on commands, and can be told to fail on purpose. See --help.

#include "tools/SimStart.h"
#include "link/DefaultSetpoints.h"
#include "text/HexText.h"
#include "text/NumberText.h"
#include "tools/relay-sim/LineTiming.h"
#include "tools/relay-sim/RtuCrc.h"
#include "tools/relay-sim/SimRelay.h"

#include <modbus/modbus-rtu.h>
#include <modbus/modbus.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <getopt.h>
#include <map>
#include <optional>
#include <poll.h>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace kova::relaysim;
using kova::formatPattern;
using kova::hex4word;
using kova::integerText;

namespace {

const char* const kHelp =
    "Usage: relay-sim --device PATH [options]\n"
    "\n"
    "A simulated KOVA relay: a Modbus RTU slave (functions 3, 4, 5, 16) on the\n"
    "serial device PATH, e.g. one end of a socat pty pair.\n"
    "\n"
    "Line:\n"
    "  --device PATH          serial device to answer on (required)\n"
    "  --address N            slave address, 1-247 (default 1)\n"
    "  --baud N               baud rate (default 9600)\n"
    "\n"
    "Relay:\n"
    "  --type N               device type at input register 0x0000 (default 22)\n"
    "  --model N              model at 0x0001 (default 1)\n"
    "  --version N            firmware version at 0x0002 (default 101)\n"
    "  --status N             status register 0x0203 (default 0x0280)\n"
    "  --events N             events recorded at start, 0-65535 (default 5);\n"
    "                         event k is the generated record of RelayValues.h\n"
    "  --clock 'YYYY-MM-DD hh:mm:ss'  relay clock at start (default: system UTC)\n"
    "  --alt-setpoints        start with the alternative setpoint table (the\n"
    "                         default table with the changes of DefaultSetpoints.h)\n"
    "  --setpoint REG=VALUE   start with setpoint register REG set to VALUE\n"
    "                         (repeatable; numbers decimal or 0x hex)\n"
    "  --input REG=VALUE      start with input register REG set to VALUE, after\n"
    "                         the values above (repeatable; numbers decimal or\n"
    "                         0x hex; not the clock 0x0200-0x0202, the newest\n"
    "                         event 0x0600-0x0603 or the event record\n"
    "                         0x0610-0x0625, which the relay keeps itself)\n"
    "\n"
    "Failing on purpose (requests are counted from 1, every request with a good\n"
    "CRC for this address counts):\n"
    "  --silent-from N        answer nothing from the Nth request on\n"
    "  --noise-from N         answer nothing from the Nth request on and send one\n"
    "                         byte (0xFF) every 20 ms from then on, like another\n"
    "                         talker on the line\n"
    "  --busy-on FC:REG:MS    hold the reply to the first request with function FC\n"
    "                         at start register REG MS milliseconds (added to the\n"
    "                         reply delay), like a relay busy with it: of the\n"
    "                         frames arriving meanwhile it keeps the first and\n"
    "                         answers it after that reply as if it arrived then\n"
    "                         (its time on the line at --baud and a 3.5-character\n"
    "                         gap on either side), and ignores the others\n"
    "  --corrupt N            send the reply to the Nth request with a wrong CRC\n"
    "                         (repeatable); a write is still carried out\n"
    "  --corrupt-on FC:REG[:TIMES]  the same for the first TIMES (default 1)\n"
    "                         requests with function FC at start register REG\n"
    "  --exception N[:CODE]   answer the Nth request with exception CODE\n"
    "                         (default 4) and carry nothing out (repeatable)\n"
    "  --exception-on FC:REG[:CODE]  the same for every request with function FC\n"
    "                         at start register REG (repeatable)\n"
    "  --reply-delay MS       answer each request MS milliseconds after it arrived\n"
    "                         (default 0); requests are answered in the order\n"
    "                         they arrived, none before the ones ahead of it\n"
    "  --line-timing          answer like a relay on a real line at --baud: each\n"
    "                         reply comes the time the request and the reply take\n"
    "                         on the wire (10 bits a character, 8N1) and a\n"
    "                         3.5-character gap after each, after the request's\n"
    "                         first byte (added to the reply delay)\n"
    "\n"
    "Watching and steering a run:\n"
    "  --log FILE             one line per request: 'req N fc F addr RRRR count C\n"
    "                         [data V...] reply ok|silent|corrupt|exception E\n"
    "                         [note]' (fc 5: 'value V' instead of count); the\n"
    "                         first line is 'ready DEVICE'\n"
    "  --log-times            end each request line of the log with 'at T0 T1':\n"
    "                         when the request's first byte arrived and when its\n"
    "                         reply was written, in seconds of the monotonic clock\n"
    "  --dump FILE            after start, after every write and every status\n"
    "                         change, the setpoint registers, clock write\n"
    "                         registers, event selection and status as lines\n"
    "                         'holding RRRR VVVV' / 'input RRRR VVVV' (hex)\n"
    "  --control FIFO         read commands from FIFO (created when missing),\n"
    "                         one per line:\n"
    "                           status N      set status register 0x0203\n"
    "                           silent        stop answering\n"
    "                           talk          answer again\n"
    "                           delay MS      answer requests arriving from now\n"
    "                                         on MS ms late (delay 0 ends it);\n"
    "                                         requests already waiting keep\n"
    "                                         their time and their turn\n"
    "                           event         record one more event (the\n"
    "                                         generated record newest + 1)\n"
    "                           input RRRR VVVV  set input register RRRR to\n"
    "                                         VVVV (both hex, as in the dump;\n"
    "                                         the registers of --input)\n"
    "                           refuse F RRRR answer every request with\n"
    "                                         function F (decimal) at start\n"
    "                                         register RRRR (hex) with exception\n"
    "                                         4 from now on, as --exception-on\n"
    "                           accept        end every refusal of 'refuse'\n"
    "  --help                 this text\n"
    "\n"
    "Commands acted on (coils, function 5 with 0xFF00): 1 reset (clears the Trip\n"
    "and Lockout status bits), 5 take over the clock written at 0x0090-0x0092,\n"
    "6 clear demand, 8 clear energy (stamped with the relay clock), 9 clear\n"
    "events (leaves event 1, cause 1). Writing k to 0x0610 selects the event\n"
    "record that 0x0610-0x0625 then read; 0x0600 holds the newest number.\n"
    "\n"
    "Like a real slave it ignores frames with a bad CRC or for another address.\n"
    "Other functions get exception 1; a block write outside the setpoint\n"
    "blocks, 0x0090-0x0092 and 0x0610 gets exception 2 and is not carried out.\n";

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

std::optional<long> parseNumber(std::string_view s)
{
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        return kova::parseHex(s.substr(2));
    return kova::parseInteger(s);
}

// A hexadecimal number of 1 to 4 digits, as the dump writes them.
std::optional<std::uint16_t> parseHexWord(std::string_view s)
{
    const auto v = kova::parseHex(s);
    if (!v || s.size() > 4)
        return std::nullopt;
    return static_cast<std::uint16_t>(*v);
}

std::vector<std::string_view> split(std::string_view s, char sep)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t i = s.find(sep, start);
        out.push_back(s.substr(start, i == std::string_view::npos ? std::string_view::npos : i - start));
        if (i == std::string_view::npos)
            return out;
        start = i + 1;
    }
}

using kova::simstart::usageError;

long numberArg(const char* opt, std::string_view s, long lo, long hi)
{
    const auto v = parseNumber(s);
    if (!v || *v < lo || *v > hi)
        usageError(std::string("bad value for ") + opt + ": '" + std::string(s) + "'");
    return *v;
}

struct Match {
    int fc;
    int reg;
    int param; // TIMES for --corrupt-on, CODE for --exception-on
};

Match matchArg(const char* opt, std::string_view s, int defaultParam)
{
    const auto parts = split(s, ':');
    if (parts.size() < 2 || parts.size() > 3)
        usageError(std::string("bad value for ") + opt + ": '" + std::string(s) + "'");
    Match m{static_cast<int>(numberArg(opt, parts[0], 1, 127)),
            static_cast<int>(numberArg(opt, parts[1], 0, 0xFFFF)), defaultParam};
    if (parts.size() == 3)
        m.param = static_cast<int>(numberArg(opt, parts[2], 0, 0xFFFF));
    return m;
}

std::uint16_t word(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

// Longest reply delay taken, from the command line or the control FIFO.
constexpr long kMaxDelayMs = 600000;

// Length of the request frame that starts `rx` (0: not known yet). Functions
// 1 to 6 have 8 bytes, 15 and 16 carry a byte count; anything else is taken
// as it stands once the line is quiet (the gap handling drops it).
int frameLength(const std::vector<std::uint8_t>& rx)
{
    if (rx.size() < 2)
        return 0;
    const int fc = rx[1];
    if (fc >= 1 && fc <= 6)
        return 8;
    if (fc == 15 || fc == 16)
        return rx.size() < 7 ? 0 : 9 + rx[6];
    return 0;
}

class Simulator {
public:
    Simulator(modbus_t* ctx, SimRelay& relay) : ctx_(ctx), relay_(relay) {}

    std::FILE* log = nullptr;
    std::string dumpPath;
    int silentFrom = 0;
    int noiseFrom = 0;
    // A request from noiseFrom on was seen: the line now carries noise.
    bool noisy = false;
    std::set<long> corruptAt;
    std::vector<Match> corruptOn;
    std::map<long, int> exceptionAt;
    std::vector<Match> exceptionOn;
    std::vector<Match> refusedOn; // from the control FIFO
    bool silent = false;
    int delayMs = 0;
    bool lineTiming = false;
    LineTiming line;
    bool logTimes = false;

    // When a request whose first byte came at `arrived` is answered.
    std::chrono::steady_clock::time_point due(std::chrono::steady_clock::time_point arrived,
                                              const std::vector<std::uint8_t>& frame) const
    {
        auto t = arrived + std::chrono::milliseconds(delayMs);
        if (lineTiming)
            t += line.exchange(static_cast<int>(frame.size()),
                               replyLength(frame.data(), static_cast<int>(frame.size())));
        return t;
    }

    void logLine(const std::string& line)
    {
        if (log) {
            std::fputs((line + "\n").c_str(), log);
            std::fflush(log);
        }
    }

    void dump()
    {
        if (!dumpPath.empty() && !relay_.dump(dumpPath))
            std::fputs(("relay-sim: cannot write " + dumpPath + "\n").c_str(), stderr);
    }

    void control(std::string_view line)
    {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        const auto words = split(line, ' ');
        if (words.size() == 2 && words[0] == "status") {
            const auto v = parseNumber(words[1]);
            if (v && *v >= 0 && *v <= 0xFFFF) {
                relay_.setStatus(static_cast<std::uint16_t>(*v));
                logLine("ctl status " + hex4word(static_cast<std::uint32_t>(*v)));
                dump();
                return;
            }
        } else if (words.size() == 3 && words[0] == "input") {
            const auto reg = parseHexWord(words[1]);
            const auto v = parseHexWord(words[2]);
            if (reg && v) {
                if (relay_.setInput(*reg, *v)) {
                    logLine("ctl input " + hex4word(*reg) + " " + hex4word(*v));
                    dump();
                } else {
                    logLine("ctl input " + hex4word(*reg) + " refused");
                }
                return;
            }
        } else if (words.size() == 3 && words[0] == "refuse") {
            const auto fc = parseNumber(words[1]);
            const auto reg = parseHexWord(words[2]);
            if (fc && *fc >= 1 && *fc <= 127 && reg) {
                refusedOn.push_back({static_cast<int>(*fc), *reg, MODBUS_EXCEPTION_SLAVE_OR_SERVER_FAILURE});
                logLine("ctl refuse " + integerText(*fc) + " " + hex4word(*reg));
                return;
            }
        } else if (line == "accept") {
            refusedOn.clear();
            logLine("ctl accept");
            return;
        } else if (line == "event") {
            logLine("ctl event " + integerText(relay_.addEvent()));
            dump();
            return;
        } else if (line == "silent") {
            silent = true;
            logLine("ctl silent");
            return;
        } else if (line == "talk") {
            silent = false;
            logLine("ctl talk");
            return;
        } else if (words.size() == 2 && words[0] == "delay") {
            const auto v = parseNumber(words[1]);
            if (v && *v >= 0 && *v <= kMaxDelayMs) {
                delayMs = static_cast<int>(*v);
                logLine("ctl delay " + integerText(delayMs));
                return;
            }
        } else if (line.empty()) {
            return;
        }
        logLine("ctl unknown '" + std::string(line) + "'");
    }

    void handle(const std::uint8_t* q, int len, std::chrono::steady_clock::time_point arrived = {})
    {
        const long n = ++count_;
        const int fc = q[1];
        const int addr = len >= 4 ? word(q + 2) : 0;
        const int count = len >= 6 ? word(q + 4) : 0;

        std::string line = "req " + integerText(n) + " fc " + integerText(fc) + " addr " +
                           hex4word(static_cast<std::uint32_t>(addr)) +
                           (fc == 5 ? " value " + hex4word(static_cast<std::uint32_t>(count))
                                    : " count " + integerText(count));
        if (fc == 16) {
            line += " data";
            for (int i = 0; i < count && 7 + 2 * i + 1 < len - 2; ++i)
                line += " " + hex4word(static_cast<std::uint32_t>(word(q + 7 + 2 * i)));
        }

        if (noiseFrom > 0 && n >= noiseFrom) {
            noisy = true;
            logLine(line + " reply silent noise");
            return;
        }
        if (silent || (silentFrom > 0 && n >= silentFrom)) {
            logLine(line + " reply silent");
            return;
        }

        int exception = 0;
        if (auto it = exceptionAt.find(n); it != exceptionAt.end())
            exception = it->second;
        for (const auto* list : {&exceptionOn, &refusedOn})
            for (const Match& m : *list)
                if (m.fc == fc && m.reg == addr)
                    exception = m.param;
        // The relay speaks functions 3, 4, 5 and 16 only, and takes block
        // writes only where it keeps setpoints, the clock and the event index.
        if (!exception && fc != 3 && fc != 4 && fc != 5 && fc != 16)
            exception = MODBUS_EXCEPTION_ILLEGAL_FUNCTION;
        if (!exception && fc == 16 && !SimRelay::writableRange(addr, count))
            exception = MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS;

        bool corrupt = corruptAt.count(n) > 0;
        for (Match& m : corruptOn)
            if (m.fc == fc && m.reg == addr && m.param > 0) {
                --m.param;
                corrupt = true;
            }

        relay_.beforeReply();
        std::string note;
        if (exception) {
            modbus_reply_exception(ctx_, q, static_cast<unsigned>(exception));
            line += " reply exception " + integerText(exception);
        } else if (corrupt && sendCorrupt(q, len)) {
            note = relay_.afterRequest(q, len);
            line += " reply corrupt";
        } else {
            const int rc = modbus_reply(ctx_, q, len, relay_.mapping());
            note = relay_.afterRequest(q, len);
            line += rc < 0 ? std::string(" reply failed ") + modbus_strerror(errno) : " reply ok";
        }
        if (!note.empty())
            line += " " + note;
        if (logTimes) {
            const auto secs = [](std::chrono::steady_clock::time_point t) {
                return std::chrono::duration<double>(t.time_since_epoch()).count();
            };
            line += " at " + formatPattern(secs(arrived), "0.000000") + " " +
                    formatPattern(secs(std::chrono::steady_clock::now()), "0.000000");
        }
        // The dump first: whoever sees the write in the log finds it in the
        // dump too.
        if (fc == 5 || fc == 16)
            dump();
        logLine(line);
    }

private:
    // Carries the request out and sends its reply with both CRC bytes
    // inverted. False when the request is not one it can build a reply for.
    bool sendCorrupt(const std::uint8_t* q, int len)
    {
        const int fc = q[1];
        std::vector<std::uint8_t> r;
        if (fc == 3 || fc == 4) {
            const int addr = word(q + 2), count = word(q + 4);
            const int size = fc == 3 ? SimRelay::kHoldingCount : SimRelay::kInputCount;
            if (count < 1 || count > 125 || addr + count > size)
                return false;
            const std::uint16_t* tab =
                fc == 3 ? relay_.mapping()->tab_registers : relay_.mapping()->tab_input_registers;
            r = {q[0], q[1], static_cast<std::uint8_t>(2 * count)};
            for (int i = 0; i < count; ++i) {
                r.push_back(static_cast<std::uint8_t>(tab[addr + i] >> 8));
                r.push_back(static_cast<std::uint8_t>(tab[addr + i] & 0xFF));
            }
        } else if (fc == 5 || fc == 16) {
            if (!relay_.applyWrite(q, len))
                return false;
            r.assign(q, q + 6);
        } else {
            return false;
        }
        const std::uint16_t crc = rtuCrc16(r.data(), r.size());
        r.push_back(static_cast<std::uint8_t>(~crc & 0xFF));
        r.push_back(static_cast<std::uint8_t>(~crc >> 8));
        const int fd = modbus_get_socket(ctx_);
        std::size_t off = 0;
        while (off < r.size()) {
            const ssize_t w = ::write(fd, r.data() + off, r.size() - off);
            if (w < 0) {
                if (errno == EINTR || errno == EAGAIN) {
                    pollfd p{fd, POLLOUT, 0};
                    ::poll(&p, 1, 100);
                    continue;
                }
                break;
            }
            off += static_cast<std::size_t>(w);
        }
        ::tcdrain(fd);
        return true;
    }

    modbus_t* ctx_;
    SimRelay& relay_;
    long count_ = 0;
};

std::optional<std::chrono::sys_seconds> parseClock(std::string_view s)
{
    // YYYY-MM-DD hh:mm:ss
    if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != ':' || s[16] != ':')
        return std::nullopt;
    auto num = [&](std::size_t pos, std::size_t n) { return parseNumber(s.substr(pos, n)); };
    const auto y = num(0, 4), mo = num(5, 2), d = num(8, 2), h = num(11, 2), mi = num(14, 2),
               se = num(17, 2);
    if (!y || !mo || !d || !h || !mi || !se || *h > 23 || *mi > 59 || *se > 59)
        return std::nullopt;
    using namespace std::chrono;
    const year_month_day ymd{year{static_cast<int>(*y)}, month{static_cast<unsigned>(*mo)},
                             day{static_cast<unsigned>(*d)}};
    if (!ymd.ok() || *y < 2000 || *y > 2127)
        return std::nullopt;
    return sys_days{ymd} + hours{*h} + minutes{*mi} + seconds{*se};
}

} // namespace

int main(int argc, char** argv)
{
    kova::simstart::programName() = "relay-sim";
    std::string device, logPath, dumpPath, controlPath;
    int address = 1;
    long baud = 9600;
    RelayOptions relayOptions;
    int silentFrom = 0, noiseFrom = 0;
    std::optional<Match> busyOn;
    std::set<long> corruptAt;
    std::vector<Match> corruptOn, exceptionOn;
    std::map<long, int> exceptionAt;
    int replyDelay = 0;
    bool lineTiming = false, logTimes = false;

    enum {
        OptDevice = 256, OptAddress, OptBaud, OptType, OptModel, OptVersion, OptStatus, OptEvents,
        OptClock, OptAlt, OptSetpoint, OptInput, OptSilentFrom, OptNoiseFrom, OptBusyOn, OptCorrupt, OptCorruptOn, OptException,
        OptExceptionOn, OptReplyDelay, OptLineTiming, OptLogTimes, OptLog, OptDump, OptControl, OptHelp
    };
    static const option longOptions[] = {
        {"device", required_argument, nullptr, OptDevice},
        {"address", required_argument, nullptr, OptAddress},
        {"baud", required_argument, nullptr, OptBaud},
        {"type", required_argument, nullptr, OptType},
        {"model", required_argument, nullptr, OptModel},
        {"version", required_argument, nullptr, OptVersion},
        {"status", required_argument, nullptr, OptStatus},
        {"events", required_argument, nullptr, OptEvents},
        {"clock", required_argument, nullptr, OptClock},
        {"alt-setpoints", no_argument, nullptr, OptAlt},
        {"setpoint", required_argument, nullptr, OptSetpoint},
        {"input", required_argument, nullptr, OptInput},
        {"silent-from", required_argument, nullptr, OptSilentFrom},
        {"noise-from", required_argument, nullptr, OptNoiseFrom},
        {"busy-on", required_argument, nullptr, OptBusyOn},
        {"corrupt", required_argument, nullptr, OptCorrupt},
        {"corrupt-on", required_argument, nullptr, OptCorruptOn},
        {"exception", required_argument, nullptr, OptException},
        {"exception-on", required_argument, nullptr, OptExceptionOn},
        {"reply-delay", required_argument, nullptr, OptReplyDelay},
        {"line-timing", no_argument, nullptr, OptLineTiming},
        {"log-times", no_argument, nullptr, OptLogTimes},
        {"log", required_argument, nullptr, OptLog},
        {"dump", required_argument, nullptr, OptDump},
        {"control", required_argument, nullptr, OptControl},
        {"help", no_argument, nullptr, OptHelp},
        {nullptr, 0, nullptr, 0},
    };

    int c;
    while ((c = getopt_long(argc, argv, "", longOptions, nullptr)) != -1) {
        const std::string_view arg = optarg ? optarg : "";
        switch (c) {
        case OptDevice: device = optarg; break;
        case OptAddress: address = static_cast<int>(numberArg("--address", arg, 1, 247)); break;
        case OptBaud: baud = numberArg("--baud", arg, 50, 4000000); break;
        case OptType: relayOptions.type = static_cast<std::uint16_t>(numberArg("--type", arg, 0, 0xFFFF)); break;
        case OptModel: relayOptions.model = static_cast<std::uint16_t>(numberArg("--model", arg, 0, 0xFFFF)); break;
        case OptVersion: relayOptions.version = static_cast<std::uint16_t>(numberArg("--version", arg, 0, 0xFFFF)); break;
        case OptStatus: relayOptions.status = static_cast<std::uint16_t>(numberArg("--status", arg, 0, 0xFFFF)); break;
        case OptEvents: relayOptions.events = static_cast<int>(numberArg("--events", arg, 0, 0xFFFF)); break;
        case OptClock: {
            const auto t = parseClock(arg);
            if (!t)
                usageError("bad value for --clock: '" + std::string(arg) + "'");
            relayOptions.clockGiven = true;
            relayOptions.clockStart = *t;
            break;
        }
        case OptAlt: relayOptions.alternativeSetpoints = true; break;
        case OptSetpoint: {
            const auto parts = split(arg, '=');
            if (parts.size() != 2)
                usageError("bad value for --setpoint: '" + std::string(arg) + "'");
            const auto reg = static_cast<std::uint16_t>(numberArg("--setpoint", parts[0], 0, 0xFFFF));
            std::uint16_t dummy;
            if (!defaultSetpoint(reg, dummy))
                usageError("--setpoint: register " + std::string(parts[0]) + " is in no setpoint block");
            relayOptions.setpointOverrides.push_back(
                {reg, static_cast<std::uint16_t>(numberArg("--setpoint", parts[1], 0, 0xFFFF))});
            break;
        }
        case OptInput: {
            const auto parts = split(arg, '=');
            if (parts.size() != 2)
                usageError("bad value for --input: '" + std::string(arg) + "'");
            const long reg = numberArg("--input", parts[0], 0, 0xFFFF);
            if (!SimRelay::settableInput(static_cast<int>(reg)))
                usageError("--input: register " + std::string(parts[0]) + " is not one that can be set");
            relayOptions.inputOverrides.push_back(
                {static_cast<std::uint16_t>(reg), static_cast<std::uint16_t>(numberArg("--input", parts[1], 0, 0xFFFF))});
            break;
        }
        case OptSilentFrom: silentFrom = static_cast<int>(numberArg("--silent-from", arg, 1, 1L << 30)); break;
        case OptNoiseFrom: noiseFrom = static_cast<int>(numberArg("--noise-from", arg, 1, 1L << 30)); break;
        case OptBusyOn: {
            busyOn = matchArg("--busy-on", arg, -1);
            if (busyOn->param < 0 || busyOn->param > kMaxDelayMs)
                usageError("bad value for --busy-on: '" + std::string(arg) + "'");
            break;
        }
        case OptCorrupt: corruptAt.insert(numberArg("--corrupt", arg, 1, 1L << 30)); break;
        case OptCorruptOn: corruptOn.push_back(matchArg("--corrupt-on", arg, 1)); break;
        case OptException: {
            const auto parts = split(arg, ':');
            if (parts.size() > 2)
                usageError("bad value for --exception: '" + std::string(arg) + "'");
            const long n = numberArg("--exception", parts[0], 1, 1L << 30);
            exceptionAt[n] = parts.size() == 2 ? static_cast<int>(numberArg("--exception", parts[1], 1, 255)) : 4;
            break;
        }
        case OptExceptionOn: exceptionOn.push_back(matchArg("--exception-on", arg, 4)); break;
        case OptReplyDelay: replyDelay = static_cast<int>(numberArg("--reply-delay", arg, 0, kMaxDelayMs)); break;
        case OptLineTiming: lineTiming = true; break;
        case OptLogTimes: logTimes = true; break;
        case OptLog: logPath = optarg; break;
        case OptDump: dumpPath = optarg; break;
        case OptControl: controlPath = optarg; break;
        case OptHelp: std::fputs(kHelp, stdout); return 0;
        default: usageError("unknown option");
        }
    }
    kova::simstart::checkArguments(argc, argv, device);
    for (const Match& m : exceptionOn)
        if (m.param < 1 || m.param > 255)
            usageError("--exception-on: exception code must be 1-255");

    kova::simstart::stopOnSignals(onSignal);
    std::FILE* log = nullptr;
    if (!kova::simstart::openLog(logPath, log))
        return 1;

    int controlFd = -1, controlKeep = -1;
    if (!controlPath.empty()) {
        struct stat st {};
        if (::stat(controlPath.c_str(), &st) != 0 && ::mkfifo(controlPath.c_str(), 0600) != 0) {
            std::fputs(("relay-sim: cannot create " + controlPath + ": " + std::strerror(errno) + "\n").c_str(), stderr);
            return 1;
        }
        controlFd = ::open(controlPath.c_str(), O_RDONLY | O_NONBLOCK);
        // Hold a writer open ourselves so the FIFO never reads as ended
        // between two writers.
        controlKeep = controlFd >= 0 ? ::open(controlPath.c_str(), O_WRONLY | O_NONBLOCK) : -1;
        if (controlFd < 0 || controlKeep < 0) {
            std::fputs(("relay-sim: cannot open " + controlPath + ": " + std::strerror(errno) + "\n").c_str(), stderr);
            return 1;
        }
    }

    modbus_t* ctx = modbus_new_rtu(device.c_str(), static_cast<int>(baud), 'N', 8, 1);
    if (!ctx) {
        std::fputs((std::string("relay-sim: ") + modbus_strerror(errno) + "\n").c_str(), stderr);
        return 1;
    }
    modbus_set_slave(ctx, address);
    modbus_set_error_recovery(ctx, MODBUS_ERROR_RECOVERY_PROTOCOL);
    if (modbus_connect(ctx) != 0) {
        std::fputs(("relay-sim: cannot open " + device + ": " + modbus_strerror(errno) + "\n").c_str(), stderr);
        modbus_free(ctx);
        return 1;
    }

    int status = 0;
    {
        SimRelay relay(relayOptions);
        Simulator sim(ctx, relay);
        sim.log = log;
        sim.dumpPath = dumpPath;
        sim.silentFrom = silentFrom;
        sim.noiseFrom = noiseFrom;
        sim.corruptAt = corruptAt;
        sim.corruptOn = corruptOn;
        sim.exceptionAt = exceptionAt;
        sim.exceptionOn = exceptionOn;
        sim.delayMs = replyDelay;
        sim.lineTiming = lineTiming;
        sim.line.baud = baud;
        sim.logTimes = logTimes;
        sim.dump();
        sim.logLine("ready " + device);

        // Requests are framed here rather than by the library so that a
        // frame for another slave or with a bad CRC is dropped on its own,
        // without touching the next one: length from the function code,
        // anything left incomplete for kGapMs is discarded. A request is
        // answered when its time has come: at once, or the reply delay after
        // it arrived, and like a relay that handles one frame at a time never
        // before a request that came earlier.
        using Clock = std::chrono::steady_clock;
        constexpr auto kGap = std::chrono::milliseconds(100);
        struct Waiting {
            Clock::time_point due;
            Clock::time_point arrived;
            std::vector<std::uint8_t> frame;
        };
        std::vector<Waiting> waiting; // in order of arrival, and so of their times
        std::vector<std::uint8_t> rx;
        Clock::time_point lastByte{};
        Clock::time_point firstByte{}; // of the frame at the head of rx
        std::string pending;
        const int serialFd = modbus_get_socket(ctx);
        // Line noise (--noise-from): the next byte's time.
        constexpr auto kNoiseEvery = std::chrono::milliseconds(20);
        Clock::time_point nextNoise{};
        // The request held by --busy-on: when its reply is due, whether the
        // one frame kept meanwhile has come.
        struct Busy {
            bool used = false;
            bool kept = false;
            Clock::time_point until{};
        } busy;
        while (!g_stop) {
            const Clock::time_point now = Clock::now();
            Clock::time_point wake = now + std::chrono::milliseconds(200);
            if (sim.noisy) {
                if (nextNoise == Clock::time_point{})
                    nextNoise = now;
                if (now >= nextNoise) {
                    const std::uint8_t b = 0xFF;
                    if (::write(serialFd, &b, 1) < 0 && errno != EAGAIN && errno != EINTR)
                        sim.logLine(std::string("noise not written: ") + std::strerror(errno));
                    nextNoise += kNoiseEvery;
                }
                wake = std::min(wake, nextNoise);
            }
            if (!rx.empty())
                wake = std::min(wake, lastByte + kGap);
            if (!waiting.empty())
                wake = std::min(wake, waiting.front().due);
            const auto waitMs = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
            pollfd fds[2] = {{serialFd, POLLIN, 0}, {controlFd, POLLIN, 0}};
            const int r = ::poll(fds, controlFd >= 0 ? 2 : 1, static_cast<int>(std::max<long long>(waitMs, 0)));
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                std::perror("relay-sim: poll");
                status = 1;
                break;
            }
            if (controlFd >= 0 && (fds[1].revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(controlFd, buf, sizeof buf);
                if (n > 0) {
                    pending.append(buf, static_cast<std::size_t>(n));
                    std::size_t nl;
                    while ((nl = pending.find('\n')) != std::string::npos) {
                        sim.control(std::string_view(pending).substr(0, nl));
                        pending.erase(0, nl + 1);
                    }
                }
            }
            if (fds[0].revents & POLLIN) {
                std::uint8_t buf[512];
                const ssize_t n = ::read(serialFd, buf, sizeof buf);
                if (n > 0) {
                    lastByte = Clock::now();
                    if (rx.empty())
                        firstByte = lastByte;
                    rx.insert(rx.end(), buf, buf + n);
                }
            } else if (fds[0].revents & (POLLHUP | POLLERR)) {
                // The other end of the line is gone (the pty pair closed).
                sim.logLine("line closed");
                break;
            } else if (!rx.empty() && Clock::now() >= lastByte + kGap) {
                sim.logLine("incomplete frame of " + integerText(rx.size()) + " bytes dropped");
                rx.clear();
            }
            for (;;) {
                const int need = frameLength(rx);
                if (need == 0 || static_cast<int>(rx.size()) < need)
                    break;
                std::vector<std::uint8_t> frame(rx.begin(), rx.begin() + need);
                rx.erase(rx.begin(), rx.begin() + need);
                const Clock::time_point arrived = firstByte;
                firstByte = lastByte;
                const std::uint16_t crc = rtuCrc16(frame.data(), frame.size() - 2);
                if (frame[frame.size() - 2] != (crc & 0xFF) || frame[frame.size() - 1] != (crc >> 8)) {
                    sim.logLine("frame with a bad CRC ignored");
                    rx.clear(); // what follows belongs to the broken frame
                    break;
                }
                if (frame[0] != address) {
                    sim.logLine("frame for slave " + integerText(frame[0]) + " ignored");
                    continue;
                }
                Clock::time_point due = sim.due(arrived, frame);
                if (busy.used && Clock::now() < busy.until) {
                    // Busy with the held request: one frame is kept for after it.
                    if (busy.kept) {
                        sim.logLine("frame ignored while busy");
                        continue;
                    }
                    // Taken from the buffer once the held reply is out: as if
                    // it arrived then, with a frame gap on either side.
                    busy.kept = true;
                    due = std::max(due, busy.until + sim.line.characters(static_cast<double>(frame.size()) + 7));
                } else if (busyOn && !busy.used && frame[1] == busyOn->fc && word(frame.data() + 2) == busyOn->reg) {
                    due += std::chrono::milliseconds(busyOn->param);
                    busy.used = true;
                    busy.until = due;
                }
                if (!waiting.empty())
                    due = std::max(due, waiting.back().due);
                waiting.push_back(Waiting{due, arrived, std::move(frame)});
            }
            while (!waiting.empty() && waiting.front().due <= Clock::now()) {
                const std::vector<std::uint8_t> frame = std::move(waiting.front().frame);
                const Clock::time_point arrived = waiting.front().arrived;
                waiting.erase(waiting.begin());
                sim.handle(frame.data(), static_cast<int>(frame.size()), arrived);
            }
        }
    }
    modbus_close(ctx);
    modbus_free(ctx);
    if (controlFd >= 0)
        ::close(controlFd);
    if (controlKeep >= 0)
        ::close(controlKeep);
    if (log)
        std::fclose(log);
    return status;
}
