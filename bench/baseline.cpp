// The least Win32 program that does Hushline's visible work: one fixed window with a client
// area of 193 x 214 pixels, seven push buttons and two labels, one notification-area icon with
// a tooltip, one "net" command started with a minimized window, and dragging by the window's
// bare surface. The benchmark measures Hushline against it.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr wchar_t kClass[] = L"HushlineBaseline";
constexpr UINT kTrayMessage = 2025;
constexpr int kClientWidth = 193;
constexpr int kClientHeight = 214;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_BORDER;

struct Child {
    const wchar_t* kind;
    const wchar_t* caption;
    int left, top, width, height;
    DWORD style;
};

// Hushline's controls at their places on the client area, in pixels.
constexpr Child kChildren[] = {
    {L"BUTTON", L"Go", 16, 16, 73, 25, BS_PUSHBUTTON},
    {L"BUTTON", L"Stop", 104, 16, 73, 25, BS_PUSHBUTTON},
    {L"STATIC", L"Hush Enabled", 16, 48, 161, 25, SS_CENTER | WS_BORDER},
    {L"BUTTON", L"Auto Start", 16, 96, 73, 25, BS_PUSHBUTTON},
    {L"BUTTON", L"No Auto Start", 104, 96, 73, 25, BS_PUSHBUTTON},
    {L"STATIC", L"Hush will Not Run on Startup", 16, 128, 161, 41, SS_CENTER | WS_BORDER},
    {L"BUTTON", L"Help", 8, 184, 57, 25, BS_PUSHBUTTON},
    {L"BUTTON", L"Hide", 72, 184, 57, 25, BS_PUSHBUTTON},
    {L"BUTTON", L"Exit", 136, 184, 49, 25, BS_PUSHBUTTON},
};

POINT g_grab{};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            g_grab = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            SetCapture(window);
            return 0;
        case WM_MOUSEMOVE:
            if (wParam == MK_LBUTTON) {
                RECT rect;
                GetWindowRect(window, &rect);
                SetWindowPos(window, nullptr, rect.left + static_cast<short>(LOWORD(lParam)) - g_grab.x,
                             rect.top + static_cast<short>(HIWORD(lParam)) - g_grab.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);

    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&outer, kStyle, FALSE);
    HWND window = CreateWindowExW(0, kClass, L"Baseline", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    for (const Child& child : kChildren) {
        CreateWindowExW(0, child.kind, child.caption, WS_CHILD | WS_VISIBLE | child.style, child.left, child.top,
                        child.width, child.height, window, nullptr, instance, nullptr);
    }

    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = kTrayMessage;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpyA(icon.szTip, "Right Click For Options");
    Shell_NotifyIconA(NIM_ADD, &icon);

    wchar_t commandLine[] = L"net stop messenger";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    ShowWindow(window, SW_SHOW);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
