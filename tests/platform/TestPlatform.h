#pragma once

#include <cstdint>
#include <string>

// What the tests need of the operating system that differs between systems: one file each for
// POSIX (TestPlatformPosix.cpp) and Windows (TestPlatformWindows.cpp).

// A new empty folder under the system's temporary folder, its name starting with stem.
std::string makeScratchFolder(const std::string& stem);
// Sets an environment variable of this process for what it starts or loads from now on.
void setEnvironment(const std::string& name, const std::string& value);
// A best-score path whose folder cannot be made, even by an administrator.
std::string unwritableScorePath();

// A running score_saver (tests/platform/ScoreSaver.cpp), the program beside this test binary,
// started with the given arguments; kill ends it at once, as a power cut or a kill would.
struct Child {
    std::intptr_t handle = 0; // a process id, or a process HANDLE
};
Child startSaver(const std::string& scoreFile, const std::string& errorFile);
void kill(Child& child);
