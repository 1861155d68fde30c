#pragma once
// Maps the COM port number the program works with to a device path.

#include <string>

namespace kova {

// COM n (n >= 1): the environment variable KOVA_COM<n> when it is set and not
// empty (e.g. KOVA_COM1=/dev/ttyUSB0 or a pseudo-terminal), otherwise
// /dev/ttyS<n-1>. Returns an empty text for n < 1: no device, the open fails.
std::string comPortDevice(int n);

} // namespace kova
