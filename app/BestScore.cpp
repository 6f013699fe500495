#include "app/BestScore.h"

#include "app/GameState.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const char* const kSubPath = "/repair-zelto/best-score";
const char* const kTempTag = ".tmp."; // temporary files: the file's name, this, six letters
constexpr int kAsideNames = 1000;     // .corrupt, .corrupt.1 ... .corrupt.999
// A stored score is at most ten digits; a longer file holds no score, whatever comes after.
constexpr std::size_t kMaxFileBytes = 64;

bool absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// The folder held open and locked: loads, saves and setting a bad file aside take turns
// between games running at once. The lock goes with the process, a kill included; where the
// file system cannot lock, each goes on without.
struct FolderLock {
    int fd;
    bool locked = false;
    explicit FolderLock(const std::string& folder)
        : fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        int result = -1;
        while (fd >= 0 && (result = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        locked = result == 0;
    }
    ~FolderLock() {
        if (fd >= 0)
            close(fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
};

// Every missing folder on the way, private as the data-folder rules ask.
void makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos)
            return;
    }
}

// Temporary files only exist while their writer holds the lock: one found by the holder was
// left by a killed game.
void removeStaleTemps(const FolderLock& lock, const std::string& name) {
    DIR* dir = fdopendir(dup(lock.fd));
    if (dir == nullptr)
        return;
    const std::string prefix = name + kTempTag;
    while (const dirent* entry = readdir(dir))
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0)
            unlinkat(lock.fd, entry->d_name, 0);
    closedir(dir);
}

// Moves a bad file to path.corrupt, or the first free path.corrupt.N: link never replaces a
// name, so no earlier corrupt file is lost. The name used, or empty with errno set.
std::string setAside(const std::string& path) {
    for (int i = 0; i < kAsideNames; ++i) {
        const std::string name = path + ".corrupt" + (i > 0 ? "." + std::to_string(i) : "");
        if (link(path.c_str(), name.c_str()) == 0)
            return unlink(path.c_str()) == 0 ? name : std::string();
        if (errno != EEXIST)
            return std::string();
    }
    return std::string();
}

bool writeAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR)
            return false;
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return true;
}

} // namespace

std::string BestScore::locate(const char* dataHome, const char* home, const char* passwdHome) {
    if (absolute(dataHome))
        return dataHome + std::string(kSubPath);
    const char* base = absolute(home) ? home : absolute(passwdHome) ? passwdHome : nullptr;
    return base ? base + std::string("/.local/share") + kSubPath : std::string();
}

std::string BestScore::locate() {
    const passwd* entry = getpwuid(getuid());
    return locate(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
                  entry ? entry->pw_dir : nullptr);
}

std::optional<int> BestScore::parse(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    const std::size_t first = i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kMax)
            return std::nullopt;
    }
    if (i == first)
        return std::nullopt;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return static_cast<int>(value);
}

BestScore::BestScore(std::string file, std::ostream& err) : path(std::move(file)) {
    if (path.empty()) {
        err << "ERROR::SCORE:: No home folder is known: the best score is not kept" << std::endl;
        return;
    }
    const FolderLock lock(folderOf(path));
    if (lock.fd >= 0)
        best = stored(err);
}

int BestScore::stored(std::ostream& err) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            err << "ERROR::SCORE:: Could not read " << path << ": " << std::strerror(errno)
                << std::endl;
        return 0;
    }
    std::string text(kMaxFileBytes + 1, '\0');
    std::size_t size = 0;
    ssize_t n = 0;
    while (size < text.size() &&
           ((n = read(fd, &text[size], text.size() - size)) > 0 || (n < 0 && errno == EINTR)))
        size += n > 0 ? static_cast<std::size_t>(n) : 0;
    const int readError = n < 0 ? errno : 0;
    close(fd);
    if (readError != 0) {
        err << "ERROR::SCORE:: Could not read " << path << ": " << std::strerror(readError)
            << std::endl;
        return 0;
    }
    text.resize(size);
    if (const std::optional<int> value = parse(text))
        return *value;

    const std::string aside = setAside(path);
    const int error = errno;
    err << "ERROR::SCORE:: " << path << " holds no score (a whole number from 0 to " << kMax
        << "): ";
    if (!aside.empty())
        err << "kept as " << aside << ", starting from 0" << std::endl;
    else
        err << "could not set it aside (" << std::strerror(error) << "), starting from 0"
            << std::endl;
    return 0;
}

void BestScore::keep(const GameState& state, bool closing, std::ostream& err) {
    // Only a game that ran: the title and help over it hold the starting score, and the clock
    // can end the game before play began.
    played = played || (!state.paused && !state.startScreen && !state.gameOver);
    if (played && (state.gameOver || closing) && state.score > best)
        save(state.score, err);
}

void BestScore::save(int score, std::ostream& err) {
    // Raised whatever the disk says: a failed save is reported once, not in every frame after.
    isNew = score > best;
    best = std::max(best, score);
    if (path.empty())
        return;
    const std::string folder = folderOf(path);
    makeFolders(folder);
    const FolderLock lock(folder);
    if (lock.fd < 0)
        return failed(score, "open the folder", errno, err);
    if (lock.locked)
        removeStaleTemps(lock, nameOf(path));
    const int other = stored(err); // another game may have saved more since start-up
    if (other >= score) {
        best = other;
        isNew = false;
        return;
    }
    std::string temp = path + kTempTag + "XXXXXX";
    const int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0)
        return failed(score, "create a temporary file", errno, err);
    const bool written = writeAll(fd, std::to_string(score) + "\n") && fsync(fd) == 0;
    const int writeError = errno;
    if (close(fd) != 0 || !written || rename(temp.c_str(), path.c_str()) != 0) {
        const int error = written ? errno : writeError;
        unlink(temp.c_str());
        return failed(score, written ? "replace the file" : "write a temporary file", error, err);
    }
    // The rename is durable once the folder's entry is.
    if (fsync(lock.fd) != 0)
        failed(score, "sync the folder", errno, err);
}

void BestScore::failed(int score, const char* step, int error, std::ostream& err) const {
    err << "ERROR::SCORE:: Could not save the best score " << score << " in " << path << " ("
        << step << ": " << std::strerror(error) << "); playing on" << std::endl;
}
