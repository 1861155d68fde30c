#include "platform/ComPortDevice.h"

#include <cstdlib>

namespace kova {

std::string comPortDevice(int n)
{
    if (n < 1)
        return {};
    const std::string number = std::to_string(n);
    const std::string var = "KOVA_COM" + number;
    if (const char* v = std::getenv(var.c_str()); v && *v)
        return v;
    return "/dev/ttyS" + std::to_string(n - 1);
}

} // namespace kova
