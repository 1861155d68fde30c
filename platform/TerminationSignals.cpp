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

void install(int sig, void (*handler)(int))
{
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(sig, &sa, nullptr);
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
        // A program started with nohup was asked to outlive its terminal.
        struct sigaction current {};
        if (sig == SIGHUP && sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        install(sig, onSignal);
        installed_.push_back(sig);
    }
}

TerminationSignals::~TerminationSignals()
{
    for (int sig : installed_) install(sig, SIG_DFL);
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
