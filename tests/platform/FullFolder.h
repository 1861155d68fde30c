#pragma once
// Test help for writes that fail: a small tmpfs filled up, and the names in a folder.

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace kova::test {

// Every name in the folder, hidden files included (a temporary file left behind is hidden).
inline QStringList folderNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A tmpfs of `kib` KiB on a temporary folder, unmounted at the end.
// mounted() is false where the process may not mount (the test then skips).
class SmallTmpfs {
public:
    explicit SmallTmpfs(int kib)
    {
        const std::string options = "size=" + std::to_string(kib) + "k";
        mounted_ = dir_.isValid() &&
                   ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallTmpfs()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Fills the file system with ".filler", then frees `spareKib` KiB of it; true when filling stopped on ENOSPC.
    bool fill(int spareKib = 0) const
    {
        QFile filler(dir_.filePath(".filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(1024, 'x');
        qint64 size = 0;
        long long n = 0;
        while ((n = ::write(filler.handle(), block.constData(), block.size())) > 0)
            size += n;
        if (errno != ENOSPC)
            return false;
        return spareKib == 0 || ::ftruncate(filler.handle(), std::max<qint64>(size - qint64(spareKib) * 1024, 0)) == 0;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace kova::test
