#include "tray/module2.h"

#include <algorithm>
#include <cstring>

#include "runtime/error.h"

namespace Module2 {

Seams seams;

LONG_PTR OldWindowProc = 0;
runtime::Form* TrayForm = nullptr;
runtime::Menu* TrayMenu = nullptr;
TrayRecord TrayData;

namespace {

// Operations and flags of the shell's notify-icon call.
constexpr DWORD kAdd = NIM_ADD;
constexpr DWORD kModify = NIM_MODIFY;
constexpr UINT kMessageAndIcon = NIF_MESSAGE | NIF_ICON;
constexpr UINT kIconOnly = NIF_ICON;
constexpr UINT kTipOnly = NIF_TIP;

constexpr UINT kIconId = 0;

ShellTrayRecord ToShell(const TrayRecord& data) {
    ShellTrayRecord record{};
    record.cbSize = data.cbSize;
    record.hWnd = data.hWnd;
    record.uID = data.uID;
    record.uFlags = data.uFlags;
    record.uCallbackMessage = data.uCallbackMessage;
    record.hIcon = data.hIcon;
    // Room for a multi-byte code page, where 64 characters can take more than 64 bytes.
    char converted[kTipLength * 4] = {};
    int bytes = WideCharToMultiByte(CP_ACP, 0, data.szTip, kTipLength, converted, sizeof(converted), nullptr, nullptr);
    std::memcpy(record.szTip, converted, sizeof(record.szTip));
    // The shell needs the terminator within its 64 bytes: keep it there when multi-byte
    // characters pushed it past the end.
    if (bytes > kTipLength && !std::memchr(record.szTip, '\0', sizeof(record.szTip))) {
        record.szTip[kTipLength - 1] = '\0';
    }
    return record;
}

void FromShell(const ShellTrayRecord& record, TrayRecord& data) {
    data.cbSize = record.cbSize;
    data.hWnd = record.hWnd;
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = record.hIcon;
    wchar_t converted[kTipLength];
    int length = MultiByteToWideChar(CP_ACP, 0, record.szTip, kTipLength, converted, kTipLength);
    // A fixed-length field: what the conversion leaves short is blanks.
    std::fill(converted + std::max(length, 0), converted + kTipLength, L' ');
    std::copy(converted, converted + kTipLength, data.szTip);
}

// Every call to the shell goes through a temporary ANSI copy of TrayData, converted back
// afterwards. The shell's answer is not acted on: a failed add or modify is not retried.
void NotifyShell(DWORD operation) {
    ShellTrayRecord record = ToShell(TrayData);
    seams.notifyIcon(operation, reinterpret_cast<PNOTIFYICONDATAA>(&record));
    FromShell(record, TrayData);
}

}  // namespace

void AddTrayIcon(runtime::Form& form, runtime::Menu& menu) {
    TrayForm = &form;
    TrayMenu = &menu;
    // The hook goes in before the icon exists, so no callback can miss it.
    HWND window = runtime::FromLong<HWND>(form.hWnd());
    // In the 32-bit build the headers make this SetWindowLongA(window, GWL_WNDPROC, ...).
    OldWindowProc = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayWndProc));

    TrayData.uID = kIconId;
    TrayData.cbSize = sizeof(ShellTrayRecord);
    TrayData.hWnd = window;
    // The picture's kind is not looked at here: whatever handle the icon reports goes.
    TrayData.hIcon = runtime::FromLong<HICON>(form.Icon().Handle());
    TrayData.uCallbackMessage = kTrayCallback;
    TrayData.uFlags = kMessageAndIcon;
    NotifyShell(kAdd);
}

void SetTrayIcon(const runtime::Picture& picture) {
    if (picture.Type() != runtime::Picture::kIcon) return;
    TrayData.hIcon = runtime::FromLong<HICON>(picture.Handle());
    TrayData.uFlags = kIconOnly;
    NotifyShell(kModify);
}

void SetTrayTip(std::wstring_view tip) {
    // The tip, its NUL, then blanks; longer text is cut so that the NUL stays in the field.
    tip = tip.substr(0, kTipLength - 1);
    std::fill(std::copy(tip.begin(), tip.end(), TrayData.szTip), TrayData.szTip + kTipLength, L' ');
    TrayData.szTip[tip.size()] = L'\0';
    TrayData.uFlags = kTipOnly;
    NotifyShell(kModify);
}

LRESULT CALLBACK TrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return runtime::Guarded<LRESULT>([&]() -> LRESULT {
        if (message == kTrayCallback && lParam == WM_LBUTTONUP) {
            TrayForm->Show();
            return 0;
        }
        if (message == kTrayCallback && lParam == WM_RBUTTONUP) {
            // The picked item's Click runs in here and may unload the form: nothing after
            // this call touches the window.
            TrayForm->PopupMenu(*TrayMenu);
            return 0;
        }
        return CallWindowProcA(reinterpret_cast<WNDPROC>(OldWindowProc), window, message,
                               wParam, lParam);
    });
}

}  // namespace Module2
