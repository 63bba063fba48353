#include "runtime/form.h"

#include <windowsx.h>

#include <algorithm>

#include "runtime/bound_window.h"
#include "runtime/class_names.h"
#include "runtime/error.h"
#include "runtime/twips.h"

namespace runtime {

namespace {

constexpr wchar_t kFormClass[] = L"HushlineForm";
constexpr int kFirstControlId = 1000;  // above IDOK and IDCANCEL, which dialog keys send
constexpr UINT kFirstMenuItemId = 2000;
constexpr UINT kMenuIdsPerMenu = 100;

int g_loadedForms = 0;

std::vector<Form*>& AllForms() {
    static std::vector<Form*> forms;
    return forms;
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

bool SameFont(const FontDesign& a, const FontDesign& b) {
    if (a.points != b.points || a.weight != b.weight) return false;
    if (!a.face || !b.face) return a.face == b.face;
    return std::wstring_view(a.face) == b.face;
}

int16_t ShiftState(WPARAM wParam) {
    int16_t shift = 0;
    if (wParam & MK_SHIFT) shift |= 1;
    if (wParam & MK_CONTROL) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

int16_t ButtonsHeld(WPARAM wParam) {
    int16_t buttons = 0;
    if (wParam & MK_LBUTTON) buttons |= kLeftButton;
    if (wParam & MK_RBUTTON) buttons |= kRightButton;
    if (wParam & MK_MBUTTON) buttons |= kMiddleButton;
    return buttons;
}

RECT PixelRect(const ControlDesign& design) {
    int left = TwipsToPixelsX(static_cast<float>(design.left));
    int top = TwipsToPixelsY(static_cast<float>(design.top));
    return RECT{left, top, left + TwipsToPixelsX(static_cast<float>(design.width)),
                top + TwipsToPixelsY(static_cast<float>(design.height))};
}

}  // namespace

Form::Form(const FormDesign& design) : design_(design) {
    int id = kFirstControlId;
    for (const ControlDesign& control : design.controls) {
        switch (control.kind) {
            case ControlKind::CommandButton: controls_.push_back(std::make_unique<CommandButton>(*this, control, id)); break;
            case ControlKind::Label: controls_.push_back(std::make_unique<Label>(*this, control, id)); break;
            case ControlKind::PictureBox: controls_.push_back(std::make_unique<PictureBox>(*this, control, id)); break;
            case ControlKind::Custom: controls_.push_back(std::make_unique<CustomControl>(*this, control, id)); break;
        }
        ++id;
    }
    for (auto& control : controls_) tabOrder_.push_back(control.get());
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(),
                     [](Control* a, Control* b) { return a->Design().tabIndex < b->Design().tabIndex; });
    UINT menuId = kFirstMenuItemId;
    for (const MenuDesign& menu : design.menus) {
        menus_.push_back(std::make_unique<Menu>(*this, menu, menuId));
        menuId += kMenuIdsPerMenu;
    }
    AllForms().push_back(this);
}

Form::~Form() {
    auto& forms = AllForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void Form::RegisterClasses() {
    RegisterWindowClass(kFormClass, &BoundWindowProc<Form, &Form::FormMessage>, CS_DBLCLKS);
    RegisterWindowClass(kPanelClass, &BoundWindowProc<Control, &Form::PanelMessage>, CS_DBLCLKS);
}

bool Form::AnyLoaded() { return g_loadedForms > 0; }

bool Form::PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    for (Form* form : AllForms()) {
        if (!form->loaded_ || form->window_ != root) continue;
        if (form->OnTabKey(msg)) return true;
        return IsDialogMessageW(root, &msg) != FALSE;
    }
    return false;
}

void Form::EnsureLoaded() {
    if (!loaded_) Load();
}

void Form::Load() {
    RegisterClasses();

    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (design_.border == BorderStyle::Sizable) {
        style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
    } else {
        style |= WS_OVERLAPPED | WS_CAPTION | WS_BORDER;
    }
    if (design_.controlBox) {
        style |= WS_SYSMENU;
        if (design_.minButton) style |= WS_MINIMIZEBOX;
        if (design_.maxButton) style |= WS_MAXIMIZEBOX;
    }
    if (design_.showInTaskbar) exStyle |= WS_EX_APPWINDOW;

    RECT outer{0, 0, TwipsToPixelsX(static_cast<float>(design_.clientWidth)),
               TwipsToPixelsY(static_cast<float>(design_.clientHeight))};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);

