// Real files and folders for the start-up tests: made with given bytes and attributes,
// read back, and removed whatever attributes they carry.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace startup_tests {

// File attributes, short for the tables of cases.
constexpr DWORD kRO = FILE_ATTRIBUTE_READONLY;
constexpr DWORD kHid = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kSys = FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kArc = FILE_ATTRIBUTE_ARCHIVE;

// Writes bytes to path (replacing it), then sets attributes unless 0.
void PutFile(const std::wstring& path, const std::string& bytes, DWORD attributes = 0);
void PutFolder(const std::wstring& path, DWORD attributes = 0);

// The file's bytes; nullopt when there is no file.
std::optional<std::string> ReadBytes(const std::wstring& path);

// Removes the file or (empty) folder at path if there is one.
void RemoveEntry(const std::wstring& path);

bool Exists(const std::wstring& path);

// A fresh, empty folder under the temporary folder, removed with all it holds at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Removes everything inside folder (not the folder itself).
void EmptyFolder(const std::wstring& folder);

}  // namespace startup_tests
