#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kova {

namespace {

int g_pipe[2] = {-1, -1};

// SIGHUP: the terminal that started the program was closed, or its session ended.
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Async-signal-safe: one byte holding the signal number.
void onSignal(int sig)
{
    int saved = errno;
    char b = static_cast<char>(sig);
    [[maybe_unused]] auto n = ::write(g_pipe[0], &b, 1);
    errno = saved;
}

// True when the action of sig was not ignoring it, and is now onSignal;
// `previous` then holds the action it had.
bool install(int sig, struct sigaction& previous)
{
    if (sigaction(sig, nullptr, &previous) != 0) return false;
    if (!(previous.sa_flags & SA_SIGINFO) && previous.sa_handler == SIG_IGN) return false;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return sigaction(sig, &sa, nullptr) == 0;
}

} // namespace

const char* TerminationSignals::name(int signalNumber)
{
    switch (signalNumber) {
    case SIGINT: return "SIGINT";
    case SIGHUP: return "SIGHUP";
    default: return "SIGTERM";
    }
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        std::perror("kova: socketpair");
        return;
    }
    ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    for (int sig : kSignals) {
        // Whoever started the program ignoring a signal asked it to live on
        // through it (nohup, a background job of a non-interactive shell).
        struct sigaction previous {};
        if (install(sig, previous)) installed_.emplace_back(sig, previous);
    }
}

TerminationSignals::~TerminationSignals()
{
    for (const auto& [sig, previous] : installed_) sigaction(sig, &previous, nullptr);
    delete notifier_;
    for (int& fd : g_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void TerminationSignals::readSignal()
{
    char b = 0;
    if (::read(g_pipe[1], &b, 1) == 1) emit terminationRequested(static_cast<int>(b));
}

} // namespace kova
