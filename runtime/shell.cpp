#include "runtime/shell.h"

#include <windows.h>

#include <vector>

#include "runtime/error.h"
#include "runtime/handles.h"
#include "runtime/seams.h"

namespace runtime {

namespace {

int ShowCommandFor(int windowStyle) {
    switch (windowStyle) {
        case kHide: return SW_HIDE;
        case kNormalFocus: return SW_SHOWNORMAL;
        case kMinimizedFocus: return SW_SHOWMINIMIZED;
        case kMaximizedFocus: return SW_SHOWMAXIMIZED;
        case kNormalNoFocus: return SW_SHOWNOACTIVATE;
        case kMinimizedNoFocus: return SW_SHOWMINNOACTIVE;
        default: Raise(kInvalidCall);
    }
}

std::wstring ProgramWord(std::wstring_view commandLine) {
    size_t start = commandLine.find_first_not_of(L" \t");
    if (start == std::wstring_view::npos) return {};
    if (commandLine[start] == L'"') {
        size_t end = commandLine.find(L'"', start + 1);
        return std::wstring(commandLine.substr(start + 1, end == std::wstring_view::npos ? end : end - start - 1));
    }
    size_t end = commandLine.find_first_of(L" \t", start);
    return std::wstring(commandLine.substr(start, end == std::wstring_view::npos ? end : end - start));
}

bool IsAbsoluteFolder(std::wstring_view folder) {
    return (folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/')) ||
           (folder.size() >= 2 && folder[0] == L'\\' && folder[1] == L'\\');
}

std::wstring FolderOf(UINT (WINAPI* get)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH];
    UINT length = get(buffer, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::wstring(buffer, length) : std::wstring();
}

// The system folders, then PATH's absolute entries. Only absolute folders are joined: the
// search takes an empty or relative element, such as a failed lookup's "" or PATH's ".",
// from the current folder, where a planted program would be found.
std::wstring SafeSearchPath() {
    std::wstring path;
    auto join = [&path](std::wstring_view folder) {
        if (!IsAbsoluteFolder(folder)) return;
        if (!path.empty()) path += L';';
        path += folder;
    };
    join(FolderOf(seams.systemDirectory));
    join(FolderOf(seams.windowsDirectory));

    DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (size > 0) {
        std::vector<wchar_t> value(size);
        DWORD length = GetEnvironmentVariableW(L"PATH", value.data(), size);
        std::wstring_view entries(value.data(), length < size ? length : 0);
        while (!entries.empty()) {
            size_t semicolon = entries.find(L';');
            join(entries.substr(0, semicolon));
            if (semicolon == std::wstring_view::npos) break;
            entries.remove_prefix(semicolon + 1);
        }
    }
    return path;
}

}  // namespace

std::wstring ResolveShellProgram(std::wstring_view commandLine) {
    std::wstring program = ProgramWord(commandLine);
    if (program.empty()) return {};
    if (program.find_first_of(L"\\/:") != std::wstring::npos) return program;  // the caller named the place

    std::wstring searchPath = SafeSearchPath();
    if (searchPath.empty()) return {};  // nowhere safe to look
    wchar_t found[MAX_PATH];
    DWORD length = SearchPathW(searchPath.c_str(), program.c_str(), L".exe", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(found, length);
}

int32_t Shell(std::wstring_view commandLine, int windowStyle) {
    int showCommand = ShowCommandFor(windowStyle);
    std::wstring program = ResolveShellProgram(commandLine);
    if (program.empty()) Raise(kFileNotFound);

    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    if (!seams.createProcess(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process)) {
        RaiseFromWin32(GetLastError(), kFileNotFound);
    }
    // Not waited for: the handles go at once.
    KernelHandle thread(process.hThread);
    KernelHandle started(process.hProcess);
    return static_cast<int32_t>(process.dwProcessId);
}

}  // namespace runtime
