#pragma once
// A serial port with a scripted modem behind it: each output gets the next
// scripted answer, delivered chunk by chunk (chunk k chunkGapMs after the
// output times k). Records what was written, when, and the port's life.

#include "link/ISerialPort.h"

#include <QElapsedTimer>

#include <deque>
#include <string>
#include <vector>

namespace kova::test {

class ModemPort : public ISerialPort {
public:
    struct Sent {
        std::string bytes;
        qint64 ms; // since construction, monotonic
    };
    // One answer per output, in order; an output without one gets nothing.
    std::deque<std::vector<std::string>> answers;
    int chunkGapMs = 30;
    bool failOpen = false;
    int failOutputAt = 0; // the nth output (from 1) throws; 0: none
    // After the nth output the port closes itself, as a port whose device
    // went away does; 0: never. Then counts the input polls that follow.
    int loseAfterOutput = 0;
    int pollsAfterLoss = 0;

    std::vector<Sent> sent;
    // "DTR=1", "open 2 19200,N,8,1", "close" (a close of an open port only).
    std::vector<std::string> calls;

    std::string wire() const
    {
        std::string all;
        for (const Sent& s : sent) all += s.bytes;
        return all;
    }

    void setCommPort(int n) override { port_ = n; }
    int commPort() const override { return port_; }
    void setSettings(const std::string& s) override { settings_ = s; }
    std::string settings() const override { return settings_; }
    void setPortOpen(bool o) override
    {
        if (o && !open_) {
            if (failOpen) throw SerialPortError("no such device");
            calls.push_back("open " + std::to_string(port_) + " " + settings_);
        } else if (!o && open_) {
            calls.push_back("close");
        }
        open_ = o;
    }
    bool portOpen() const override { return open_; }
    std::vector<std::uint8_t> input() override
    {
        if (lost_) throw SerialPortError("input: the device went away: Input/output error");
        if (!open_) throw SerialPortError("closed");
        deliver();
        std::vector<std::uint8_t> r(rx_.begin(), rx_.end());
        rx_.clear();
        return r;
    }
    void setRThreshold(int) override {}
    void setSThreshold(int) override {}
    void output(const std::vector<std::uint8_t>& bytes) override
    {
        if (!open_ || ++outputs_ == failOutputAt) throw SerialPortError("cannot write");
        const qint64 now = clock_.elapsed();
        sent.push_back({std::string(bytes.begin(), bytes.end()), now});
        if (outputs_ == loseAfterOutput) {
            lost_ = true;
            open_ = false;
            calls.push_back("lost");
        }
        if (answers.empty()) return;
        qint64 at = now;
        for (const std::string& chunk : answers.front()) {
            pending_.push_back({chunk, at});
            at += chunkGapMs;
        }
        answers.pop_front();
    }
    int inBufferCount() override
    {
        if (lost_) ++pollsAfterLoss;
        deliver();
        return static_cast<int>(rx_.size());
    }
    void setDTREnable(bool e) override
    {
        dtr_ = e;
        calls.push_back(e ? "DTR=1" : "DTR=0");
    }
    bool dtrEnable() const override { return dtr_; }
    void setOnComm(CommHandler) override {}

private:
    void deliver()
    {
        while (!pending_.empty() && pending_.front().ms <= clock_.elapsed()) {
            rx_ += pending_.front().bytes;
            pending_.pop_front();
        }
    }

    QElapsedTimer clock_ = [] { QElapsedTimer t; t.start(); return t; }();
    std::deque<Sent> pending_;
    std::string rx_;
    int port_ = 1;
    std::string settings_ = "9600,N,8,1";
    bool open_ = false;
    bool dtr_ = true;
    int outputs_ = 0;
    bool lost_ = false;
};

} // namespace kova::test
