// A stand-in for a DLL planted under a system DLL's name: when a process loads it, it
// leaves a file named after itself with ".loaded" added, beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    constexpr wchar_t kSuffix[] = L".loaded";
    wchar_t mark[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, mark, MAX_PATH);
    if (length == 0 || length + sizeof(kSuffix) / sizeof(wchar_t) > MAX_PATH) return TRUE;
    lstrcatW(mark, kSuffix);
    HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
