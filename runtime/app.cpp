#include "runtime/app.h"

#include <windows.h>
#include <objbase.h>

#include <vector>

#include "runtime/error.h"
#include "runtime/form.h"

namespace runtime {

namespace {

// COM on the UI thread, apartment-threaded, for as long as the forms run: the shell may open
// a web address through a COM object, and asks for COM to be ready first. Without it the
// program runs on; only such an opening could fail.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace

const wchar_t* App::Title() { return L"Hushline"; }

std::wstring App::Path() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) RaiseFromWin32(GetLastError(), kPathNotFound);
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            size_t slash = path.find_last_of(L"\\/");
            if (slash == std::wstring::npos) return path;
            path.resize(slash);
            // A drive root keeps its separator: "C:\".
            if (path.size() == 2 && path[1] == L':') path.push_back(L'\\');
            return path;
        }
        buffer.resize(buffer.size() * 2);
    }
}

int App::Run(Form& startupForm) {
    ComApartment com;
    bool started = Guarded<bool>([&] {
        startupForm.Show();
        return true;
    });
    if (!started || !Form::AnyLoaded()) return 0;

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (Form::PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace runtime
