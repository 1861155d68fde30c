#pragma once
// Files the program's tests read and prepare: whole-file reads and writes, the
// Default.KOVA2 the build writes beside the program, the handshake file.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <array>
#include <cstddef>
#include <cstdint>

namespace kova::test {

// The whole file, or nothing when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the whole file; true when all of it was written.
inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The simulated relay of this build, unless KOVA_RELAY_SIM names another.
inline QString relaySimPath()
{
    const QString env = qEnvironmentVariable("KOVA_RELAY_SIM");
    return env.isEmpty() ? QStringLiteral(KOVA_TEST_RELAY_SIM) : env;
}

// The build's top folder (the simulator is built two levels below it).
inline QString buildDir()
{
    return QFileInfo(relaySimPath()).dir().absoluteFilePath("../..");
}

// The Default.KOVA2 the build wrote beside the program.
inline QString builtDefaultFile()
{
    return buildDir() + "/Default.KOVA2";
}

// A register image as bytes, for comparing with file contents.
template <std::size_t N>
QByteArray imageBytes(const std::array<std::uint8_t, N>& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

// Makes "prueba.txt" in `dir` the handshake file the program writes, with no
// such file there yet; gives its path.
inline QString freshHandshakeFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("prueba.txt");
    QFile::remove(path);
    qputenv("KOVA_HANDSHAKE_FILE", path.toLocal8Bit());
    return path;
}

} // namespace kova::test
