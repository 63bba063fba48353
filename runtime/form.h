// A form: one top-level window built from its design at each load, with its controls and
// menus. Each form of the program is one default instance that first use loads.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "runtime/controls.h"
#include "runtime/design.h"
#include "runtime/handles.h"
#include "runtime/picture.h"

namespace runtime {

// Mouse buttons as the mouse events report them.
enum MouseButton : int16_t { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

class Form {
public:
    explicit Form(const FormDesign& design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    bool IsLoaded() const { return loaded_; }
    // The window while loaded, else nullptr; does not load the form.
    HWND Window() const { return window_; }

    // Loads the form if need be, then makes it visible; returns at once.
    void Show();
    void Hide();
    // Moves the window's outer top-left corner to left, top (twips); the size is kept.
    void Move(float left, float top);
    // Pops menu up at the mouse position and returns once it has closed; the picked
    // item's Click runs before it returns.
    void PopupMenu(Menu& menu);

    // Properties; reading one loads the form if it is not loaded.
    int32_t hWnd();
    Picture Icon();
    float Left();
    float Top();
    float CurrentX() const { return currentX_; }
    float CurrentY() const { return currentY_; }
    void SetCurrentX(float x) { currentX_ = x; }
    void SetCurrentY(float y) { currentY_ = y; }

    CommandButton& Button(std::wstring_view name);
    Label& LabelNamed(std::wstring_view name);
    PictureBox& Panel(std::wstring_view name, int index);
    CustomControl& Custom(std::wstring_view name);
    Menu& MenuNamed(std::wstring_view name);
    MenuItem& Item(std::wstring_view name);
    Control* ControlByWindow(HWND window);
    std::vector<Control*> Controls();

    static bool AnyLoaded();
    // Keyboard navigation between controls (Tab, arrows) for the form a message is for.
    static bool PreTranslate(MSG& msg);

    // Events; a form overrides those it has handlers for.
    virtual void Form_Load() {}
    virtual void Form_MouseDown(int16_t button, int16_t shift, float x, float y);
    virtual void Form_MouseMove(int16_t button, int16_t shift, float x, float y);

    friend void Unload(Form& form);

private:
    friend class Control;
    friend class Menu;

    static LRESULT FormMessage(Form& form, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT PanelMessage(Control& panel, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void RegisterClasses();

    void EnsureLoaded();
    void Load();
    void CreateControls();
    void CreateControl(Control& control);
    HWND CreateControlWindow(Control& control, HWND parent);
    HFONT FontFor(const FontDesign& font);
    void ForgetWindows();
    void EndLoad(bool destroyWindow);
    void MoveFocusFrom(HWND leaving);
    bool CanTakeFocus(HWND control) const;
    HWND NextTabStop(HWND from, bool previous) const;
    bool OnTabKey(MSG& msg);

    LRESULT OnFormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnPanelMessage(Control& panel, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnContainerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HBRUSH background,
                            LRESULT& result);
    bool OnCommand(WPARAM wParam, LPARAM lParam);
    bool OnControlColour(HDC dc, HWND control, LRESULT& brush);
    void OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintContent(HDC dc);

    const FormDesign& design_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<Control*> tabOrder_;  // controls_ by tab index
    std::vector<std::unique_ptr<Menu>> menus_;
    bool loaded_ = false;
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr;
    HICON icon_ = nullptr;       // shared resource icon, not destroyed
    HICON smallIcon_ = nullptr;  // shared resource icon, not destroyed
    Bitmap picture_;
    Brush backBrush_;
    struct CachedFont {
        FontDesign design;
        Font font;
    };
    std::vector<CachedFont> fonts_;
    float currentX_ = 0.0f;
    float currentY_ = 0.0f;
};

// Destroys the form's window; the process's message loop ends when no form is loaded.
void Unload(Form& form);

}  // namespace runtime
