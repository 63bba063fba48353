// Controls and menus of a form: each raises its events and keeps its properties in its
// real window or menu.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/design.h"
#include "runtime/handles.h"

namespace runtime {

class Form;

using Event = std::function<void()>;

class Control {
public:
    Control(Form& form, const ControlDesign& design, int id);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const ControlDesign& Design() const { return design_; }
    const wchar_t* Name() const { return design_.name; }
    int Index() const { return design_.index; }
    int Id() const { return id_; }
    Form& Owner() const { return form_; }
    // The control's window while its form is loaded, else nullptr.
    HWND Window() const { return window_; }

    // Properties: the form is loaded first if it is not; a write reaches the real window,
    // a read comes back from it.
    void SetEnabled(bool enabled);
    bool Enabled();
    void SetCaption(std::wstring_view caption);
    std::wstring Caption();

    Event Click;

private:
    friend class Form;
    HWND RequireWindow();

    Form& form_;
    const ControlDesign& design_;
    int id_;
    HWND window_ = nullptr;
    Brush backBrush_;  // labels and panels
};

class CommandButton : public Control {
public:
    using Control::Control;
};

class Label : public Control {
public:
    using Control::Control;
};

class PictureBox : public Control {
public:
    using Control::Control;
};

class CustomControl : public Control {
public:
    using Control::Control;
};

class Menu;

class MenuItem {
public:
    MenuItem(Menu& menu, const MenuItemDesign& design, UINT id);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const wchar_t* Name() const { return design_.name; }
    const MenuItemDesign& Design() const { return design_; }
    UINT Id() const { return id_; }
    bool IsSeparator() const;

    void SetChecked(bool checked);
    bool Checked();

    Event Click;

private:
    Menu& menu_;
    const MenuItemDesign& design_;
    UINT id_;
};

class Menu {
public:
    Menu(Form& form, const MenuDesign& design, UINT firstId);
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const wchar_t* Name() const { return design_.name; }
    MenuItem* ItemById(UINT id);
    MenuItem* ItemByName(std::wstring_view name);
    // The pop-up menu while the form is loaded (loading it first if need be).
    HMENU Handle();

private:
    friend class Form;
    void Build();
    void Destroy() { popup_.Reset(); }

    Form& form_;
    const MenuDesign& design_;
    std::vector<std::unique_ptr<MenuItem>> items_;
    OwnedMenu popup_;
};

}  // namespace runtime
