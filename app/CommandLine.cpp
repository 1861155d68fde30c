#include "app/CommandLine.h"

#include "text/NumberText.h"
#include "text/VbNumbers.h"

#include <algorithm>
#include <limits>

namespace kova {

bool isSupportedBaud(std::int32_t baud)
{
    return std::find(kVelocidades.begin(), kVelocidades.end(), baud) != kVelocidades.end();
}

CommandLine parseCommandLine(std::string_view line)
{
    CommandLine cl;
    if (line.empty()) return cl;

    cl.kind = CommandLine::Kind::Malformed;
    std::size_t p1 = line.find(' ');
    if (p1 == std::string_view::npos) return cl;

    std::string_view first = line.substr(0, p1);
    std::size_t comma = first.find(',');
    if (comma == std::string_view::npos) return cl;
    auto baud = vb::toInt32(vb::Val(first.substr(0, comma)));
    if (!baud) return cl;

    std::string_view rest = line.substr(p1 + 1);
    std::size_t p2 = rest.find(' ');
    std::optional<std::int16_t> port = std::int16_t{0};
    std::string_view addressText = rest;
    if (p2 != std::string_view::npos) {
        port = vb::toInt16(vb::Val(rest.substr(0, p2)));
        addressText = rest.substr(p2 + 1);
    }
    if (!port) return cl;
    auto address = vb::toByte(vb::Val(addressText));
    if (!address) return cl;

    cl.Velocidad = *baud;
    cl.Puerto_Com = *port;
    cl.Direccion_Rele = *address;
    bool ok = isSupportedBaud(cl.Velocidad) && cl.Puerto_Com >= 1 && cl.Direccion_Rele >= kDireccionMinima &&
              cl.Direccion_Rele <= kDireccionMaxima;
    cl.kind = ok ? CommandLine::Kind::Valid : CommandLine::Kind::Invalid;
    return cl;
}

std::string expectedCommandLine()
{
    std::string bauds;
    for (std::size_t i = 0; i < kVelocidades.size(); ++i) {
        if (i > 0) bauds += i + 1 == kVelocidades.size() ? " or " : ", ";
        bauds += integerText(kVelocidades[i]);
    }
    // Any port number the 16 bits of the port setting hold.
    return "Expected: \"<baud rate>,N,8,1\" <COM port 1-" + integerText(std::numeric_limits<std::int16_t>::max()) +
           "> <slave address " + integerText(kDireccionMinima) + "-" + integerText(kDireccionMaxima) +
           ">; baud rate " + bauds;
}

} // namespace kova
