#include "platform/BuiltInFile.h"

#include <QDir>
#include <QFile>

namespace kova {

QString builtInFilePath(const QString& resourceDir, const char* editedDir, std::string_view name)
{
    const QString file = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + QStringLiteral(".json");
    const QString dir = qEnvironmentVariable(editedDir);
    if (!dir.isEmpty() && QFile::exists(QDir(dir).filePath(file)))
        return QDir(dir).filePath(file);
    const QString builtIn = QDir(resourceDir).filePath(file);
    return QFile::exists(builtIn) ? builtIn : QString();
}

bool isEditedFile(const QString& path) { return !path.isEmpty() && !path.startsWith(QLatin1Char(':')); }

std::optional<std::string> builtInFileText(const QString& resourceDir, const char* editedDir,
                                           std::string_view name)
{
    QFile f(builtInFilePath(resourceDir, editedDir, name));
    if (f.fileName().isEmpty() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll().toStdString();
}

} // namespace kova
