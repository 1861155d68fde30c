#include "link/RespuestaEsperada.h"

#include "link/BasicCRC.h"

#include <algorithm>

namespace kova {

std::size_t largoRespuesta(const std::vector<std::uint8_t>& solicitud)
{
    if (solicitud.size() < 8)
        return 0;
    switch (solicitud[1]) {
    case 3:
    case 4: {
        const std::size_t registros = std::size_t{solicitud[4]} * 256 + solicitud[5];
        // The byte count is one byte: at most 127 registers fit a reply.
        return registros >= 1 && registros <= 127 ? 5 + 2 * registros : 0;
    }
    case 5:
    case 16:
        return 8;
    default:
        return 0;
    }
}

bool respondeA(const std::vector<std::uint8_t>& respuesta, const std::vector<std::uint8_t>& solicitud)
{
    const std::size_t largo = largoRespuesta(solicitud);
    if (largo == 0 || respuesta.size() != largo)
        return false;
    const std::uint16_t crc = BasicCRC::CRC16(respuesta.data(), static_cast<std::ptrdiff_t>(largo - 2));
    if (respuesta[largo - 2] != (crc >> 8) || respuesta[largo - 1] != (crc & 0xFF))
        return false;
    if (respuesta[0] != solicitud[0] || respuesta[1] != solicitud[1])
        return false;
    if (solicitud[1] == 3 || solicitud[1] == 4)
        return respuesta[2] == largo - 5;
    return std::equal(respuesta.begin() + 2, respuesta.begin() + 6, solicitud.begin() + 2);
}

bool excepcionDe(const std::vector<std::uint8_t>& respuesta, const std::vector<std::uint8_t>& solicitud)
{
    if (respuesta.size() != 5 || solicitud.size() < 2)
        return false;
    const std::uint16_t crc = BasicCRC::CRC16(respuesta.data(), 3);
    return respuesta[0] == solicitud[0] && respuesta[1] == (solicitud[1] | 0x80) && respuesta[3] == (crc >> 8) &&
           respuesta[4] == (crc & 0xFF);
}

int codigoExcepcion(const std::vector<std::uint8_t>& respuesta)
{
    if (respuesta.size() != 5 || (respuesta[1] & 0x80) == 0)
        return 0;
    const std::uint16_t crc = BasicCRC::CRC16(respuesta.data(), 3);
    if (respuesta[3] != (crc >> 8) || respuesta[4] != (crc & 0xFF))
        return 0;
    return respuesta[2];
}

} // namespace kova
