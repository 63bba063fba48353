#include "runtime/controls.h"

#include <vector>

#include "runtime/error.h"
#include "runtime/form.h"

namespace runtime {

COLORREF Colour::ToColorRef() const {
    if (kind == Kind::System) return GetSysColor(static_cast<int>(value));
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

Control::Control(Form& form, const ControlDesign& design, int id) : form_(form), design_(design), id_(id) {}

HWND Control::RequireWindow() {
    form_.EnsureLoaded();
    if (!window_) Raise(kObjectNotSet);
    return window_;
}

void Control::SetEnabled(bool enabled) {
    HWND window = RequireWindow();
    if (!enabled && GetFocus() == window) form_.MoveFocusFrom(window);
    EnableWindow(window, enabled ? TRUE : FALSE);
}

bool Control::Enabled() { return IsWindowEnabled(RequireWindow()) != FALSE; }

void Control::SetCaption(std::wstring_view caption) {
    std::wstring text(caption);
    if (!SetWindowTextW(RequireWindow(), text.c_str())) Raise(kOutOfMemory);
}

std::wstring Control::Caption() {
    HWND window = RequireWindow();
    int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? copied : 0);
}

MenuItem::MenuItem(Menu& menu, const MenuItemDesign& design, UINT id) : menu_(menu), design_(design), id_(id) {}

bool MenuItem::IsSeparator() const { return std::wstring_view(design_.caption) == L"-"; }

void MenuItem::SetChecked(bool checked) {
    HMENU menu = menu_.Handle();
    if (CheckMenuItem(menu, id_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)) == static_cast<DWORD>(-1)) {
        Raise(kInvalidCall);
    }
}

bool MenuItem::Checked() {
    UINT state = GetMenuState(menu_.Handle(), id_, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) Raise(kInvalidCall);
    return (state & MF_CHECKED) != 0;
}

Menu::Menu(Form& form, const MenuDesign& design, UINT firstId) : form_(form), design_(design) {
    UINT id = firstId;
    for (const MenuItemDesign& item : design.items) items_.push_back(std::make_unique<MenuItem>(*this, item, id++));
}

MenuItem* Menu::ItemById(UINT id) {
    for (auto& item : items_) {
        if (item->Id() == id) return item.get();
    }
    return nullptr;
}

MenuItem* Menu::ItemByName(std::wstring_view name) {
    for (auto& item : items_) {
        if (name == item->Name()) return item.get();
    }
    return nullptr;
}

HMENU Menu::Handle() {
    form_.EnsureLoaded();
    if (!popup_.Get()) Raise(kObjectNotSet);
    return popup_.Get();
}

void Menu::Build() {
    HMENU popup = CreatePopupMenu();
    if (!popup) Raise(kOutOfMemory);
    popup_.Reset(popup);
    for (auto& item : items_) {
        const MenuItemDesign& design = item->Design();
        UINT flags = item->IsSeparator() ? MF_SEPARATOR
                                         : MF_STRING | (design.checked ? MF_CHECKED : 0) | (design.enabled ? 0 : MF_GRAYED);
        if (!AppendMenuW(popup, flags, item->Id(), item->IsSeparator() ? nullptr : design.caption)) Raise(kOutOfMemory);
    }
}

}  // namespace runtime
