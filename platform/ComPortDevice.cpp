#include "platform/ComPortDevice.h"
#include "text/NumberText.h"

#include <cstdlib>

namespace kova {

namespace {

std::string variableOf(int n) { return "KOVA_COM" + integerText(n); }

bool mappedByVariable(int n)
{
    const char* v = std::getenv(variableOf(n).c_str());
    return v != nullptr && *v != '\0';
}

} // namespace

std::string comPortDevice(int n)
{
    if (n < 1)
        return {};
    if (mappedByVariable(n))
        return std::getenv(variableOf(n).c_str());
    return "/dev/ttyS" + integerText(n - 1);
}

std::string comPortDescription(int n)
{
    if (n < 1)
        return "no device";
    if (mappedByVariable(n))
        return comPortDevice(n) + " (from " + variableOf(n) + ")";
    return comPortDevice(n) + " (set " + variableOf(n) + " to use another device)";
}

std::string portFailureText(int n, const std::string& device, PortFailure why, const std::string& systemText)
{
    switch (why) {
    case PortFailure::NoSuchPort:
        return "COM" + integerText(n) + ": no such port";
    case PortFailure::NoSuchDevice:
        // The hint only where the variable is not set already.
        if (mappedByVariable(n))
            return device + ": no such device \u2014 " + variableOf(n) + " names this device, which does not exist";
        return device + ": no such device \u2014 set " + variableOf(n) +
               " to the adapter's device (e.g. /dev/ttyUSB0)";
    case PortFailure::PermissionDenied:
        return device + ": permission denied \u2014 add your user to the dialout group and log in again";
    case PortFailure::InUse:
        return device + ": in use by another program";
    case PortFailure::Other:
        break;
    }
    return device + ": " + (systemText.empty() ? std::string("cannot be opened") : systemText);
}

} // namespace kova
