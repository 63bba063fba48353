// Real files and folders for tests: made with given bytes and attributes,
// read back, and removed whatever attributes they carry.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace test_support {

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
// The same, trying again for up to timeoutMs while a process that just ended may still
// hold a file in it (Wine lets one linger); says whether the entry is gone.
bool RemoveWhenReleased(const std::wstring& path, DWORD timeoutMs = 5000);

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

}  // namespace test_support
