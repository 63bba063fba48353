#include "main_window/module1.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace Module1 {

namespace {

// The shell reserves the owner argument of the lookup; no window of ours is passed.
const HWND kReservedOwner = reinterpret_cast<HWND>(static_cast<INT_PTR>(100));

constexpr int kPathBufferLength = 512;

// Owns an item list the shell allocated; frees it with the shell's allocator.
class ItemList {
public:
    ItemList() = default;
    ~ItemList() {
        if (!list_) return;
        IMalloc* allocator = nullptr;
        if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
            allocator->Free(list_);
            allocator->Release();
        }
    }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    LPITEMIDLIST* Out() { return &list_; }
    LPCITEMIDLIST Get() const { return list_; }

private:
    LPITEMIDLIST list_ = nullptr;
};

std::string ToAnsi(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(size > 0 ? size : 0, '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr, nullptr);
    }
    return ansi;
}

std::wstring FromAnsi(const std::string& ansi) {
    int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring text(size > 0 ? size : 0, L'\0');
    if (size > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text.data(), size);
    return text;
}

}  // namespace

std::wstring StartupFolder;

std::wstring SpecialFolderPath(int32_t csidl) {
    ItemList items;
    if (SHGetSpecialFolderLocation(kReservedOwner, csidl, items.Out()) != 0 || !items.Get()) return std::wstring();

    std::string buffer = ToAnsi(std::wstring(kPathBufferLength, L' '));
    // Its result is not looked at: what counts is the path it wrote, ended by a NUL.
    SHGetPathFromIDListA(items.Get(), buffer.data());
    return TextBeforeNul(FromAnsi(buffer));
}

std::wstring TextBeforeNul(std::wstring_view buffer) {
    size_t nul = buffer.find(L'\0');
    if (nul == std::wstring_view::npos) return std::wstring();
    return std::wstring(buffer.substr(0, nul));
}

}  // namespace Module1
