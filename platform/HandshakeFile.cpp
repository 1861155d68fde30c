#include "platform/HandshakeFile.h"

#include "platform/StderrLine.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace kova {

namespace {
// The box is shown once per run: the file is written at every activation of
// the main window, and closing the box activates it again.
bool failureShown = false;

// Creates `folder` and the folders above it that are missing; "" when it
// exists, else the system's reason the first missing one could not be made.
QString makeFolders(const QString& folder)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/')
            continue;
        const QByteArray part = path.left(end);
        if (::mkdir(part.constData(), 0777) == 0)
            continue;
        const int error = errno;
        struct stat st {};
        const bool exists = ::stat(part.constData(), &st) == 0;
        if (exists && S_ISDIR(st.st_mode))
            continue;
        return QString::fromLocal8Bit(std::strerror(exists ? ENOTDIR : error));
    }
    return {};
}
} // namespace

void resetHandshakeFailureShown() { failureShown = false; }

bool writeHandshake(const QString& path, std::int16_t value)
{
    QFile file(path);
    const auto u = static_cast<std::uint16_t>(value);
    const char record[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    // A fresh account has no desktop folder yet.
    const QString folder = QFileInfo(path).absolutePath();
    const QString notMade = makeFolders(folder);
    bool ok = notMade.isEmpty();
    QString reason = ok ? QString() : QStringLiteral("the folder %1 could not be created: %2").arg(folder, notMade);
    if (ok) {
        ok = file.open(QIODevice::ReadWrite) && file.seek(0) && file.write(record, 2) == 2 && file.flush();
        if (!ok)
            reason = file.errorString();
    }
    if (ok)
        return true;
    writeStderrLine("kova: cannot write handshake file " + path.toStdString() + ": " + reason.toStdString());
    if (!failureShown) {
        failureShown = true;
        ui().msgBoxDetail(kHandshakeNotWritten, MsgButtons::OKOnly, MsgIcon::Exclamation, kAppTitle,
                          QStringLiteral("%1: %2. The program that started KOVA is not told that it runs.")
                              .arg(QDir::toNativeSeparators(path), reason));
    }
    return false;
}

} // namespace kova
