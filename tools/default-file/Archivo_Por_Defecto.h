#pragma once

// The default setpoint file: the simulated relay's start-up setpoint table
// laid into a Put image and saved with the program's own file routines.

#include "app/Manejo_de_Archivos.h"
#include "link/RegisterImages.h"
#include "link/DefaultSetpoints.h"

#include <string>

namespace kova {

// Every register of the table at its place in the Put image, high byte
// first; bytes of no block (298..300) are zero.
inline Imagen_Setpoints imagenPutPorDefecto()
{
    Imagen_Setpoints put{};
    for (const relaysim::SetpointBlock& b : relaysim::kDefaultSetpointBlocks) {
        for (std::size_t r = 0; r < b.count; ++r) {
            const auto i = setpointIndex(static_cast<std::uint32_t>(b.first + r));
            if (!i)
                continue;
            put[*i] = static_cast<std::uint8_t>(b.values[r] >> 8);
            put[*i + 1] = static_cast<std::uint8_t>(b.values[r] & 0xFF);
        }
    }
    return put;
}

// Writes the default file at `ruta`; false when it could not be written.
bool escribirArchivoPorDefecto(const std::string& ruta, std::string& error);

} // namespace kova
