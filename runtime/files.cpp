#include "runtime/files.h"

#include <windows.h>

#include "runtime/error.h"

namespace runtime {

namespace {

// The entries that only a mask holding their bit lets through.
constexpr DWORD kSelectiveAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

bool MatchesMask(DWORD attributes, int mask) {
    return (attributes & kSelectiveAttributes & ~static_cast<DWORD>(mask)) == 0;
}

// Owns a search handle from FindFirstFileW.
class FileSearch {
public:
    FileSearch(const std::wstring& pathName, WIN32_FIND_DATAW& found)
        : handle_(FindFirstFileW(pathName.c_str(), &found)) {}
    ~FileSearch() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& found) { return FindNextFileW(handle_, &found) != FALSE; }

private:
    HANDLE handle_;
};

}  // namespace

void FileCopy(std::wstring_view source, std::wstring_view destination) {
    std::wstring from(source);
    std::wstring to(destination);
    if (from.empty() || to.empty()) Raise(kBadFileName);
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) RaiseFromWin32(GetLastError(), kPathFileAccessError);
}

void Kill(std::wstring_view path) {
    std::wstring name(path);
    if (name.empty()) Raise(kBadFileName);
    if (!DeleteFileW(name.c_str())) RaiseFromWin32(GetLastError(), kPathFileAccessError);
}

std::wstring Dir(std::wstring_view pathName, int attributes) {
    std::wstring pattern(pathName);
    if (pattern.empty()) return {};
    WIN32_FIND_DATAW found{};
    FileSearch search(pattern, found);
    if (!search.Found()) return {};
    do {
        if (MatchesMask(found.dwFileAttributes, attributes)) return found.cFileName;
    } while (search.Next(found));
    return {};
}

}  // namespace runtime
