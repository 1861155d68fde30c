#include "platform/WholeFileWriter.h"
#include "platform/FullFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

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
// What a symbolic link holds; "" for anything else.
std::string linkText(const QString& path)
{
    char text[4096];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), text, sizeof text);
    return n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string();
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

// A link whose file does not exist yet, through a chain of links too: the file it names is created and the
// links stay; a link into a missing folder is refused with the system's reason and stays as it was.
TEST(WholeFileWriter, ADanglingLinkStaysALink)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"target", "target", ""}, {"../d/target", "target", ""}, {"no/such/target", nullptr, "ENOENT"}};
    for (const auto& [linkTo, created, error] : cases) {
        SCOPED_TRACE(linkTo);
        QTemporaryDir top;
        ASSERT_TRUE(QDir(top.path()).mkdir("d"));
        const QString dir = top.filePath("d");
        ASSERT_EQ(::symlink(linkTo, QFile::encodeName(dir + "/link").constData()), 0);
        ASSERT_TRUE(QFile::link(dir + "/link", dir + "/chain"));
        std::string reason;
        EXPECT_EQ(writeWholeFile((dir + "/chain").toStdString(), "via a dangling link", &reason), created != nullptr);
        EXPECT_EQ(linkText(dir + "/link"), linkTo);
        EXPECT_EQ(linkText(dir + "/chain"), (dir + "/link").toStdString());
        if (created) {
            EXPECT_EQ(readAll(dir + "/" + created), "via a dangling link");
            EXPECT_EQ(folderNames(dir), QStringList({"chain", "link", created}));
        } else {
            EXPECT_EQ(reason, std::strerror(ENOENT));
            EXPECT_EQ(folderNames(dir), QStringList({"chain", "link"}));
        }
    }
}

// Names up to the file system's longest are saved and replaced: the temporary name stays within it, a
// name of two-byte characters cut before a character.
TEST(WholeFileWriter, ALongNameIsSavedAndReplaced)
{
    for (const std::string& name : {std::string(250, 'a'), std::string(255, 'b'), [] {
                                         std::string s;
                                         for (int i = 0; i < 127; ++i) s += "\xC3\xA9";
                                         return s;
                                     }()}) {
        SCOPED_TRACE(name.size());
        QTemporaryDir dir;
        const std::string path = QFile::encodeName(dir.path()).toStdString() + "/" + name;
        std::string reason;
        EXPECT_TRUE(writeWholeFile(path, "first", &reason)) << reason;
        EXPECT_TRUE(writeWholeFile(path, "second", &reason, true)) << reason;
        EXPECT_EQ(readAll(QFile::decodeName(path.c_str())), "second");
        EXPECT_EQ(folderNames(dir.path()), QStringList{QFile::decodeName(name.c_str())});
    }
}

// A save over a group-shared file (1234:4321, mode 0664), by a process acting as each user in a child:
// root keeps owner and group; a member of the group keeps the group, the file becoming the member's; the
// owner outside the group keeps the owner, the group becoming the owner's. The bits stay 0664.
TEST(WholeFileWriter, ASaveKeepsTheGroupWhereTheUserMaySetIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    struct Case {
        uid_t user;
        gid_t group;
        std::vector<gid_t> groups;
        uid_t ownerAfter;
        gid_t groupAfter;
    };
    const Case cases[] = {{0, 0, {0}, 1234, 4321}, {1000, 1000, {4321}, 1000, 4321}, {1234, 1234, {}, 1234, 1234}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        QTemporaryDir dir;
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
        const std::string path = QFile::encodeName(dir.filePath("shared.KOVA2")).toStdString();
        ASSERT_TRUE(writeWholeFile(path, "old"));
        ASSERT_EQ(::chown(path.c_str(), 1234, 4321), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0664), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const bool acting = ::setgroups(c.groups.size(), c.groups.data()) == 0 &&
                                ::setresgid(c.group, c.group, c.group) == 0 && ::setresuid(c.user, c.user, c.user) == 0;
            ::_exit(!acting ? 2 : writeWholeFile(path, "new") ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2)
            GTEST_SKIP() << "the process may not take another user's ids here";
        EXPECT_EQ(WEXITSTATUS(status), 0);
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, c.ownerAfter);
        EXPECT_EQ(st.st_gid, c.groupAfter);
        EXPECT_EQ(st.st_mode & 07777, 0664u);
        EXPECT_EQ(readAll(dir.filePath("shared.KOVA2")), "new");
        EXPECT_EQ(folderNames(dir.path()), QStringList{"shared.KOVA2"});
    }
}
