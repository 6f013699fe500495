#include "app/BestScore.h"
#include "app/ScoreFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scorefiles {

namespace {

constexpr int kAsideNames = 1000; // .corrupt, .corrupt.1 ... .corrupt.999

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

const char* const kLockName = "";

std::string userPath() {
    const passwd* entry = getpwuid(getuid());
    return BestScore::locate(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
                             entry ? entry->pw_dir : nullptr);
}

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

FolderLock::FolderLock(const std::string& folder)
    : handle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    opened = handle >= 0;
    if (!opened) {
        reason = std::strerror(errno);
        return;
    }
    int result = -1;
    while ((result = flock(static_cast<int>(handle), LOCK_EX)) != 0 && errno == EINTR) {
    }
    locked = result == 0;
}

FolderLock::~FolderLock() {
    if (opened)
        close(static_cast<int>(handle));
}

void makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos)
            return;
    }
}

void removeStaleTemps(const FolderLock& lock, const std::string&, const std::string& prefix) {
    const int fd = static_cast<int>(lock.handle);
    DIR* dir = fdopendir(dup(fd));
    if (dir == nullptr)
        return;
    while (const dirent* entry = readdir(dir))
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0)
            unlinkat(fd, entry->d_name, 0);
    closedir(dir);
}

Read readHead(const std::string& path, std::size_t maxBytes, std::string& text,
              std::string& reason) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return errno == ENOENT ? Read::missing : Read::failed;
    }
    text.assign(maxBytes, '\0');
    std::size_t size = 0;
    ssize_t n = 0;
    while (size < text.size() &&
           ((n = read(fd, &text[size], text.size() - size)) > 0 || (n < 0 && errno == EINTR)))
        size += n > 0 ? static_cast<std::size_t>(n) : 0;
    const int readError = n < 0 ? errno : 0;
    close(fd);
    text.resize(size);
    if (readError != 0) {
        reason = std::strerror(readError);
        return Read::failed;
    }
    return Read::ok;
}

std::string setAside(const std::string& path, std::string& reason) {
    // link never replaces a name: EEXIST means that name is taken, try the next.
    for (int i = 0; i < kAsideNames; ++i) {
        const std::string name = path + ".corrupt" + (i > 0 ? "." + std::to_string(i) : "");
        if (link(path.c_str(), name.c_str()) == 0) {
            if (unlink(path.c_str()) == 0)
                return name;
            break;
        }
        if (errno != EEXIST)
            break;
    }
    reason = std::strerror(errno);
    return std::string();
}

bool replace(const FolderLock& lock, const std::string& path, const std::string& tempPrefix,
             const std::string& text, const char*& step, std::string& reason) {
    std::string temp = tempPrefix + "XXXXXX";
    const int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) {
        step = "create a temporary file", reason = std::strerror(errno);
        return false;
    }
    const bool written = writeAll(fd, text) && fsync(fd) == 0;
    const int writeError = errno;
    if (close(fd) != 0 || !written || rename(temp.c_str(), path.c_str()) != 0) {
        step = written ? "replace the file" : "write a temporary file";
        reason = std::strerror(written ? errno : writeError);
        unlink(temp.c_str());
        return false;
    }
    // The rename is durable once the folder's entry is.
    if (fsync(static_cast<int>(lock.handle)) != 0) {
        step = "sync the folder", reason = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace scorefiles
