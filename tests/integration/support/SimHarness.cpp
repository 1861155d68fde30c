#include "tools/relay-sim/RtuCrc.h"
#include "integration/support/SimHarness.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kova::test {

namespace {

pid_t spawn(const std::string& program, const std::vector<std::string>& args, const std::string& errFile,
            bool searchPath)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = -1;
    const int rc = searchPath ? posix_spawnp(&pid, program.c_str(), &fa, nullptr, argv.data(), environ)
                              : posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    return rc == 0 ? pid : -1;
}

bool exited(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

} // namespace

std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> bytes)
{
    const std::uint16_t crc = kova::relaysim::rtuCrc16(bytes.data(), bytes.size());
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    return bytes;
}

bool crcValid(const std::vector<std::uint8_t>& frame)
{
    if (frame.size() < 3)
        return false;
    const std::uint16_t crc = kova::relaysim::rtuCrc16(frame.data(), frame.size() - 2);
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

int requestCode(const std::string& line)
{
    std::istringstream in(line);
    std::string w, fcText, addrText;
    in >> w >> w >> w >> fcText >> w >> addrText;
    int fc = -1, reg = -1;
    std::from_chars(fcText.data(), fcText.data() + fcText.size(), fc);
    std::from_chars(addrText.data(), addrText.data() + addrText.size(), reg, 16);
    struct R { int fc, reg, code; };
    static const R table[] = {
        {4, 0x0000, 60}, {4, 0x0203, 2}, {4, 0x020D, 4}, {4, 0x02D0, 5}, {4, 0x027F, 6}, {4, 0x022F, 7},
        {4, 0x024B, 8}, {4, 0x026A, 9}, {4, 0x025E, 10}, {4, 0x0600, 30}, {4, 0x0610, 90}, {4, 0x0200, 91},
        {3, 0x0101, 61}, {3, 0x0119, 62}, {3, 0x1000, 63}, {3, 0x1019, 64}, {3, 0x1032, 65}, {3, 0x104B, 66},
        {16, 0x0101, 27}, {16, 0x0119, 28}, {16, 0x1000, 110}, {16, 0x1019, 111}, {16, 0x1032, 112},
        {16, 0x104B, 113}, {16, 0x0610, 31}, {16, 0x0090, 93}, {5, 0x0005, 92}};
    for (const R& r : table)
        if (r.fc == fc && r.reg == reg)
            return r.code;
    return -1;
}

SimHarness::SimHarness(const std::vector<std::string>& simArgs)
{
    // The simulator of this build, unless KOVA_RELAY_SIM names another.
    const char* simPath = std::getenv("KOVA_RELAY_SIM");
    if (!simPath || !*simPath)
        simPath = KOVA_TEST_RELAY_SIM;
    std::string tmpl = (std::filesystem::temp_directory_path() / "kova-sim-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        error_ = "cannot create a temporary folder";
        return;
    }
    dir_ = tmpl;

    socat_ = spawn("socat", {"-d", "-d", "pty,raw,echo=0,link=" + dir_ + "/a", "pty,raw,echo=0,link=" + dir_ + "/b"},
                   dir_ + "/socat.err", true);
    if (socat_ < 0) {
        error_ = "cannot start socat";
        return;
    }
    const auto linked = [this] {
        struct stat st {};
        return ::stat((dir_ + "/a").c_str(), &st) == 0 && ::stat((dir_ + "/b").c_str(), &st) == 0;
    };
    if (!waitUntil(linked, std::chrono::seconds(5))) {
        error_ = "socat did not create the pty links";
        return;
    }

    std::vector<std::string> args = {"--device", dir_ + "/a", "--log", dir_ + "/sim.log",
                                     "--dump", dir_ + "/sim.dump", "--control", dir_ + "/sim.ctl"};
    args.insert(args.end(), simArgs.begin(), simArgs.end());
    sim_ = spawn(simPath, args, dir_ + "/sim.err", false);
    if (sim_ < 0) {
        error_ = "cannot start the simulator";
        return;
    }
    bool ended = false;
    const auto readyOrEnded = [&] {
        if (exited(sim_)) {
            ended = true;
            return true;
        }
        for (const std::string& l : logLines())
            if (l.rfind("ready", 0) == 0)
                return true;
        return false;
    };
    if (!waitUntil(readyOrEnded, std::chrono::seconds(5)) || ended) {
        if (ended)
            sim_ = -1; // already reaped
        std::ifstream err(dir_ + "/sim.err");
        std::stringstream ss;
        ss << err.rdbuf();
        error_ = "the simulator did not start: " + ss.str();
        return;
    }
    ok_ = true;
}

SimHarness::~SimHarness()
{
    stop(sim_);
    stop(socat_);
    if (!dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
}

void SimHarness::stop(pid_t& pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    if (!waitUntil([pid] { return exited(pid); }, std::chrono::seconds(3))) {
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

std::vector<std::string> SimHarness::logLines() const
{
    std::vector<std::string> lines;
    std::ifstream in(dir_ + "/sim.log");
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool SimHarness::waitForLog(const std::string& text, std::chrono::milliseconds timeout) const
{
    return waitUntil([&] {
        for (const std::string& l : logLines())
            if (l.find(text) != std::string::npos)
                return true;
        return false;
    }, timeout);
}

std::vector<std::string> SimHarness::requests() const
{
    std::vector<std::string> out;
    for (const std::string& l : logLines())
        if (l.rfind("req ", 0) == 0)
            out.push_back(l);
    return out;
}

std::vector<int> SimHarness::requestCodes() const
{
    std::vector<int> out;
    for (const std::string& l : requests())
        out.push_back(requestCode(l));
    return out;
}

std::map<std::pair<char, int>, int> SimHarness::dump() const
{
    std::map<std::pair<char, int>, int> out;
    std::ifstream in(dir_ + "/sim.dump");
    std::string kind, reg, value;
    const auto hex = [](const std::string& t) {
        int v = -1;
        std::from_chars(t.data(), t.data() + t.size(), v, 16);
        return v;
    };
    while (in >> kind >> reg >> value)
        out[{kind[0], hex(reg)}] = hex(value);
    return out;
}

int SimHarness::holding(int reg) const
{
    const auto d = dump();
    const auto it = d.find({'h', reg});
    return it == d.end() ? -1 : it->second;
}

std::array<std::uint8_t, kova::RegisterImages::kSetpointBytes> SimHarness::setpointImage() const
{
    const auto d = dump();
    std::array<std::uint8_t, kova::RegisterImages::kSetpointBytes> out{};
    for (const auto& b : kova::Bloques_Setpoints)
        for (int r = b.first; r <= b.last; ++r) {
            const auto it = d.find({'h', r});
            const int v = it == d.end() ? -1 : it->second;
            const std::size_t i = *kova::setpointIndex(static_cast<std::uint32_t>(r));
            out[i] = static_cast<std::uint8_t>(v >> 8);
            out[i + 1] = static_cast<std::uint8_t>(v & 0xFF);
        }
    return out;
}

void SimHarness::control(const std::string& line) const
{
    const int fd = ::open((dir_ + "/sim.ctl").c_str(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return;
    const std::string l = line + "\n";
    [[maybe_unused]] const ssize_t n = ::write(fd, l.data(), l.size());
    ::close(fd);
}

std::vector<int> SimHarness::codesAfter(std::size_t from) const
{
    std::vector<int> out;
    const auto codes = requestCodes();
    for (std::size_t i = from; i < codes.size(); ++i)
        if (codes[i] != 2)
            out.push_back(codes[i]);
    return out;
}

} // namespace kova::test
