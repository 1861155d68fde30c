#pragma once
// The 2-byte record through which a calling program learns that the window
// is up (1) and that the program ends (2).

#include <QString>
#include <cstdint>

namespace kova {

// Writes value as a little-endian 16-bit integer into bytes 0-1 of the file,
// creating it when missing and leaving the rest of it as it was. A failure is
// reported on stderr only; false is returned then.
bool writeHandshake(const QString& path, std::int16_t value);

} // namespace kova
