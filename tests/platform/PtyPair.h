#pragma once
// A pseudo-terminal pair for serial port tests: the port under test opens
// the slave side (through KOVA_COM<n>), the test plays the far end on the
// master side.

#include <QByteArray>
#include <QString>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace kova::test {

class PtyPair {
public:
    PtyPair()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            throw std::runtime_error("cannot create a pseudo-terminal");
        slave_ = ::ptsname(master_);
    }
    ~PtyPair()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return slave_; }

    // The far end goes away, as a USB adapter pulled out.
    void hangUp()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

    // Points COM n at the slave side.
    void bindCom(int n) const { ::setenv(("KOVA_COM" + std::to_string(n)).c_str(), slave_.c_str(), 1); }

    void write(const std::vector<unsigned char>& bytes) const
    {
        std::size_t off = 0;
        while (off < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + off, bytes.size() - off);
            if (n > 0) {
                off += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                // The pseudo-terminal is full: wait until it takes more.
                pollfd p{master_, POLLOUT, 0};
                if (::poll(&p, 1, 2000) == 0)
                    throw std::runtime_error("pty write timed out");
            } else if (n < 0 && errno != EINTR) {
                throw std::runtime_error("pty write failed");
            }
        }
    }

    // Everything the far end has received so far (no waiting).
    QByteArray readAvailable() const
    {
        QByteArray out;
        char buf[512];
        for (;;) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0)
                return out;
            out.append(buf, n);
        }
    }

    // Reads until `count` bytes arrived or `ms` passed (event loop runs).
    QByteArray readAtLeast(int count, int ms = 2000) const
    {
        QByteArray out;
        (void)QTest::qWaitFor([&] {
            out += readAvailable();
            return out.size() >= count;
        }, ms);
        return out;
    }

private:
    int master_ = -1;
    std::string slave_;
};

} // namespace kova::test
