#include "platform/HandshakeFile.h"

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

TEST(HandshakeFile, MissingFolderIsReportedNotThrown)
{
    QTemporaryDir dir;
    EXPECT_FALSE(writeHandshake(dir.filePath("no/such/folder/prueba.txt"), 1));
}
