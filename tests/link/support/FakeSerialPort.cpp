#include "link/support/FakeSerialPort.h"

namespace kova::test {

void FakeSerialPort::setCommPort(int n)
{
    calls.push_back("CommPort=" + std::to_string(n));
    port = n;
}

void FakeSerialPort::setSettings(const std::string& s)
{
    calls.push_back("Settings=" + s);
    // Only "baud,N,8,1" with a non-empty number is accepted.
    if (s.empty() || s.front() == ',')
        throw SerialPortError("bad settings");
    settingsText = s;
}

void FakeSerialPort::setPortOpen(bool o)
{
    calls.push_back(std::string("PortOpen=") + (o ? "1" : "0"));
    if (o && failOpen)
        throw SerialPortError(openError);
    open = o;
}

std::vector<std::uint8_t> FakeSerialPort::input()
{
    calls.push_back("input");
    if (requireOpen && !open)
        throw SerialPortError("closed");
    std::vector<std::uint8_t> r;
    r.swap(rx);
    receiveFired = false;
    return r;
}

void FakeSerialPort::setRThreshold(int n)
{
    calls.push_back("RThreshold=" + std::to_string(n));
    rThreshold = n;
    receiveFired = false;
}

void FakeSerialPort::setSThreshold(int n)
{
    calls.push_back("SThreshold=" + std::to_string(n));
    sThreshold = n;
}

void FakeSerialPort::setDTREnable(bool e)
{
    calls.push_back(std::string("DTREnable=") + (e ? "1" : "0"));
    dtr = e;
}

void FakeSerialPort::output(const std::vector<std::uint8_t>& bytes)
{
    calls.push_back("output");
    if (failOutput || (requireOpen && !open))
        throw SerialPortError("cannot write");
    outputs.push_back(bytes);
}

const std::vector<std::uint8_t>& FakeSerialPort::lastOutput() const
{
    static const std::vector<std::uint8_t> none;
    return outputs.empty() ? none : outputs.back();
}

void FakeSerialPort::recibir(const std::vector<std::uint8_t>& bytes)
{
    rx.insert(rx.end(), bytes.begin(), bytes.end());
    if (!receiveFired && rThreshold > 0 && static_cast<int>(rx.size()) >= rThreshold && handler) {
        receiveFired = true;
        handler(CommEvent::Receive);
    }
}

void FakeSerialPort::clearLog()
{
    calls.clear();
    outputs.clear();
}

} // namespace kova::test
