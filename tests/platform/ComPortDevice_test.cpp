// Which device a COM number is, and the words for why it did not open.

#include "platform/ComPortDevice.h"

#include <gtest/gtest.h>

#include <cstdlib>

using kova::PortFailure;

namespace {

struct ComVariable {
    std::string name;
    ComVariable(int n, const char* value) : name("KOVA_COM" + std::to_string(n))
    {
        if (value)
            ::setenv(name.c_str(), value, 1);
        else
            ::unsetenv(name.c_str());
    }
    ~ComVariable() { ::unsetenv(name.c_str()); }
};

} // namespace

TEST(ComPortDevice, DescriptionNamesTheDeviceAndWhereItComesFrom)
{
    struct Case {
        int n;
        const char* variable;
        std::string description;
    };
    const Case cases[] = {
        {1, nullptr, "/dev/ttyS0 (set KOVA_COM1 to use another device)"},
        {8, nullptr, "/dev/ttyS7 (set KOVA_COM8 to use another device)"},
        {2, "/dev/ttyUSB0", "/dev/ttyUSB0 (from KOVA_COM2)"},
        {3, "", "/dev/ttyS2 (set KOVA_COM3 to use another device)"},
        {0, nullptr, "no device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        ComVariable v(c.n, c.variable);
        EXPECT_EQ(kova::comPortDescription(c.n), c.description);
    }
}

TEST(ComPortDevice, FailureTextsSayWhyAndWhatToDo)
{
    struct Case {
        int n;
        const char* device;
        PortFailure why;
        const char* system;
        std::string text;
    };
    const Case cases[] = {
        {1, "/dev/ttyUSB0", PortFailure::PermissionDenied, "",
         "/dev/ttyUSB0: permission denied \u2014 add your user to the dialout group and log in again"},
        {2, "/dev/ttyS1", PortFailure::NoSuchDevice, "",
         "/dev/ttyS1: no such device \u2014 set KOVA_COM2 to the adapter's device (e.g. /dev/ttyUSB0)"},
        {1, "/dev/ttyS0", PortFailure::InUse, "", "/dev/ttyS0: in use by another program"},
        {0, "", PortFailure::NoSuchPort, "", "COM0: no such port"},
        {4, "/dev/ttyS3", PortFailure::Other, "Input/output error", "/dev/ttyS3: Input/output error"},
        {4, "/dev/ttyS3", PortFailure::Other, "", "/dev/ttyS3: cannot be opened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(kova::portFailureText(c.n, c.device, c.why, c.system), c.text);
    }
}
