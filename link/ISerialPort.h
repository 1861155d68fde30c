#pragma once
// The serial port as the relay link sees it: the members of the serial
// communications control that the engine and the main window use.
// Implemented on QSerialPort in platform/, and by fakes in the tests.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kova {

// Raised by the port on a failed open, on Output/Input while closed and on
// settings it cannot take. A failed open's text names the device and the
// reason in words a user can act on, e.g. "/dev/ttyUSB0: permission denied
// - add your user to the dialout group and log in again".
class SerialPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Communication event codes, as the original control numbered them.
enum class CommEvent : int {
    Send = 1,     // the frame written by Output has left the port
    Receive = 2,  // at least RThreshold bytes are buffered
};

class ISerialPort {
public:
    virtual ~ISerialPort() = default;

    // Port number used by the next open (COM n).
    virtual void setCommPort(int n) = 0;
    virtual int commPort() const = 0;

    // "baud,parity,data,stop", e.g. "9600,N,8,1". Throws SerialPortError on a
    // text it cannot take (applied at the next open, or at once when open).
    virtual void setSettings(const std::string& settings) = 0;
    virtual std::string settings() const = 0;

    // Writing true opens the port with the current number and settings
    // (exclusive); throws SerialPortError when the device is missing or busy
    // and leaves the port closed. Writing false closes it (no-op when closed).
    virtual void setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;

    // All bytes received so far; reading empties the receive buffer and
    // re-arms the receive event. Throws SerialPortError when closed.
    virtual std::vector<std::uint8_t> input() = 0;

    // Receive event fires once when at least n bytes are buffered, and not
    // again until input() is read or the threshold is set again. 0: never.
    virtual void setRThreshold(int n) = 0;
    // n > 0: one send event after each output() once the bytes have left.
    virtual void setSThreshold(int n) = 0;

    // Transmits the bytes. Throws SerialPortError when closed.
    virtual void output(const std::vector<std::uint8_t>& bytes) = 0;

    // Bytes waiting in the receive buffer.
    virtual int inBufferCount() = 0;

    // Data Terminal Ready: raised at every open while enabled (the default),
    // and raised or lowered at once when the port is open.
    virtual void setDTREnable(bool enable) = 0;
    virtual bool dtrEnable() const = 0;

    // Handler of the communication events. Events are always posted to the
    // owner's event loop, never called from inside the members above.
    using CommHandler = std::function<void(CommEvent)>;
    virtual void setOnComm(CommHandler handler) = 0;
};

} // namespace kova
