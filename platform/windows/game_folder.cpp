// Choosing the folder the game runs in on Windows, and the junction that leads from the user's own
// folder to the game's data.
#include "windows/game_folder.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <vector>

namespace windows {

namespace {

std::string narrow(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

bool isFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The reparse data of a mount point (a junction): the target as an NT path, then its display name.
bool makeJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    HANDLE h = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        RemoveDirectoryW(link.c_str());
        return false;
    }
    const std::wstring nt = L"\\??\\" + target;
    const size_t ntBytes = nt.size() * sizeof(wchar_t), printBytes = target.size() * sizeof(wchar_t);
    // ReparseTag, ReparseDataLength, Reserved, then the mount point's four offsets and lengths, then the
    // two names, each ended by a null character.
    const size_t pathBytes = ntBytes + sizeof(wchar_t) + printBytes + sizeof(wchar_t);
    std::vector<BYTE> buffer(8 + 8 + pathBytes, 0);
    auto put16 = [&](size_t at, size_t value) {
        buffer[at] = static_cast<BYTE>(value);
        buffer[at + 1] = static_cast<BYTE>(value >> 8);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, 4);
    put16(4, 8 + pathBytes);
    put16(8, 0);                                   // substitute name offset
    put16(10, ntBytes);                            // substitute name length
    put16(12, ntBytes + sizeof(wchar_t));          // print name offset
    put16(14, printBytes);                         // print name length
    std::memcpy(buffer.data() + 16, nt.c_str(), ntBytes);
    std::memcpy(buffer.data() + 16 + ntBytes + sizeof(wchar_t), target.c_str(), printBytes);
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, 0,
                              &returned, nullptr);
    CloseHandle(h);
    if (!ok) RemoveDirectoryW(link.c_str());
    return ok;
}

}  // namespace

std::wstring executableFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            std::wstring exe(path.data(), n);
            size_t slash = exe.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash);
        }
        path.resize(path.size() * 2);
    }
}

bool canWriteLog(const std::wstring& folder) {
    const std::wstring log = folder + L"\\Log.txt";
    DWORD attributes = GetFileAttributesW(log.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
        HANDLE h = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
        return true;
    }
    // A file that is gone again when it is closed.
    const std::wstring probe = folder + L"\\Log.txt.probe";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

std::wstring stateFolder() {
    wchar_t value[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", value, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(value, n) + L"\\Quillmoor";
}

std::wstring chooseRunFolder(const std::wstring& gameFolder, const std::wstring& state,
                             const std::function<bool(const std::wstring&)>& writable, std::string& error) {
    if (writable(gameFolder)) return gameFolder;
    if (state.empty()) {
        error = "LOCALAPPDATA names no folder for Log.txt";
        return {};
    }
    CreateDirectoryW(state.c_str(), nullptr);
    if (!isFolder(state) || !writable(state)) {
        error = narrow(state) + ": cannot write Log.txt there";
        return {};
    }
    const std::wstring link = state + L"\\data", target = gameFolder + L"\\data";
    DWORD attributes = GetFileAttributesW(link.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            error = narrow(link) + " is in the way: it should be the junction to " + narrow(target);
            return {};
        }
        // Another copy's data, or this one's: point it here afresh.
        RemoveDirectoryW(link.c_str());
    }
    if (!makeJunction(link, target)) {
        error = narrow(link) + ": cannot make a junction to " + narrow(target);
        return {};
    }
    return state;
}

void enterGameFolder() {
    const std::wstring folder = executableFolder();
    if (folder.empty()) return;
    std::string error;
    std::wstring run = chooseRunFolder(folder, stateFolder(), canWriteLog, error);
    if (run.empty()) {
        // The game still starts beside its data; it reports the log it cannot open in its own words.
        OutputDebugStringA(("quillmoor: " + error + "\n").c_str());
        run = folder;
    }
    SetCurrentDirectoryW(run.c_str());
}

}  // namespace windows
