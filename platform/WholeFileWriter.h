#pragma once
// Writing a file whole or not at all, for every file the program and its
// tools save (setpoint files, the modem string file, settings and forms).
//
// The new content goes into a temporary file beside the target; every write,
// the sync to the disk and the close must succeed (and, when asked, the
// content read back must equal what was written) before the temporary file
// is renamed over the target. On any failure the temporary file is removed
// and the target is left exactly as it was. A replaced file keeps its owner
// (where the process may give it away) and its permission bits; a file whose
// permission bits allow no writing is refused whoever runs the program (to
// root every file is writable). A symbolic link is followed: the file it
// names is replaced, the link stays.

#include <cstddef>
#include <string>
#include <string_view>

namespace kova {

// True when the file at `path` now holds exactly `data`. False otherwise,
// with the system's reason in `reason` ("No space left on device",
// "Permission denied", "read-only", ...) and the file untouched.
bool writeWholeFile(const std::string& path, std::string_view data, std::string* reason = nullptr,
                    bool readBack = false);

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
