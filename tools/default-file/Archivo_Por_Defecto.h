#pragma once

// The default setpoint file: the simulated relay's start-up setpoint table
// laid into a Put image and saved with the program's own file routines.

#include "app/Manejo_de_Archivos.h"
#include "tools/relay-sim/DefaultSetpoints.h"

#include <string>

namespace kova {

// The six setpoint blocks end to end, registers big-endian; bytes 298..300
// (no block) are zero.
inline Imagen_Setpoints imagenPutPorDefecto()
{
    Imagen_Setpoints put{};
    std::size_t i = 0;
    for (const relaysim::SetpointBlock& b : relaysim::kDefaultSetpointBlocks) {
        for (std::size_t r = 0; r < b.count; ++r) {
            put[i++] = static_cast<std::uint8_t>(b.values[r] >> 8);
            put[i++] = static_cast<std::uint8_t>(b.values[r] & 0xFF);
        }
    }
    return put;
}

// Writes the default file at `ruta`; false when it could not be written.
bool escribirArchivoPorDefecto(const std::string& ruta, std::string& error);

} // namespace kova
