// Every process a test program starts, and what those start, ends with it, also on a crash or a time-out:
// the test leads a process group of its own, which a watcher ends once the test has ended.

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

void endHelpersWithTest()
{
    // Started from a terminal, the test stays in the shell's job, where Ctrl+C reaches it.
    int fds[2];
    if (::isatty(STDIN_FILENO) || ::setpgid(0, 0) != 0 || ::pipe2(fds, O_CLOEXEC) != 0)
        return;
    const pid_t group = ::getpid();
    if (::fork() == 0) {
        // Only the test holds the writing end: reading ends once the test has ended.
        if (::dup2(fds[0], STDIN_FILENO) != STDIN_FILENO)
            ::_exit(0);
        ::close_range(STDERR_FILENO + 1, ~0U, 0);
        const int quiet = ::open("/dev/null", O_WRONLY);  // the runner's output pipe is not held open
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        char c;
        while (::read(STDIN_FILENO, &c, 1) < 0 && errno == EINTR) {
        }
        ::kill(-group, SIGKILL);
        ::_exit(0);
    }
    ::close(fds[0]);
}

[[maybe_unused]] const bool watched = (endHelpersWithTest(), true);

} // namespace
