#include "platform/HandshakeFile.h"
#include "app/support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

using kova::writeHandshake;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(HandshakeFile, WritesTheFirstTwoBytesAndKeepsTheRest)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("prueba.txt");
    writeAll(path, "ABCDEFGH");
    ASSERT_TRUE(writeHandshake(path, 1));
    EXPECT_EQ(readAll(path), QByteArray::fromHex("0100434445464748"));
    ASSERT_TRUE(writeHandshake(path, 2));
    EXPECT_EQ(readAll(path), QByteArray::fromHex("0200434445464748"));
}

TEST(HandshakeFile, CreatesAMissingFileWithExactlyTwoBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("prueba.txt");
    ASSERT_TRUE(writeHandshake(path, 1));
    EXPECT_EQ(readAll(path), QByteArray::fromHex("0100"));
    ASSERT_TRUE(writeHandshake(path, -2));
    EXPECT_EQ(readAll(path), QByteArray::fromHex("feff"));
}

TEST(HandshakeFile, MissingFolderIsCreatedOneThatCannotBeIsToldOncePerRun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeHandshake(dir.filePath("home/Desktop/prueba.txt"), 1));
    EXPECT_EQ(readAll(dir.filePath("home/Desktop/prueba.txt")), QByteArray::fromHex("0100"));
    writeAll(dir.filePath("Desktop"), "x"); // a plain file where the folder should be
    const QString path = dir.filePath("Desktop/prueba.txt");
    kova::resetHandshakeFailureShown();
    kova::test::ScriptedUi ui;
    EXPECT_FALSE(writeHandshake(path, 1));
    EXPECT_FALSE(writeHandshake(path, 2)); // the box re-activated the window
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].text, kova::kHandshakeNotWritten);
    EXPECT_TRUE(ui.shown[0].detail.startsWith(path + ": the folder " + dir.filePath("Desktop") +
                                              " could not be created: " + std::strerror(ENOTDIR) + "."));
    // Another run: the box gives the system's reason for the folder not made.
    kova::resetHandshakeFailureShown();
    EXPECT_FALSE(writeHandshake(dir.filePath(QString(300, 'd') + "/Desktop/prueba.txt"), 1));
    ASSERT_EQ(ui.shown.size(), 2);
    EXPECT_TRUE(ui.shown[1].detail.contains(
        QStringLiteral(" could not be created: %1. ").arg(QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)))))
        << ui.shown[1].detail.toStdString();
}