    backBrush_.Reset(CreateSolidBrush(design_.backColour.ToColorRef()));
    if (design_.pictureResource) {
        picture_.Reset(static_cast<HBITMAP>(LoadImageW(Instance(), MAKEINTRESOURCEW(design_.pictureResource), IMAGE_BITMAP,
                                                       0, 0, LR_CREATEDIBSECTION)));
    }
    currentX_ = 0.0f;
    currentY_ = 0.0f;

    HWND window = CreateWindowExW(exStyle, kFormClass, design_.caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, Instance(),
                                  this);
    if (!window) Raise(kOutOfMemory);
    window_ = window;
    loaded_ = true;
    ++g_loadedForms;

    if (design_.iconResource) {
        icon_ = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(design_.iconResource), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
        smallIcon_ = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(design_.iconResource), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                   LR_SHARED));
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }

    CreateControls();
    for (auto& menu : menus_) menu->Build();

    Form_Load();
}

HFONT Form::FontFor(const FontDesign& font) {
    for (CachedFont& cached : fonts_) {
        if (SameFont(cached.design, font)) return cached.font.Get();
    }
    const wchar_t* face = font.face ? font.face : L"MS Sans Serif";
    HFONT handle = CreateFontW(PointsToFontHeight(font.points), 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                               ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face);
    if (!handle) Raise(kOutOfMemory);
    fonts_.push_back(CachedFont{font, Font(handle)});
    return handle;
}

// Tab follows the tab index itself (NextTabStop), but the dialog manager's arrow keys go in
// z-order, so once every window exists the controls are restacked in tab-index order:
// panels are created first, ahead of everything else.
void Form::CreateControls() {
    // Panels before what they hold: a control on a panel needs its window as parent.
    for (bool panels : {true, false}) {
        for (Control* control : tabOrder_) {
            if ((control->Design().kind == ControlKind::PictureBox) == panels) CreateControl(*control);
        }
    }
    for (Control* control : tabOrder_) {
        SetWindowPos(control->window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void Form::CreateControl(Control& control) {
    const ControlDesign& design = control.Design();
    HWND parent = design.container ? Panel(design.container, design.containerIndex).Window() : window_;
    HWND window = CreateControlWindow(control, parent);
    if (!window) Raise(kOutOfMemory);
    control.window_ = window;
    if (design.kind == ControlKind::Label || design.kind == ControlKind::PictureBox) {
        control.backBrush_.Reset(CreateSolidBrush(design.backColour.ToColorRef()));
    }
    if (design.kind != ControlKind::PictureBox) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(design.font)), FALSE);
    }
}

HWND Form::CreateControlWindow(Control& control, HWND parent) {
    const ControlDesign& design = control.Design();
    RECT rect = PixelRect(design);
    auto child = [&](DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, void* parameter) {
        return CreateWindowExW(exStyle, cls, text, style, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.Id())), Instance(), parameter);
    };
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (design.enabled ? 0 : WS_DISABLED);
    switch (design.kind) {
        case ControlKind::CommandButton:
            return child(0, L"BUTTON", design.caption, style | WS_TABSTOP | BS_PUSHBUTTON, nullptr);
        case ControlKind::Label:
            return child(0, L"STATIC", design.caption,
                         style | (design.centred ? SS_CENTER : SS_LEFT) | (design.border ? WS_BORDER : 0), nullptr);
        case ControlKind::PictureBox:
            return child(WS_EX_CONTROLPARENT, kPanelClass, L"",
                         style | WS_TABSTOP | WS_CLIPCHILDREN | (design.border ? WS_BORDER : 0), &control);
        case ControlKind::Custom:
            return design.create ? design.create(parent, control.Id(), rect, design) : nullptr;
    }
    return nullptr;
}

void Form::ForgetWindows() {
    window_ = nullptr;
    lastFocus_ = nullptr;
    for (auto& control : controls_) {
        control->window_ = nullptr;
        control->backBrush_.Reset();
    }
    for (auto& menu : menus_) menu->Destroy();
    fonts_.clear();
    picture_.Reset();
    backBrush_.Reset();
    icon_ = nullptr;
    smallIcon_ = nullptr;
}

// The form counts as unloaded before its window goes, so that nothing its destruction
// sends can find it loaded; the message loop ends with the last form.
void Form::EndLoad(bool destroyWindow) {
    loaded_ = false;
    --g_loadedForms;
    if (destroyWindow) DestroyWindow(window_);
    ForgetWindows();
    if (g_loadedForms == 0) PostQuitMessage(0);
}

