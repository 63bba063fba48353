// Stands in for the default browser: appends the address it was asked to open, one line
// each, to the log named by its first argument. Usage: fake_browser <log> <address>
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 3) return 2;
    std::wstring line = std::wstring(args[2]) + L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    HANDLE log = CreateFileW(args[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(log);
    LocalFree(args);
    return 0;
}
