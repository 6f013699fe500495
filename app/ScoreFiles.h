#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The file-system steps of the best score, the part that differs between systems: one
// implementation for POSIX (ScoreFilesPosix.cpp) and one for Windows (ScoreFilesWindows.cpp).
// Paths are UTF-8 strings. A step that fails says why in the system's own words (`reason`).
namespace scorefiles {

// Where this user's best score lives, or empty when the system names no data folder for them.
std::string userPath();
// A path's folder and its last name, split at this system's separators.
std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);
// The name of a file the lock keeps in the folder, or empty when the folder itself is locked.
extern const char* const kLockName;

// The folder held open and locked: loads, saves and setting a bad file aside take turns between
// games running at once. The lock goes with the process, a kill included; where the file system
// cannot lock, each goes on without.
class FolderLock {
  public:
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool opened = false;
    bool locked = false;
    std::string reason; // why the folder could not be opened

    std::intptr_t handle = -1; // a descriptor or a HANDLE, the system's own
};

// Every missing folder on the way, private to the user where the system has such a notion.
void makeFolders(const std::string& folder);
// Temporary files only exist while their writer holds the lock: those found by the holder,
// named prefix and six letters, were left by a killed game.
void removeStaleTemps(const FolderLock& lock, const std::string& folder, const std::string& prefix);

enum class Read { ok, missing, failed };
// At most maxBytes of the file into text.
Read readHead(const std::string& path, std::size_t maxBytes, std::string& text,
              std::string& reason);
// Moves a bad file to path.corrupt, or the first free path.corrupt.N, never replacing a name,
// so no earlier corrupt file is lost. The name used, or empty with the reason.
std::string setAside(const std::string& path, std::string& reason);
// Replaces the file whole with text: a temporary file named tempPrefix and six letters in the
// same folder, written, flushed to the disk and moved over it, so a crash or a kill at any moment
// leaves the old file or the new one. On failure, the step that failed and the reason.
bool replace(const FolderLock& lock, const std::string& path, const std::string& tempPrefix,
             const std::string& text, const char*& step, std::string& reason);

} // namespace scorefiles
