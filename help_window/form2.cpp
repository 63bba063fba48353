#include "help_window/form2.h"

#include <string>
#include <string_view>

#include "resources/form2_design.h"
#include "runtime/error.h"

namespace help_window {

namespace {

constexpr wchar_t kHomePage[] = L"https://hushline.example.org/";

// The text in the system's ANSI code page, for a function whose name ends in A.
std::string ToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    if (size <= 0) runtime::Raise(runtime::kInvalidCall);
    std::string ansi(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                            nullptr) != size) {
        runtime::Raise(runtime::kInvalidCall);
    }
    return ansi;
}

}  // namespace

Seams seams;

Form2Class Form2;

Form2Class::Form2Class()
    : runtime::Form(resources::kForm2Design),
      Command1(Button(L"Command1")),
      SkinLabel1(Custom(L"SkinLabel1")),
      Skin1(resources::kForm2Skin) {
    Command1.Click = [this] { Command1_Click(); };
}

void Form2Class::Form_Load() { Skin1.ApplySkin(hWnd()); }

// Opens the home page in the default browser. The shell's outcome is not ours to report:
// any message it shows itself has this window as its owner.
void Form2Class::Command1_Click() {
    HWND owner = runtime::FromLong<HWND>(hWnd());
    std::string address = ToAnsi(kHomePage);
    seams.shellExecute(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace help_window
