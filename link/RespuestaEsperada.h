#pragma once
// The reply a request frame asks for. A reply answers a request only when it
// has exactly the length the request asks for, a good CRC, the request's
// slave address and function, and
// - for a register read (functions 3 and 4): byte 2 equal to twice the
//   number of registers asked;
// - for a coil or block write (functions 5 and 16): bytes 2 to 5 equal to
//   the request's (address, and value or register count).
// An exception reply, another slave's reply or a reply to another request
// of another size never answers it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kova {

// Length of the reply the request frame asks for; 0 for a frame the relay
// gives no such reply to (an unknown function, a frame too short).
std::size_t largoRespuesta(const std::vector<std::uint8_t>& solicitud);

bool respondeA(const std::vector<std::uint8_t>& respuesta, const std::vector<std::uint8_t>& solicitud);

// The relay's exception reply to the request frame (its slave address, the
// function with the high bit set, an exception code and a good CRC): the
// relay has answered that frame, with a refusal.
bool excepcionDe(const std::vector<std::uint8_t>& respuesta, const std::vector<std::uint8_t>& solicitud);

// The exception code of an exception reply (its byte 2: 1 illegal function,
// 2 illegal address, 3 illegal value, 4 device failure, ...); 0 when the
// bytes are no exception reply.
int codigoExcepcion(const std::vector<std::uint8_t>& respuesta);

} // namespace kova
