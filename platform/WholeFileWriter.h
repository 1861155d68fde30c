#pragma once
// Writing a file whole or not at all, for every file the program and its
// tools save (setpoint files, the modem string file, settings and forms, a
// report printed to a PDF file).
//
// The new content goes into a temporary file beside the target; every write,
// the sync to the disk and the close must succeed (and, when asked, the
// content read back must equal what was written) before the temporary file
// is renamed over the target. On any failure the temporary file is removed
// and the target is left exactly as it was. A replaced file keeps its
// permission bits and its group where the process may set it (root, or a
// member of that group); its owner only where the process may give it away
// (root) or already is the owner. A file whose permission bits allow no
// writing is refused whoever runs the program (to root every file is
// writable). A symbolic link is followed: the file it names is replaced, or
// created when it does not exist yet, and the link stays. The temporary
// name is kept within the file system's longest name, so any name that can
// be saved can be replaced.

#include <cstddef>
#include <string>
#include <string_view>

namespace kova {

// True when the file at `path` now holds exactly `data`. False otherwise,
// with the system's reason in `reason` ("No space left on device",
// "Permission denied", "read-only", ...) and the file untouched.
bool writeWholeFile(const std::string& path, std::string_view data, std::string* reason = nullptr,
                    bool readBack = false);

// The file a path names: through any chain of symbolic links to the last
// one's target, whether that exists or not (a dangling link's target is
// created, the link stays); else the path itself. False with errno set for
// a loop of links or a link that cannot be read.
bool resolveSymbolicLinks(const std::string& path, std::string& target);

// A replacement for the file at a path, written by whatever takes a file
// name (a PDF printer): it writes temporaryPath(), and place() puts the
// result in the target's place. Until then the target is untouched; a
// replacement not placed is removed when the instance ends.
class WholeFileReplacement {
public:
    explicit WholeFileReplacement(const std::string& path);
    ~WholeFileReplacement();
    WholeFileReplacement(const WholeFileReplacement&) = delete;
    WholeFileReplacement& operator=(const WholeFileReplacement&) = delete;

    // False when no temporary file could be made (reason() says why).
    bool ready() const { return fd_ >= 0; }
    // The temporary file, open for writing while ready.
    int fd() const { return fd_; }
    const std::string& temporaryPath() const { return temporary_; }
    // The file replaced: the path, or the file a symbolic link names.
    const std::string& target() const { return target_; }
    // Whether the target existed when the replacement was made.
    bool replacesAFile() const { return existed_; }
    // Syncs and closes the temporary file and renames it over the target.
    // False with reason() set otherwise; the temporary file is then gone.
    bool place();
    // Removes the temporary file; the target stays as it was.
    void discard();
    const std::string& reason() const { return reason_; }

private:
    bool fail(std::string why);

    std::string target_;
    std::string temporary_;
    std::string reason_;
    int fd_ = -1;
    bool existed_ = false;
};

// For tests: while an instance lives, whole-file writes on this thread fail
// at `step` with the system error `error` (an errno value), as a full disk
// or a failing device would. A failing write first lets `bytesBefore`
// bytes through.
class FileWriteFault {
public:
    enum class Step { Write, Sync, Close };
    FileWriteFault(Step step, int error, std::size_t bytesBefore = 0);
    ~FileWriteFault();
    FileWriteFault(const FileWriteFault&) = delete;
    FileWriteFault& operator=(const FileWriteFault&) = delete;

    const Step step;
    const int error;
    const std::size_t bytesBefore;

private:
    FileWriteFault* previous_;
};

} // namespace kova
