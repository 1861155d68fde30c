#include "platform/HandshakeFile.h"

#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace kova {

namespace {
// The box is shown once per run: the file is written at every activation of
// the main window, and closing the box activates it again.
bool failureShown = false;
} // namespace

void resetHandshakeFailureShown() { failureShown = false; }

bool writeHandshake(const QString& path, std::int16_t value)
{
    QFile file(path);
    const auto u = static_cast<std::uint16_t>(value);
    const char record[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    // A fresh account has no desktop folder yet.
    const QString folder = QFileInfo(path).absolutePath();
    bool ok = QDir().mkpath(folder);
    QString reason = ok ? QString() : QStringLiteral("the folder %1 could not be created").arg(folder);
    if (ok) {
        ok = file.open(QIODevice::ReadWrite) && file.seek(0) && file.write(record, 2) == 2 && file.flush();
        if (!ok)
            reason = file.errorString();
    }
    if (ok)
        return true;
    std::fprintf(stderr, "kova: cannot write handshake file %s: %s\n", qUtf8Printable(path), qUtf8Printable(reason));
    if (!failureShown) {
        failureShown = true;
        ui().msgBoxDetail(kHandshakeNotWritten, MsgButtons::OKOnly, MsgIcon::Exclamation, kAppTitle,
                          QStringLiteral("%1: %2. The program that started KOVA is not told that it runs.")
                              .arg(QDir::toNativeSeparators(path), reason));
    }
    return false;
}

} // namespace kova
