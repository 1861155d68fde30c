#include "platform/WholeFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kova {

namespace {

thread_local FileWriteFault* activeFault = nullptr;

bool faultAt(FileWriteFault::Step step)
{
    if (activeFault == nullptr || activeFault->step != step)
        return false;
    errno = activeFault->error;
    return true;
}

// The system calls of a write, each of which a test may make fail.
long long writeSome(int fd, const char* data, std::size_t n, std::size_t written)
{
    if (faultAt(FileWriteFault::Step::Write)) {
        if (written >= activeFault->bytesBefore)
            return -1;
        n = std::min(n, activeFault->bytesBefore - written);
    }
    return ::write(fd, data, n);
}

int syncFile(int fd) { return faultAt(FileWriteFault::Step::Sync) ? -1 : ::fsync(fd); }

int closeFile(int fd)
{
    if (faultAt(FileWriteFault::Step::Close)) {
        const int e = errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    return ::close(fd);
}

std::string systemReason(int error) { return std::strerror(error); }

// The file a path names: a symbolic link's target, else the path itself.
std::string resolved(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new, empty file beside `target` with a name no other file has; the
// process's umask gives its permission bits, as any new file. -1 with errno
// set when the folder takes no new file.
int createTemporary(const std::string& target, std::string& name)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 rng{std::random_device{}()};
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "." + base + ".";
        for (int i = 0; i < 6; ++i)
            name += letters[rng() % (sizeof letters - 1)];
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool sameContent(int fd, std::string_view data)
{
    std::string back(data.size() + 1, '\0');
    std::size_t total = 0;
    while (total < back.size()) {
        const ssize_t n = ::pread(fd, back.data() + total, back.size() - total, static_cast<off_t>(total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    return total == data.size() && std::string_view(back.data(), total) == data;
}

} // namespace

FileWriteFault::FileWriteFault(Step s, int e, std::size_t before)
    : step(s), error(e), bytesBefore(before), previous_(activeFault)
{
    activeFault = this;
}

FileWriteFault::~FileWriteFault() { activeFault = previous_; }

bool writeWholeFile(const std::string& path, std::string_view data, std::string* reason, bool readBack)
{
    auto fail = [&](std::string why) {
        if (reason)
            *reason = std::move(why);
        return false;
    };
    const std::string target = resolved(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode))
            return fail("not a file");
        // A file marked read-only is not replaced behind the user's back.
        // Its permission bits decide: the process's access would let root
        // write anything.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0)
            return fail("read-only");
    }

    std::string temporary;
    int fd = createTemporary(target, temporary);
    if (fd < 0)
        return fail(systemReason(errno));
    auto discard = [&](std::string why) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        return fail(std::move(why));
    };
    if (exists) {
        // The new file stands in for the old one: same owner (where the
        // process may give it away, as root) and same permission bits.
        [[maybe_unused]] const int r = ::fchown(fd, old.st_uid, old.st_gid);
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return discard(systemReason(errno));
    }
    std::size_t written = 0;
    while (written < data.size()) {
        const long long n = writeSome(fd, data.data() + written, data.size() - written, written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return discard(systemReason(errno));
        if (n == 0)
            return discard(systemReason(ENOSPC));
        written += static_cast<std::size_t>(n);
    }
    if (syncFile(fd) != 0)
        return discard(systemReason(errno));
    if (readBack && !sameContent(fd, data))
        return discard("the file read back differs from what was written");
    const int closed = closeFile(fd);
    fd = -1;
    if (closed != 0)
        return discard(systemReason(errno));
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return discard(systemReason(errno));
    // The rename itself reaches the disk with the folder's sync; the file is
    // already replaced, so a failure here changes nothing the caller can mend.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace kova
