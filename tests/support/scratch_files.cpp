#include "tests/support/scratch_files.h"

#include <stdexcept>
#include <vector>

namespace test_support {

namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::runtime_error(std::string(what) + " failed, error " + std::to_string(GetLastError()));
}

}  // namespace

void PutFile(const std::wstring& path, const std::string& bytes, DWORD attributes) {
    RemoveEntry(path);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("CreateFileW");
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) Fail("WriteFile");
    if (attributes && !SetFileAttributesW(path.c_str(), attributes)) Fail("SetFileAttributesW");
}

void PutFolder(const std::wstring& path, DWORD attributes) {
    RemoveEntry(path);
    if (!CreateDirectoryW(path.c_str(), nullptr)) Fail("CreateDirectoryW");
    if (attributes && !SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_DIRECTORY)) {
        Fail("SetFileAttributesW");
    }
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}


void RemoveEntry(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), attributes & FILE_ATTRIBUTE_DIRECTORY ? FILE_ATTRIBUTE_DIRECTORY
                                                                          : FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        EmptyFolder(path);
        RemoveDirectoryW(path.c_str());
    } else {
        DeleteFileW(path.c_str());
    }
}

bool RemoveWhenReleased(const std::wstring& path, DWORD timeoutMs) {
    for (DWORD start = GetTickCount();; Sleep(20)) {
        RemoveEntry(path);
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
    }
}

void EmptyFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::wstring& name : names) RemoveEntry(folder + L"\\" + name);
}

ScratchFolder::ScratchFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) Fail("GetTempPathW");
    path_ = std::wstring(temp, length) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    RemoveWhenReleased(path_);
    if (!CreateDirectoryW(path_.c_str(), nullptr)) Fail("CreateDirectoryW");
}

ScratchFolder::~ScratchFolder() { RemoveWhenReleased(path_); }

}  // namespace test_support
