#include "tests/support/paths.h"

#include <windows.h>

namespace test_support {

std::wstring ExeFolder() {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace test_support
