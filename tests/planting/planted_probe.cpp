// Loads the DLL named by its argument by bare name, with the system's default search; its
// exit code says whether the load succeeded (0) or not (1).
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    return LoadLibraryW(argv[1]) ? 0 : 1;
}
