#pragma once
// Every process a test starts ends with the test, also when the test crashes
// or its runner kills it at a time-out: the kernel sends the child SIGKILL
// when the test ends (the parent-death signal, kept across exec, so a
// `sh -c "exec X"` keeps it too). The signal follows the THREAD that started
// the child: start helpers from the test's main thread, where QtTest and
// GoogleTest run the tests.

#include <QProcess>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace kova::test {

// In a new child, before exec. A parent that ended before the request took
// hold has left the child to another parent: then it ends at once.
inline void endWithParent(pid_t parent)
{
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
        ::_exit(127);
}

inline void endWithTest(QProcess& process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] { endWithParent(parent); });
}

// For a program that starts helpers of its own (a script's background
// jobs, which the parent-death signal does not reach): it leads a process
// group of its own, ended with the test by killGroupWhenTestEnds().
inline void endGroupWithTest(QProcess& process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        endWithParent(parent);
        if (::setpgid(0, 0) != 0)
            ::_exit(127);
    });
}

// A watcher joins `group` (which keeps the group's number from being reused)
// and waits on a pipe whose writing end only this test process holds; once
// the test ends, however it ends, the pipe closes and the watcher kills the
// whole group, itself with it.
inline void killGroupWhenTestEnds(pid_t group)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    const pid_t watcher = ::fork();
    if (watcher == 0) {
        if (::setpgid(0, group) != 0 || ::dup2(fds[0], 0) != 0)
            ::_exit(0);
        ::close_range(1, ~0U, 0);
        char c;
        while (::read(0, &c, 1) < 0 && errno == EINTR) {
        }
        ::kill(-group, SIGKILL);
        ::_exit(0);
    }
    ::close(fds[0]);
    // The writing end stays open until the test process ends.
}

// Starts args[0] (looked up in PATH when it has no '/') with its standard
// input from /dev/null and its output and errors appended to `output`;
// `fd3`, when given, becomes its descriptor 3. The process id, or -1.
inline pid_t spawnEndingWithTest(const std::vector<std::string>& args, const std::string& output, int fd3 = -1)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    // Only async-signal-safe calls from here on: the test may have threads.
    endWithParent(parent);
    const auto place = [](int fd, int target) {
        return fd >= 0 && (fd == target ? ::fcntl(fd, F_SETFD, 0) : ::dup2(fd, target)) >= 0;
    };
    if (fd3 >= 0 && !place(fd3, 3))
        ::_exit(127);
    const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (!place(in, 0) || !place(out, 1) || !place(out, 2))
        ::_exit(127);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

} // namespace kova::test
