#pragma once
// Maps the COM port number the program works with to a device path, and says
// in the user's words which device a COM number is and why it did not open.

#include <string>

namespace kova {

// COM n (n >= 1): the environment variable KOVA_COM<n> when it is set and not
// empty (e.g. KOVA_COM1=/dev/ttyUSB0 or a pseudo-terminal), otherwise
// /dev/ttyS<n-1>. Returns an empty text for n < 1: no device, the open fails.
std::string comPortDevice(int n);

// The device of COM n and where that comes from, e.g. "/dev/ttyS0 (set
// KOVA_COM1 to use another device)" or "/dev/ttyUSB0 (from KOVA_COM1)".
std::string comPortDescription(int n);

// Why a port did not open.
enum class PortFailure {
    NoSuchPort,        // a COM number without a device (n < 1)
    NoSuchDevice,      // the device is missing, or nothing answers behind it
    PermissionDenied,  // the user may not open the device
    InUse,             // another program (or another port of this one) has it
    Other,             // anything else: the system's own words follow
};

// One line naming the device and the reason, with what to do where the user
// can do something: "/dev/ttyUSB0: permission denied - add your user to the
// dialout group and log in again". A missing device gives the hint to set
// KOVA_COM<n> only while that variable is not set; when it is set, the line
// says the device it names does not exist.
std::string portFailureText(int n, const std::string& device, PortFailure why,
                            const std::string& systemText = {});

} // namespace kova
