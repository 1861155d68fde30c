#include "platform/BuiltInFile.h"

#include <QDir>
#include <QFile>

namespace kova {

std::string readBuiltInFile(const QString& resourceDir, const char* editedDir, std::string_view name)
{
    const QString file = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + QStringLiteral(".json");
    const QString dir = qEnvironmentVariable(editedDir);
    if (!dir.isEmpty()) {
        QFile edited(QDir(dir).filePath(file));
        if (edited.open(QIODevice::ReadOnly))
            return edited.readAll().toStdString();
    }
    QFile f(QDir(resourceDir).filePath(file));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

} // namespace kova
