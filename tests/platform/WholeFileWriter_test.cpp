#include "platform/WholeFileWriter.h"
#include "platform/FullFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <tuple>

using kova::FileWriteFault;
using kova::test::folderNames;
using kova::writeWholeFile;

namespace {
std::string readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<none>");
}
mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}
} // namespace

// A write, sync or close that fails leaves the old file as it was, no
// temporary file, and the system's reason of the step that failed.
TEST(WholeFileWriter, AFailedStepLeavesTheOldFile)
{
    using Step = FileWriteFault::Step;
    const std::tuple<Step, std::size_t, int> cases[] = {
        {Step::Write, 0, ENOSPC}, {Step::Write, 5000, ENOSPC}, {Step::Sync, 0, EIO}, {Step::Close, 0, EDQUOT}};
    for (const auto& [step, bytesBefore, error] : cases) {
        SCOPED_TRACE(std::strerror(error) + (" after " + std::to_string(bytesBefore)));
        QTemporaryDir dir;
        const QString path = dir.filePath("old.bin");
        ASSERT_TRUE(writeWholeFile(path.toStdString(), "old content"));
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        std::string reason;
        const FileWriteFault fault(step, error, bytesBefore);
        EXPECT_FALSE(writeWholeFile(path.toStdString(), std::string(8000, 'n'), &reason, true));
        EXPECT_EQ(reason, std::strerror(error));
        EXPECT_EQ(readAll(path), "old content");
        EXPECT_EQ(modeOf(path), 0640u);
        EXPECT_EQ(folderNames(dir.path()), QStringList{"old.bin"});
    }
}

// A folder that is missing is refused with the system's reason (a read-only file and a folder in the file's
// place are refused through the setpoint file's and the modem string's saves).
TEST(WholeFileWriter, AMissingFolderIsNamed)
{
    QTemporaryDir dir;
    std::string reason;
    EXPECT_FALSE(writeWholeFile(dir.filePath("no/such/file").toStdString(), "x", &reason));
    EXPECT_EQ(reason, std::strerror(ENOENT));
    EXPECT_EQ(folderNames(dir.path()), QStringList{});
}

// A new file takes the umask's bits; a link keeps pointing at the file it
// names, which takes the new content.
TEST(WholeFileWriter, NewFilesAndLinks)
{
    QTemporaryDir dir;
    const mode_t before = ::umask(027);
    EXPECT_TRUE(writeWholeFile(dir.filePath("new").toStdString(), "abc"));
    ::umask(before);
    EXPECT_EQ(modeOf(dir.filePath("new")), 0640u);
    ASSERT_TRUE(QFile::link(dir.filePath("new"), dir.filePath("link")));
    EXPECT_TRUE(writeWholeFile(dir.filePath("link").toStdString(), "via link"));
    EXPECT_TRUE(QFileInfo(dir.filePath("link")).isSymLink());
    EXPECT_EQ(readAll(dir.filePath("new")), "via link");
    EXPECT_EQ(folderNames(dir.path()), QStringList({"link", "new"}));
}
