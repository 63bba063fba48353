// The program starts by loading and showing its main window.
#include <windows.h>

#include "main_window/form1.h"
#include "runtime/app.h"

namespace {

// DLLs loaded by name from here on, by the program or by the system on its behalf, come
// from the system folder only, never from the program's folder or the current one, where a
// planted copy could wait. The call is looked up: systems before Windows 8 without
// KB2533623 lack it, and start all the same.
void LoadDllsFromTheSystemFolderOnly() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefaultDllDirectories = reinterpret_cast<decltype(&::SetDefaultDllDirectories)>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadDllsFromTheSystemFolderOnly();
    return runtime::App::Run(main_window::Form1);
}