void Unload(Form& form) {
    if (form.loaded_) form.EndLoad(true);
}

void Form::Show() {
    EnsureLoaded();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void Form::Hide() {
    EnsureLoaded();
    ShowWindow(window_, SW_HIDE);
}

void Form::Move(float left, float top) {
    EnsureLoaded();
    if (!SetWindowPos(window_, nullptr, TwipsToPixelsX(left), TwipsToPixelsY(top), 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        Raise(kInvalidCall);
    }
}

void Form::PopupMenu(Menu& menu) {
    EnsureLoaded();
    HWND window = window_;
    HMENU popup = menu.Handle();
    POINT at{};
    GetCursorPos(&at);
    // The owner must be the foreground window, or the menu stays open when the user
    // clicks elsewhere.
    SetForegroundWindow(window);
    UINT picked = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, window, nullptr));
    // Lets the system finish the menu's mode so that the next pop-up opens at once.
    PostMessageW(window, WM_NULL, 0, 0);
    // A failed track (a menu already open on this thread) counts as a dismissal.
    if (picked == 0) return;
    if (MenuItem* item = menu.ItemById(picked); item && item->Click) item->Click();
}

int32_t Form::hWnd() {
    EnsureLoaded();
    return ToLong(window_);
}

Picture Form::Icon() {
    EnsureLoaded();
    return icon_ ? Picture(Picture::kIcon, icon_) : Picture();
}

float Form::Left() {
    EnsureLoaded();
    RECT rect{};
    GetWindowRect(window_, &rect);
    return PixelsToTwipsX(rect.left);
}

float Form::Top() {
    EnsureLoaded();
    RECT rect{};
    GetWindowRect(window_, &rect);
    return PixelsToTwipsY(rect.top);
}

void Form::Form_MouseDown(int16_t, int16_t, float, float) {}
void Form::Form_MouseMove(int16_t, int16_t, float, float) {}

CommandButton& Form::Button(std::wstring_view name) {
    for (auto& control : controls_) {
        if (control->Design().kind == ControlKind::CommandButton && name == control->Name()) {
            return static_cast<CommandButton&>(*control);
        }
    }
    Raise(kObjectNotSet);
}

Label& Form::LabelNamed(std::wstring_view name) {
    for (auto& control : controls_) {
        if (control->Design().kind == ControlKind::Label && name == control->Name()) return static_cast<Label&>(*control);
    }
    Raise(kObjectNotSet);
}

PictureBox& Form::Panel(std::wstring_view name, int index) {
    for (auto& control : controls_) {
        if (control->Design().kind == ControlKind::PictureBox && name == control->Name() && control->Index() == index) {
            return static_cast<PictureBox&>(*control);
        }
    }
    Raise(kObjectNotSet);
}

CustomControl& Form::Custom(std::wstring_view name) {
    for (auto& control : controls_) {
        if (control->Design().kind == ControlKind::Custom && name == control->Name()) {
            return static_cast<CustomControl&>(*control);
        }
    }
    Raise(kObjectNotSet);
}

Menu& Form::MenuNamed(std::wstring_view name) {
    for (auto& menu : menus_) {
        if (name == menu->Name()) return *menu;
    }
    Raise(kObjectNotSet);
}

MenuItem& Form::Item(std::wstring_view name) {
    for (auto& menu : menus_) {
        if (MenuItem* item = menu->ItemByName(name)) return *item;
    }
    Raise(kObjectNotSet);
}

Control* Form::ControlByWindow(HWND window) {
    if (!window) return nullptr;
    for (auto& control : controls_) {
        if (control->window_ == window) return control.get();
    }
    return nullptr;
}

std::vector<Control*> Form::Controls() {
    std::vector<Control*> all;
    for (auto& control : controls_) all.push_back(control.get());
    return all;
}

void Form::MoveFocusFrom(HWND leaving) {
    if (!window_) return;
    HWND next = NextTabStop(leaving, false);
    SetFocus(next && next != leaving ? next : window_);
}

// A control can take the focus when it is a tab stop that is shown and enabled, and so is
// everything that holds it.
bool Form::CanTakeFocus(HWND control) const {
    if (!control || !(GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) || !IsWindowVisible(control)) return false;
    for (HWND window = control; window && window != window_; window = GetParent(window)) {
        if (!IsWindowEnabled(window)) return false;
    }
    return true;
}

