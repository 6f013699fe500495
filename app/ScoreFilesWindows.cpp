#include "app/ScoreFiles.h"
#include "app/WidePath.h"

#include <random>
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace scorefiles {

namespace {

constexpr int kAsideNames = 1000; // .corrupt, .corrupt.1 ... .corrupt.999
constexpr int kTempTries = 100;   // fresh temporary names tried before giving up

// The system's words for an error code, without the trailing period and line end.
std::string describe(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words =
        length > 0 ? narrow(std::wstring(text, length)) : "error " + std::to_string(error);
    LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' ||
                              words.back() == '.'))
        words.pop_back();
    return words;
}

std::string roamingAppData() {
    wchar_t* folder = nullptr;
    std::string found;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder) == S_OK)
        found = narrow(folder);
    CoTaskMemFree(folder);
    if (found.empty())
        if (const wchar_t* variable = _wgetenv(L"APPDATA"))
            found = narrow(variable);
    return found;
}

bool writeAll(HANDLE file, const std::string& text) {
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::string randomLetters() {
    static std::mt19937 random(std::random_device{}() ^ GetCurrentProcessId());
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string six(6, 'A');
    for (char& letter : six)
        letter = letters[random() % (sizeof letters - 1)];
    return six;
}

} // namespace

const char* const kLockName = "best-score.lock";

std::string userPath() {
    const std::string appData = roamingAppData();
    return appData.empty() ? std::string() : appData + "\\repair-zelto\\best-score";
}

std::string folderOf(const std::string& path) {
    return path.substr(0, path.find_last_of("/\\"));
}

std::string nameOf(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}

// A folder handle cannot be locked, so the lock is a byte range of a file that stays in the
// folder; its handle closes with the process, a kill included, and the lock with it.
FolderLock::FolderLock(const std::string& folder) {
    const HANDLE file =
        CreateFileW(widen(folder + "\\" + kLockName).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    opened = file != INVALID_HANDLE_VALUE;
    if (!opened) {
        reason = describe(GetLastError());
        return;
    }
    handle = reinterpret_cast<std::intptr_t>(file);
    OVERLAPPED whole{};
    locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) != 0;
}

FolderLock::~FolderLock() {
    if (opened)
        CloseHandle(reinterpret_cast<HANDLE>(handle)); // releases the lock too
}

void makeFolders(const std::string& folder) {
    // Past a drive's root ("C:\") or a share's ("\\server\share\"): those exist or never will.
    for (std::size_t at = folder.find_first_of("/\\", 3);;
         at = folder.find_first_of("/\\", at + 1)) {
        CreateDirectoryW(widen(folder.substr(0, at)).c_str(), nullptr);
        if (at == std::string::npos)
            return;
    }
}

void removeStaleTemps(const FolderLock&, const std::string& folder, const std::string& prefix) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW(widen(folder + "\\" + prefix + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileW(widen(folder + "\\" + narrow(entry.cFileName)).c_str());
    while (FindNextFileW(find, &entry));
    FindClose(find);
}

Read readHead(const std::string& path, std::size_t maxBytes, std::string& text,
              std::string& reason) {
    const HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        reason = describe(error);
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Read::missing
                                                                              : Read::failed;
    }
    text.assign(maxBytes, '\0');
    std::size_t size = 0;
    DWORD n = 0;
    bool ok = true;
    while (size < text.size() &&
           (ok = ReadFile(file, &text[size], static_cast<DWORD>(text.size() - size), &n, nullptr) !=
                 0) &&
           n > 0)
        size += n;
    const DWORD error = ok ? 0 : GetLastError();
    CloseHandle(file);
    text.resize(size);
    if (!ok) {
        reason = describe(error);
        return Read::failed;
    }
    return Read::ok;
}

std::string setAside(const std::string& path, std::string& reason) {
    // MoveFileExW without MOVEFILE_REPLACE_EXISTING never replaces a name: a taken name fails
    // with ERROR_ALREADY_EXISTS, and the next is tried.
    DWORD error = ERROR_ALREADY_EXISTS;
    for (int i = 0; i < kAsideNames && error == ERROR_ALREADY_EXISTS; ++i) {
        const std::string name = path + ".corrupt" + (i > 0 ? "." + std::to_string(i) : "");
        if (MoveFileExW(widen(path).c_str(), widen(name).c_str(), MOVEFILE_WRITE_THROUGH))
            return name;
        error = GetLastError();
        if (error == ERROR_FILE_EXISTS)
            error = ERROR_ALREADY_EXISTS;
    }
    reason = describe(error);
    return std::string();
}

bool replace(const FolderLock&, const std::string& path, const std::string& tempPrefix,
             const std::string& text, const char*& step, std::string& reason) {
    std::string temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int i = 0; i < kTempTries && file == INVALID_HANDLE_VALUE && error == ERROR_FILE_EXISTS;
         ++i) {
        temp = tempPrefix + randomLetters();
        file = CreateFileW(widen(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    if (file == INVALID_HANDLE_VALUE) {
        step = "create a temporary file", reason = describe(error);
        return false;
    }
    const bool written = writeAll(file, text) && FlushFileBuffers(file);
    error = written ? 0 : GetLastError();
    CloseHandle(file);
    if (!written) {
        step = "write a temporary file", reason = describe(error);
        DeleteFileW(widen(temp).c_str());
        return false;
    }
    if (!MoveFileExW(widen(temp).c_str(), widen(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        step = "replace the file", reason = describe(GetLastError());
        DeleteFileW(widen(temp).c_str());
        return false;
    }
    return true;
}

} // namespace scorefiles
