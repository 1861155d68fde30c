#pragma once
// The 2-byte record through which a calling program learns that the window
// is up (1) and that the program ends (2).

#include <QString>
#include <cstdint>

namespace kova {

// Writes value as a little-endian 16-bit integer into bytes 0-1 of the file,
// creating it (and its folder) when missing and leaving the rest of it as it
// was. A failure is reported on stderr and, the first time in a run, in a
// message box naming the file and the reason (the calling program would
// otherwise wait for the record unawares); false is returned then.
bool writeHandshake(const QString& path, std::int16_t value);

// Text of that box.
inline const QString kHandshakeNotWritten = QStringLiteral("The handshake file could not be written");

// Shows the box again at the next failure (for tests).
void resetHandshakeFailureShown();

} // namespace kova
