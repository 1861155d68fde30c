#pragma once
// Serial port double: records every call in order, hands out queued bytes,
// and fails on demand.

#include "link/ISerialPort.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kova::test {

class FakeSerialPort : public ISerialPort {
public:
    // Call log, e.g. "input", "RThreshold=13", "SThreshold=8", "output",
    // "CommPort=3", "Settings=9600,N,8,1", "PortOpen=1", "DTREnable=0".
    std::vector<std::string> calls;
    std::vector<std::vector<std::uint8_t>> outputs;
    std::vector<std::uint8_t> rx; // bytes waiting to be read by input()

    bool open = false;
    int port = 0;
    std::string settingsText;
    int rThreshold = 0;
    int sThreshold = 0;
    bool dtr = true;

    bool failOpen = false;   // setPortOpen(true) throws
    std::string openError = "no such device"; // the reason it gives then
    bool failOutput = false; // output() throws
    bool requireOpen = true; // input()/output() throw when closed

    void setCommPort(int n) override;
    int commPort() const override { return port; }
    void setSettings(const std::string& s) override;
    std::string settings() const override { return settingsText; }
    void setPortOpen(bool o) override;
    bool portOpen() const override { return open; }
    std::vector<std::uint8_t> input() override;
    void setRThreshold(int n) override;
    void setSThreshold(int n) override;
    void output(const std::vector<std::uint8_t>& bytes) override;
    int inBufferCount() override { return static_cast<int>(rx.size()); }
    void setDTREnable(bool e) override;
    bool dtrEnable() const override { return dtr; }
    void setOnComm(CommHandler h) override { handler = std::move(h); }

    CommHandler handler;

    // Bytes arriving on the line: they join the buffer, and the receive
    // event is raised once the buffer reaches the receive threshold (once
    // until the buffer is read or the threshold set again).
    void recibir(const std::vector<std::uint8_t>& bytes);
    bool receiveFired = false;

    const std::vector<std::uint8_t>& lastOutput() const;
    void clearLog();
};

} // namespace kova::test
