#include "app/CommandLine.h"

#include <gtest/gtest.h>

using kova::CommandLine;
using kova::parseCommandLine;
using Kind = CommandLine::Kind;

TEST(CommandLine, ParsesAndChecks)
{
    struct Case {
        const char* line;
        Kind kind;
        int baud, port, address; // checked unless the line is malformed or empty
    };
    const Case cases[] = {
        {"9600,N,8,1 2 5", Kind::Valid, 9600, 2, 5},
        {"9600,N,8,1 2 17", Kind::Valid, 9600, 2, 17},
        {"19200,E,7,2 1 247", Kind::Valid, 19200, 1, 247},
        {"9600,N,8,1 5", Kind::Invalid, 9600, 0, 5},          // two tokens: port 0
        {"9600,N,8,1 2 5 7", Kind::Valid, 9600, 2, 57},       // blanks inside a number
        {"9600,N,8,1 2 2.5", Kind::Valid, 9600, 2, 2},        // halves to even
        {"9600,N,8,1 2 3.5", Kind::Valid, 9600, 2, 4},
        {"&H2580,N,8,1 &H2 &O7", Kind::Valid, 9600, 2, 7},
        {"38400,N,8,1 2 5", Kind::Invalid, 38400, 2, 5},      // baud not offered
        {"9600,N,8,1 2 0", Kind::Invalid, 9600, 2, 0},        // broadcast address
        {"9600,N,8,1 2 248", Kind::Invalid, 9600, 2, 248},
        {"9600,N,8,1 12 5", Kind::Valid, 9600, 12, 5},
        {"1200,N,8,1 32767 1", Kind::Valid, 1200, 32767, 1},
        {"9600,N,8,1 32768 1", Kind::Malformed, 0, 0, 0},     // past the 16-bit port setting
        {"9600,N,8,1 -1 5", Kind::Invalid, 9600, -1, 5},
        {"9600.5,N,8,1 2 5", Kind::Valid, 9600, 2, 5},        // 9600.5 rounds to the even 9600
        {"9600,N,8,1 2 247.5", Kind::Invalid, 9600, 2, 248},  // 247.5 rounds to 248
        {"19200 2 5", Kind::Malformed, 0, 0, 0},              // no comma
        {"9600 2 17", Kind::Malformed, 0, 0, 0},
        {"9600,N,8,1", Kind::Malformed, 0, 0, 0},             // no blank
        {"9600,N,8,1 70000 5", Kind::Malformed, 0, 0, 0},     // port overflows 16 bits
        {"9600,N,8,1 2 300", Kind::Malformed, 0, 0, 0},       // address overflows a byte
        {"9600,N,8,1 2 -1", Kind::Malformed, 0, 0, 0},
        {"", Kind::Empty, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CommandLine cl = parseCommandLine(c.line);
        EXPECT_EQ(cl.kind, c.kind);
        if (c.kind == Kind::Valid || c.kind == Kind::Invalid) {
            EXPECT_EQ(cl.Velocidad, c.baud);
            EXPECT_EQ(cl.Puerto_Com, c.port);
            EXPECT_EQ(cl.Direccion_Rele, c.address);
        }
    }
}
