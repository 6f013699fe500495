#include "TestPlatform.h"
#include "app/WidePath.h"

#include <cstdlib>
#include <filesystem>

std::string makeScratchFolder(const std::string& stem) {
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    for (unsigned n = GetTickCount() ^ GetCurrentProcessId();; ++n) {
        const std::wstring folder =
            (temp / std::filesystem::u8path(stem + std::to_string(n))).wstring();
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return narrow(folder);
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
}

void setEnvironment(const std::string& name, const std::string& value) {
    _putenv_s(name.c_str(), value.c_str());
}

// No file system takes these characters in a name, for any user.
std::string unwritableScorePath() {
    return (std::filesystem::temp_directory_path() / "a<b>c|d" / "repair-zelto" / "best-score")
        .string();
}

Child startSaver(const std::string& scoreFile, const std::string& errorFile) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring saver =
        (std::filesystem::path(self).parent_path() / "score_saver.exe").wstring();
    std::wstring command =
        L"\"" + saver + L"\" \"" + widen(scoreFile) + L"\" \"" + widen(errorFile) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(saver.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return Child{};
    CloseHandle(process.hThread);
    return Child{reinterpret_cast<std::intptr_t>(process.hProcess)};
}

void kill(Child& child) {
    if (child.handle != 0) {
        const HANDLE process = reinterpret_cast<HANDLE>(child.handle);
        TerminateProcess(process, 9);
        WaitForSingleObject(process, INFINITE);
        CloseHandle(process);
    }
    child.handle = 0;
}
