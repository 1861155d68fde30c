#include "platform/HandshakeFile.h"

#include <QFile>
#include <cstdio>

namespace kova {

bool writeHandshake(const QString& path, std::int16_t value)
{
    QFile file(path);
    const auto u = static_cast<std::uint16_t>(value);
    const char record[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    bool ok = file.open(QIODevice::ReadWrite) && file.seek(0) && file.write(record, 2) == 2;
    if (ok) ok = file.flush();
    if (!ok)
        std::fprintf(stderr, "kova: cannot write handshake file %s: %s\n",
                     qUtf8Printable(path), qUtf8Printable(file.errorString()));
    return ok;
}

} // namespace kova
