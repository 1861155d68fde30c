#include "platform/AppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace kova {

namespace {
QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}
} // namespace

QString programFolder()
{
    QString fromEnv = qEnvironmentVariable("KOVA_APP_DIR");
    if (!fromEnv.isEmpty()) return withoutTrailingSlash(fromEnv);
    return withoutTrailingSlash(QCoreApplication::applicationDirPath());
}

QString handshakeFilePath()
{
    QString fromEnv = qEnvironmentVariable("KOVA_HANDSHAKE_FILE");
    if (!fromEnv.isEmpty()) return fromEnv;
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty()) desktop = QDir::homePath() + QStringLiteral("/Desktop");
    return desktop + QStringLiteral("/prueba.txt");
}

} // namespace kova
