#include "platform/HandshakeFile.h"
#include "app/support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

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

TEST(HandshakeFile, MissingFolderIsCreated)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("home/Desktop/prueba.txt");
    ASSERT_TRUE(writeHandshake(path, 1));
    EXPECT_EQ(readAll(path), QByteArray::fromHex("0100"));
}

TEST(HandshakeFile, FileThatCannotBeWrittenIsToldOncePerRun)
{
    // A plain file where the folder should be: neither can be made.
    QTemporaryDir dir;
    writeAll(dir.filePath("Desktop"), "x");
    const struct { QString path; QString reason; } cases[] = {
        {dir.filePath("Desktop/prueba.txt"), "the folder " + dir.filePath("Desktop") + " could not be created"},
        {dir.path(), ""}, // a folder, not a file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        kova::resetHandshakeFailureShown();
        kova::test::ScriptedUi ui;
        EXPECT_FALSE(writeHandshake(c.path, 1));
        EXPECT_FALSE(writeHandshake(c.path, 1)); // the box re-activated the window
        EXPECT_FALSE(writeHandshake(c.path, 2));
        ASSERT_EQ(ui.shown.size(), 1);
        EXPECT_EQ(ui.shown[0].text, kova::kHandshakeNotWritten);
        EXPECT_TRUE(ui.shown[0].detail.startsWith(c.path + ": " + c.reason)) << ui.shown[0].detail.toStdString();
    }
    kova::resetHandshakeFailureShown();
}
