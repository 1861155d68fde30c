#include "platform/WholeFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
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

// The folder part of a path with its closing slash; "" for a bare name.
std::string folderPrefix(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The start of a file name that leaves `room` bytes, cut before a
// character, not inside one.
std::string shortened(const std::string& base, std::size_t room)
{
    if (base.size() <= room)
        return base;
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
        --cut;
    return base.substr(0, cut);
}

// A new, empty file beside `target` with a name no other file has; the
// process's umask gives its permission bits, as any new file. -1 with errno
// set when the folder takes no new file.
int createTemporary(const std::string& target, std::string& name)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr std::size_t kAdded = 8;  // "." before the name, "." and 6 letters after it
    thread_local std::mt19937 rng{std::random_device{}()};
    const std::string folder = folderPrefix(target);
    // The name cut short where the temporary one would pass the longest
    // name the folder's file system takes.
    const long longest = ::pathconf(folderOf(target).c_str(), _PC_NAME_MAX);
    const std::size_t limit = longest > 0 ? static_cast<std::size_t>(longest) : NAME_MAX;
    const std::string base = shortened(target.substr(folder.size()), limit > kAdded ? limit - kAdded : 0);
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

bool resolveSymbolicLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return false;
        if (n == 0 || static_cast<std::size_t>(n) >= link.size()) {
            errno = n == 0 ? ENOENT : ENAMETOOLONG;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : folderPrefix(target) + link;
    }
    errno = ELOOP;
    return false;
}

FileWriteFault::FileWriteFault(Step s, int e, std::size_t before)
    : step(s), error(e), bytesBefore(before), previous_(activeFault)
{
    activeFault = this;
}

FileWriteFault::~FileWriteFault() { activeFault = previous_; }

WholeFileReplacement::WholeFileReplacement(const std::string& path)
{
    if (!resolveSymbolicLinks(path, target_)) {
        fail(systemReason(errno));
        return;
    }
    struct stat old {};
    existed_ = ::stat(target_.c_str(), &old) == 0;
    if (existed_) {
        if (!S_ISREG(old.st_mode)) {
            fail("not a file");
            return;
        }
        // A file marked read-only is not replaced behind the user's back.
        // Its permission bits decide: the process's access would let root
        // write anything.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target_.c_str(), W_OK) != 0) {
            fail("read-only");
            return;
        }
    }
    fd_ = createTemporary(target_, temporary_);
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();  // the name of no file of ours
        fail(systemReason(error));
        return;
    }
    if (existed_) {
        // The new file stands in for the old one: same owner where the
        // process may give it away (root), else the same group where it may
        // set it (a member of that group), and the same permission bits.
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0 && ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Neither: the new file is the process's own, as any new file.
        }
        if (::fchmod(fd_, old.st_mode & 07777) != 0)
            fail(systemReason(errno));
    }
}

WholeFileReplacement::~WholeFileReplacement() { discard(); }

bool WholeFileReplacement::fail(std::string why)
{
    reason_ = std::move(why);
    discard();
    return false;
}

void WholeFileReplacement::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool WholeFileReplacement::place()
{
    if (fd_ < 0)
        return false;
    if (syncFile(fd_) != 0)
        return fail(systemReason(errno));
    const int closed = closeFile(fd_);
    fd_ = -1;
    if (closed != 0)
        return fail(systemReason(errno));
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return fail(systemReason(errno));
    temporary_.clear();
    // The rename itself reaches the disk with the folder's sync; the file is
    // already replaced, so a failure here changes nothing the caller can mend.
    const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

bool writeWholeFile(const std::string& path, std::string_view data, std::string* reason, bool readBack)
{
    auto fail = [&](std::string why) {
        if (reason)
            *reason = std::move(why);
        return false;
    };
    WholeFileReplacement file(path);
    if (!file.ready())
        return fail(file.reason());
    std::size_t written = 0;
    while (written < data.size()) {
        const long long n = writeSome(file.fd(), data.data() + written, data.size() - written, written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(systemReason(errno));
        if (n == 0)
            return fail(systemReason(ENOSPC));
        written += static_cast<std::size_t>(n);
    }
    if (readBack && !sameContent(file.fd(), data))
        return fail("the file read back differs from what was written");
    return file.place() || fail(file.reason());
}

} // namespace kova
