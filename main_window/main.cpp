// The program starts by loading and showing its main window.
#include <windows.h>

#include "main_window/form1.h"
#include "runtime/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return runtime::App::Run(main_window::Form1); }
