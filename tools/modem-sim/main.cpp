// modem-sim: a simulated AT-command modem on a serial device (normally one
// end of a pseudo-terminal pair), for trying and testing modem programming
// without a modem. See --help.

#include "tools/SimStart.h"
#include "text/HexText.h"
#include "text/NumberText.h"
#include "tools/modem-sim/AtModem.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <algorithm>
#include <getopt.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <termios.h>
#include <unistd.h>

using namespace kova::modemsim;
using kova::integerText;

namespace {

const char* const kHelp =
    "Usage: modem-sim --device PATH [options]\n"
    "\n"
    "A simulated AT-command modem on the serial device PATH, e.g. one end of a\n"
    "socat pty pair. It starts as after AT&F (echo on, verbal result codes) and\n"
    "answers each command line ending in CR: the echo while echo is on (AT&F\n"
    "and E1 turn it on, E0 off), then \"\\r\\nOK\\r\\n\" (verbal: AT&F, V1) or \"0\\r\"\n"
    "(numeric: V0). \"+++\" between two quiet seconds is answered OK. Lines\n"
    "without \"AT\" get no answer; nothing is ever dialled.\n"
    "\n"
    "  --device PATH      serial device to answer on (required)\n"
    "  --baud N           baud rate (default 9600)\n"
    "  --silent           answer nothing at all (a modem switched off)\n"
    "  --silent-from N    answer nothing from the Nth command on (counted from\n"
    "                     1; \"+++\" counts as a command)\n"
    "  --error-on TEXT    answer ERROR (\"4\\r\" in numeric mode) to every command\n"
    "                     line containing TEXT (repeatable)\n"
    "  --log FILE         first line 'ready DEVICE', then one line per chunk:\n"
    "                     'rx MS HEX...' received, 'tx MS HEX...' sent (MS:\n"
    "                     milliseconds since start, monotonic clock)\n"
    "  --help             this text\n";

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

using kova::simstart::usageError;

long numberArg(const char* opt, std::string_view s, long lo, long hi)
{
    const auto v = kova::parseInteger(s);
    if (!v || *v < lo || *v > hi)
        usageError(std::string("bad value for ") + opt + ": '" + std::string(s) + "'");
    return static_cast<long>(*v);
}

std::int64_t nowMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

speed_t speedOf(long baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: usageError("unsupported --baud " + integerText(baud));
    }
}

class Line {
public:
    Line(int fd, std::FILE* log, std::int64_t start) : fd_(fd), log_(log), start_(start) {}

    void logChunk(const char* what, std::string_view bytes, std::int64_t at)
    {
        if (!log_ || bytes.empty())
            return;
        std::string line = what + (" " + integerText(at - start_));
        for (unsigned char c : bytes)
            line += " " + kova::hex2(c);
        std::fputs((line + "\n").c_str(), log_);
        std::fflush(log_);
    }

    bool send(const std::string& bytes)
    {
        if (bytes.empty())
            return true;
        logChunk("tx", bytes, nowMs());
        std::size_t off = 0;
        while (off < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + off, bytes.size() - off);
            if (n > 0) {
                off += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                pollfd p{fd_, POLLOUT, 0};
                ::poll(&p, 1, 200);
            } else if (n < 0 && errno != EINTR) {
                return false;
            }
        }
        return true;
    }

private:
    int fd_;
    std::FILE* log_;
    std::int64_t start_;
};

} // namespace

int main(int argc, char** argv)
{
    kova::simstart::programName() = "modem-sim";
    enum { OptDevice = 1, OptBaud, OptSilent, OptSilentFrom, OptErrorOn, OptLog, OptHelp };
    static const option longOptions[] = {
        {"device", required_argument, nullptr, OptDevice},
        {"baud", required_argument, nullptr, OptBaud},
        {"silent", no_argument, nullptr, OptSilent},
        {"silent-from", required_argument, nullptr, OptSilentFrom},
        {"error-on", required_argument, nullptr, OptErrorOn},
        {"log", required_argument, nullptr, OptLog},
        {"help", no_argument, nullptr, OptHelp},
        {nullptr, 0, nullptr, 0},
    };
    std::string device, logPath;
    long baud = 9600;
    Options options;
    int c;
    while ((c = getopt_long(argc, argv, "", longOptions, nullptr)) != -1) {
        const std::string_view arg = optarg ? optarg : "";
        switch (c) {
        case OptDevice: device = optarg; break;
        case OptBaud: baud = numberArg("--baud", arg, 50, 4000000); break;
        case OptSilent: options.silentFrom = 1; break;
        case OptSilentFrom: options.silentFrom = static_cast<int>(numberArg("--silent-from", arg, 1, 1L << 30)); break;
        case OptErrorOn:
            if (arg.empty())
                usageError("--error-on needs a text");
            options.errorOn.emplace_back(arg);
            break;
        case OptLog: logPath = optarg; break;
        case OptHelp: std::fputs(kHelp, stdout); return 0;
        default: usageError("unknown option");
        }
    }
    kova::simstart::checkArguments(argc, argv, device);
    const speed_t speed = speedOf(baud);

    kova::simstart::stopOnSignals(onSignal);
    std::FILE* log = nullptr;
    if (!kova::simstart::openLog(logPath, log))
        return 1;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        std::fputs(("modem-sim: cannot open " + device + ": " + std::strerror(errno) + "\n").c_str(), stderr);
        return 1;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        tio.c_cflag |= CLOCAL | CREAD;
        ::tcsetattr(fd, TCSANOW, &tio);
    }

    const std::int64_t start = nowMs();
    Line line(fd, log, start);
    AtModem modem(options);
    if (log) {
        std::fputs(("ready " + device + "\n").c_str(), log);
        std::fflush(log);
    }
    int status = 0;
    while (!g_stop) {
        const std::int64_t deadline = modem.nextDeadlineMs();
        int timeout = 200;
        if (deadline >= 0)
            timeout = static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(200, deadline - nowMs())));
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, timeout);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            std::perror("modem-sim: poll");
            status = 1;
            break;
        }
        const std::int64_t now = nowMs();
        std::string out;
        if (p.revents & POLLIN) {
            char buf[512];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) {
                line.logChunk("rx", std::string_view(buf, static_cast<std::size_t>(n)), now);
                out = modem.receive(std::string_view(buf, static_cast<std::size_t>(n)), now);
            }
        } else if (p.revents & (POLLHUP | POLLERR)) {
            // The other end of the line is gone (the pty pair closed).
            if (log)
                std::fputs("line closed\n", log);
            break;
        } else {
            out = modem.tick(now);
        }
        if (!line.send(out)) {
            std::perror("modem-sim: write");
            status = 1;
            break;
        }
    }
    ::close(fd);
    if (log)
        std::fclose(log);
    return status;
}
