// A stand-in for a program planted under a system command's name: it leaves a file
// named "planted-ran" in its current folder, so a test can tell that it ran.
#include <windows.h>

int main() {
    HANDLE mark = CreateFileW(L"planted-ran", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return 0;
}