// The tab order is one list by tab index across the form and its panels, the panels
// themselves included, which the dialog manager's own walk (into a panel, never onto it)
// cannot give. From a window that is no control, the walk starts at either end.
HWND Form::NextTabStop(HWND from, bool previous) const {
    const std::vector<Control*>& order = tabOrder_;
    size_t count = order.size();
    if (count == 0) return nullptr;
    size_t at = previous ? 0 : count - 1;  // one step from here reaches the first or the last
    for (HWND window = from; window && window != window_; window = GetParent(window)) {
        auto found = std::find_if(order.begin(), order.end(), [&](Control* c) { return c->window_ == window; });
        if (found != order.end()) {
            at = static_cast<size_t>(found - order.begin());
            break;
        }
    }
    for (size_t step = 1; step <= count; ++step) {
        size_t index = previous ? (at + count - step) % count : (at + step) % count;
        if (CanTakeFocus(order[index]->window_)) return order[index]->window_;
    }
    return nullptr;
}

// Tab and Shift+Tab, unless the control with the focus takes the key itself.
bool Form::OnTabKey(MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    LRESULT wants = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    if (HWND next = NextTabStop(GetFocus(), GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
    return true;
}

// The entry points of the runtime's windows: the form's own, bound to the form, and its
// panels', bound to their controls.
LRESULT Form::FormMessage(Form& form, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return form.OnFormMessage(window, message, wParam, lParam);
}

LRESULT Form::PanelMessage(Control& panel, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return panel.Owner().OnPanelMessage(panel, window, message, wParam, lParam);
}

// What the form and its panels handle alike, as the containers of controls: the clicks and
// label colours of the controls they hold, and their own background.
bool Form::OnContainerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HBRUSH background,
                              LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            result = 0;
            return OnCommand(wParam, lParam);
        case WM_CTLCOLORSTATIC:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result);
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background);
            result = 1;
            return true;
        }
    }
    return false;
}

LRESULT Form::OnFormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT result = 0; OnContainerMessage(window, message, wParam, lParam, backBrush_.Get(), result)) {
        return result;
    }
    switch (message) {
        case WM_PAINT: {
            PaintScope paint(window);
            PaintContent(paint.Dc());
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintContent(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
            OnMouse(message, wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window, focus)) lastFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                HWND target = (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_))
                                  ? lastFocus_
                                  : NextTabStop(nullptr, false);
                if (target) SetFocus(target);
            }
            return 0;
        case WM_CLOSE:
            Unload(*this);
            return 0;
        case WM_NCDESTROY:
            // Destroyed from outside the runtime: count it as an unload.
            if (loaded_ && window_ == window) EndLoad(false);
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form::OnPanelMessage(Control& panel, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT result = 0; OnContainerMessage(window, message, wParam, lParam, panel.backBrush_.Get(), result)) {
        return result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Form::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (!lParam || HIWORD(wParam) != BN_CLICKED) return false;
    Control* control = ControlByWindow(reinterpret_cast<HWND>(lParam));
    if (!control || control->Id() != LOWORD(wParam)) return false;
    if (control->Click) control->Click();
    return true;
}

bool Form::OnControlColour(HDC dc, HWND window, LRESULT& brush) {
    Control* control = ControlByWindow(window);
    if (!control || control->Design().kind != ControlKind::Label) return false;
    SetTextColor(dc, control->Design().foreColour.ToColorRef());
    SetBkColor(dc, control->Design().backColour.ToColorRef());
    brush = reinterpret_cast<LRESULT>(control->backBrush_.Get());
    return true;
}

void Form::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    float x = PixelsToTwipsX(GET_X_LPARAM(lParam));
    float y = PixelsToTwipsY(GET_Y_LPARAM(lParam));
    int16_t shift = ShiftState(wParam);
    // The class asks for double clicks, so the second press of one comes as its own
    // message; it is a press all the same.
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // Keeps MouseMove coming while the button is held, even past the window's edge.
            SetCapture(window_);
            Form_MouseDown(kLeftButton, shift, x, y);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: Form_MouseDown(kRightButton, shift, x, y); break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: Form_MouseDown(kMiddleButton, shift, x, y); break;
        case WM_LBUTTONUP:
            if (GetCapture() == window_) ReleaseCapture();
            break;
        case WM_MOUSEMOVE: Form_MouseMove(ButtonsHeld(wParam), shift, x, y); break;
    }
}

void Form::PaintContent(HDC dc) {
    if (!picture_) return;
    BITMAP info{};
    GetObjectW(picture_.Get(), sizeof(info), &info);
    MemoryDc memory(dc);
    SelectObjectScope select(memory.Get(), picture_.Get());
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace runtime
