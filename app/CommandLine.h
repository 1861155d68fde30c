#pragma once
// The start-up command line of a calling program: "baud,parity,data,stop
// port address", e.g. "9600,N,8,1 2 5". Read as it has always been read
// (blanks inside numbers skipped, halves rounded to even, only the baud of the
// first token used), then checked, so a line that cannot name a relay never
// starts a connection.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kova {

struct CommandLine {
    enum class Kind {
        Empty,      // no command line: interactive start
        Valid,      // command-line mode
        Malformed,  // no blank, no comma in the first token, or a number overflows
        Invalid,    // read, but baud, port or address is out of range
    };
    Kind kind = Kind::Empty;
    std::int32_t Velocidad = 0;
    std::int16_t Puerto_Com = 0;
    std::uint8_t Direccion_Rele = 0;
};

// Parses and checks the text given after the program's name.
CommandLine parseCommandLine(std::string_view line);

// Baud rates the link offers, in the connection window's list order.
inline constexpr std::array<std::int32_t, 5> kVelocidades = {1200, 2400, 4800, 9600, 19200};
bool isSupportedBaud(std::int32_t baud);
// Slave addresses a command line may name (0 is the broadcast address).
inline constexpr int kDireccionMinima = 1;
inline constexpr int kDireccionMaxima = 247;

// What parseCommandLine takes as valid, said for a calling program's
// author (the detail line of "Invalid command line").
std::string expectedCommandLine();

} // namespace kova
