#include "TestPlatform.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

std::string makeScratchFolder(const std::string& stem) {
    std::string name = (std::filesystem::temp_directory_path() / (stem + "XXXXXX")).string();
    return mkdtemp(&name[0]) != nullptr ? name : std::string();
}

void setEnvironment(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

// Root may write anywhere chmod allows nothing; /proc takes no new folders from anyone.
std::string unwritableScorePath() {
    return "/proc/repair-zelto/best-score";
}

Child startSaver(const std::string& scoreFile, const std::string& errorFile) {
    const std::string saver =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "score_saver").string();
    const char* argv[] = {saver.c_str(), scoreFile.c_str(), errorFile.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, saver.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        pid = 0;
    return Child{pid};
}

void kill(Child& child) {
    if (child.handle > 0) {
        kill(static_cast<pid_t>(child.handle), SIGKILL);
        waitpid(static_cast<pid_t>(child.handle), nullptr, 0);
    }
    child.handle = 0;
}
