#pragma once
// A serial port that records what the program writes and whether it is open.

#include "link/ISerialPort.h"

#include <cstdint>
#include <vector>

namespace kova::test {

class RecordingSerialPort : public ISerialPort {
public:
    bool open = false;
    std::vector<std::uint8_t> written;
    int closes = 0;

    void setCommPort(int n) override { port_ = n; }
    int commPort() const override { return port_; }
    void setSettings(const std::string& s) override { settings_ = s; }
    std::string settings() const override { return settings_; }
    void setPortOpen(bool o) override
    {
        if (open && !o) ++closes;
        open = o;
    }
    bool portOpen() const override { return open; }
    std::vector<std::uint8_t> input() override
    {
        if (!open) throw SerialPortError("closed");
        return {};
    }
    void setRThreshold(int) override {}
    void setSThreshold(int) override {}
    void output(const std::vector<std::uint8_t>& bytes) override
    {
        if (!open) throw SerialPortError("closed");
        written.insert(written.end(), bytes.begin(), bytes.end());
    }
    int inBufferCount() override { return 0; }
    void setDTREnable(bool e) override { dtr = e; }
    bool dtrEnable() const override { return dtr; }
    bool dtr = true;
    void setOnComm(CommHandler) override {}

private:
    int port_ = 1;
    std::string settings_ = "9600,N,8,1";
};

} // namespace kova::test
