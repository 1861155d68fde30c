#pragma once

// Windows-1252 texts: setpoint files store their texts one byte per
// character in this character set. The program keeps texts as UTF-8.

#include <string>
#include <string_view>

namespace kova::cp1252 {

// UTF-8 -> Windows-1252 bytes. A character the set cannot hold (or a
// malformed UTF-8 sequence) becomes '?'.
std::string codificar(std::string_view utf8);

// Windows-1252 bytes -> UTF-8. The five unassigned bytes (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control characters of the same number, so
// every byte survives a decode and encode.
std::string decodificar(std::string_view bytes);

// Whether every character of a UTF-8 text has a Windows-1252 byte (a
// malformed sequence has none).
bool codificable(std::string_view utf8);

// Number of characters of a UTF-8 text.
std::size_t caracteres(std::string_view utf8);

// A fixed-length text: cut to n characters or padded with blanks to n.
std::string ajustar(std::string_view utf8, std::size_t n);

// Blanks (0x20 only) removed at both ends.
std::string recortar(std::string_view texto);

} // namespace kova::cp1252
