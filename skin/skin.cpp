#include "skin/skin.h"

#include <windows.h>
#include <windowsx.h>
#include "skin/hook.h"

#include <string>
#include <vector>

#include "runtime/class_names.h"
#include "runtime/error.h"
#include "runtime/dib.h"
#include "runtime/handles.h"
#include "skin/skin_images.h"
#include "skin/skin_painter.h"

namespace skin {

namespace {

constexpr UINT_PTR kFrameSubclassId = 0x534B4E31;   // 'SKN1'
constexpr UINT_PTR kButtonSubclassId = 0x534B4E32;  // 'SKN2'
constexpr UINT_PTR kPanelSubclassId = 0x534B4E33;   // 'SKN3'

// What every window and control of one apply shares.
struct Look {
    std::shared_ptr<const SkinImages> images;
    SkinSettings settings;
    runtime::Brush panelBrush;  // m_PanelColor, when the skin's colours apply
};

struct FrameState {
    std::shared_ptr<Look> look;
    bool active = false;
    int hotBox = HTNOWHERE;
    int trackedBox = HTNOWHERE;  // the box the left button went down on, while held
    bool overTracked = false;
    bool leaveTracking = false;
};

struct ButtonHook {
    std::shared_ptr<Look> look;
    bool hot = false;
};

// An off-screen 32-bit buffer. A DIB and not a bitmap compatible with the screen, so that
// blending into it is exact whatever the display does.
runtime::Bitmap MakeBuffer(int width, int height) { return runtime::CreateTopDownDib(width, height); }

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t buffer[64];
    return GetClassNameW(window, buffer, 64) > 0 && lstrcmpiW(buffer, name) == 0;
}

bool IsPushButton(HWND window) {
    if (!IsClass(window, L"Button")) return false;
    LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

template <typename State>
State* StateOf(HWND window, HookProc proc, UINT_PTR id) {
    DWORD_PTR data = 0;
    return HookData(window, proc, id, &data) ? reinterpret_cast<State*>(data) : nullptr;
}

// ---- the frame ----------------------------------------------------------------------

HICON WindowIcon(HWND window) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    return icon;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

FrameLook LookOf(HWND window, const FrameState& state) {
    FrameLook look;
    look.active = state.active;
    look.hotBox = state.trackedBox == HTNOWHERE ? state.hotBox : HTNOWHERE;
    look.pressedBox = state.overTracked ? state.trackedBox : HTNOWHERE;
    look.icon = WindowIcon(window);
    look.caption = WindowText(window);
    return look;
}

// Draws the frame off screen and puts it on the window in one blit, the client area
// excluded, so that nothing flickers.
void PaintFrameTo(HWND window, HDC target, const FrameState& state) {
    const SkinImages& images = *state.look->images;
    FrameLayout layout = FrameLayout::Of(window, images);
    if (layout.window.cx <= 0 || layout.window.cy <= 0) return;
    runtime::MemoryDc memory(target);
    runtime::Bitmap buffer = MakeBuffer(layout.window.cx, layout.window.cy);
    if (!memory.Get() || !buffer) return;
    runtime::SelectObjectScope select(memory.Get(), buffer.Get());
    PaintFrame(memory.Get(), images, layout, LookOf(window, state));
    int saved = SaveDC(target);
    ExcludeClipRect(target, layout.client.left, layout.client.top, layout.client.right, layout.client.bottom);
    BitBlt(target, 0, 0, layout.window.cx, layout.window.cy, memory.Get(), 0, 0, SRCCOPY);
    RestoreDC(target, saved);
}

void PaintFrameNow(HWND window, const FrameState& state) {
    if (!IsWindowVisible(window)) return;
    HDC dc = GetWindowDC(window);
    if (!dc) return;
    PaintFrameTo(window, dc, state);
    ReleaseDC(window, dc);
}

POINT ToWindowPoint(HWND window, POINT screen) {
    RECT outer{};
    GetWindowRect(window, &outer);
    return POINT{screen.x - outer.left, screen.y - outer.top};
}

int CaptionHit(HWND window, const FrameState& state, POINT screen) {
    return FrameLayout::Of(window, *state.look->images).HitCaption(ToWindowPoint(window, screen));
}

UINT CommandFor(HWND window, int box) {
    switch (box) {
        case HTCLOSE: return SC_CLOSE;
        case HTMINBUTTON: return SC_MINIMIZE;
        case HTMAXBUTTON: return IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
    }
    return 0;
}

bool IsCaptionBox(int hit) { return hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON; }

// Hit codes that the default places by the system's own caption layout; the skin's layout
// decides them instead.
bool IsCaptionHit(LRESULT hit) {
    return hit == HTCAPTION || hit == HTSYSMENU || IsCaptionBox(static_cast<int>(hit)) || hit == HTHELP;
}

void SetHotBox(HWND window, FrameState& state, int box) {
    if (state.hotBox == box) return;
    state.hotBox = box;
    PaintFrameNow(window, state);
}

LRESULT OnFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, FrameState& state) {
    switch (message) {
        case WM_NCPAINT: {
            HDC dc = GetWindowDC(window);
            if (dc) {
                PaintFrameTo(window, dc, state);
                ReleaseDC(window, dc);
            }
            return 0;
        }
        case WM_NCACTIVATE: {
            state.active = wParam != FALSE;
            // -1: the default keeps the activation but leaves the frame to the skin.
            LRESULT result = CallNext(window, message, wParam, -1);
            PaintFrameNow(window, state);
            return result;
        }
        case WM_SETTEXT:
        case WM_SETICON: {
            // The default redraws the caption itself; the skin's goes back over it.
            LRESULT result = CallNext(window, message, wParam, lParam);
            PaintFrameNow(window, state);
            return result;
        }
        case WM_NCHITTEST: {
            LRESULT hit = CallNext(window, message, wParam, lParam);
            if (!IsCaptionHit(hit)) return hit;
            int skinned = CaptionHit(window, state, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return skinned == HTNOWHERE ? hit : skinned;
        }
        case WM_NCMOUSEMOVE: {
            if (!state.leaveTracking) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, window, 0};
                state.leaveTracking = TrackMouseEvent(&track) != FALSE;
            }
            SetHotBox(window, state, IsCaptionBox(static_cast<int>(wParam)) ? static_cast<int>(wParam) : HTNOWHERE);
            break;
        }
        case WM_NCMOUSELEAVE:
            state.leaveTracking = false;
            SetHotBox(window, state, HTNOWHERE);
            break;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (IsCaptionBox(static_cast<int>(wParam))) {
                // The box acts when the button comes up over it, as the system's own do.
                state.trackedBox = static_cast<int>(wParam);
                state.overTracked = true;
                SetCapture(window);
                PaintFrameNow(window, state);
                return 0;
            }
            break;
        case WM_NCLBUTTONUP:
            if (IsCaptionBox(static_cast<int>(wParam))) return 0;
            break;
        case WM_MOUSEMOVE:
            if (state.trackedBox != HTNOWHERE) {
                POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ClientToScreen(window, &at);
                bool over = CaptionHit(window, state, at) == state.trackedBox;
                if (over != state.overTracked) {
                    state.overTracked = over;
                    PaintFrameNow(window, state);
                }
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            if (state.trackedBox != HTNOWHERE) {
                POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ClientToScreen(window, &at);
                int box = state.trackedBox;
                bool over = CaptionHit(window, state, at) == box;
                state.trackedBox = HTNOWHERE;
                state.overTracked = false;
                ReleaseCapture();
                PaintFrameNow(window, state);
                // May close the window: nothing of the state is touched after it.
                if (over) SendMessageW(window, WM_SYSCOMMAND, CommandFor(window, box), MAKELPARAM(at.x, at.y));
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            if (state.trackedBox != HTNOWHERE) {
                state.trackedBox = HTNOWHERE;
                state.overTracked = false;
                PaintFrameNow(window, state);
            }
            break;
        case WM_SYSCOMMAND: {
            // The system menu's tracking draws the default caption button; the frame is
            // redrawn once after it, if the window is still there.
            LRESULT result = CallNext(window, message, wParam, lParam);
            if (IsWindow(window)) RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            return result;
        }
        case WM_ERASEBKGND:
            if (state.look->settings.skinClientArea) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                RECT dirty{};
                GetClipBox(dc, &dirty);
                PaintClientSurface(dc, *state.look->images, dirty);
                return 1;
            }
            break;
        case WM_PRINT:
            if (lParam & PRF_NONCLIENT) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                PaintFrameTo(window, dc, state);
                FrameLayout layout = FrameLayout::Of(window, *state.look->images);
                int saved = SaveDC(dc);
                OffsetViewportOrgEx(dc, layout.client.left, layout.client.top, nullptr);
                IntersectClipRect(dc, 0, 0, layout.client.right - layout.client.left,
                                  layout.client.bottom - layout.client.top);
                LRESULT result = CallNext(window, message, wParam, lParam & ~PRF_NONCLIENT);
                RestoreDC(dc, saved);
                return result;
            }
            break;
    }
    return CallNext(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    return runtime::Guarded<LRESULT>([&]() -> LRESULT {
        auto* state = reinterpret_cast<FrameState*>(data);
        if (message == WM_NCDESTROY) {
            Unhook(window, &FrameProc, kFrameSubclassId);
            delete state;
            return CallNext(window, message, wParam, lParam);
        }
        return OnFrameMessage(window, message, wParam, lParam, *state);
    });
}

// ---- push buttons ------------------------------------------------------------------

// The parent's background behind the button, painted into dc as if dc were the button.
void PaintParentBackground(HWND button, HDC dc) {
    HWND parent = GetParent(button);
    if (!parent) return;
    POINT origin{0, 0};
    MapWindowPoints(button, parent, &origin, 1);
    POINT previous{};
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

COLORREF ButtonTextColour(HWND button, HDC dc, const Look& look) {
    if (look.settings.applyColors) return ToColorRef(look.settings.foreColor);
    // The design's colours: what the button's parent gives a button to draw with.
    int saved = SaveDC(dc);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SendMessageW(GetParent(button), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(button));
    COLORREF colour = GetTextColor(dc);
    RestoreDC(dc, saved);
    return colour;
}

ButtonState FaceFor(HWND button, bool hot) {
    LRESULT pushed = SendMessageW(button, BM_GETSTATE, 0, 0);
    if (!IsWindowEnabled(button)) return ButtonState::Disabled;
    if (pushed & BST_PUSHED) return ButtonState::Pressed;
    if (hot) return ButtonState::Hot;
    if (GetFocus() == button) return ButtonState::Focused;
    return ButtonState::Normal;
}

void PaintButtonTo(HWND button, HDC target, const ButtonHook& state) {
    RECT rect{};
    GetClientRect(button, &rect);
    if (IsRectEmpty(&rect)) return;
    runtime::MemoryDc memory(target);
    runtime::Bitmap buffer = MakeBuffer(rect.right, rect.bottom);
    if (!memory.Get() || !buffer) return;
    runtime::SelectObjectScope select(memory.Get(), buffer.Get());
    PaintParentBackground(button, memory.Get());
    auto font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    PaintButton(memory.Get(), *state.look->images, rect, FaceFor(button, state.hot), WindowText(button), font,
                ButtonTextColour(button, memory.Get(), *state.look));
    BitBlt(target, 0, 0, rect.right, rect.bottom, memory.Get(), 0, 0, SRCCOPY);
}

// Runs the button's own handling of a message after which it would draw itself at once,
// with its drawing held back, and has the skin draw it instead.
LRESULT WithoutOwnDrawing(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindowVisible(button)) return CallNext(button, message, wParam, lParam);
    SendMessageW(button, WM_SETREDRAW, FALSE, 0);
    LRESULT result = CallNext(button, message, wParam, lParam);
    if (IsWindow(button)) {
        SendMessageW(button, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(button, nullptr, FALSE);
    }
    return result;
}

LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    return runtime::Guarded<LRESULT>([&]() -> LRESULT {
        auto* state = reinterpret_cast<ButtonHook*>(data);
        switch (message) {
            case WM_NCDESTROY:
                Unhook(button, &ButtonProc, kButtonSubclassId);
                delete state;
                return CallNext(button, message, wParam, lParam);
            case WM_ERASEBKGND:
                return 1;  // painted whole with the face
            case WM_PAINT: {
                runtime::PaintScope paint(button);
                PaintButtonTo(button, paint.Dc(), *state);
                return 0;
            }
            case WM_PRINTCLIENT:
                PaintButtonTo(button, reinterpret_cast<HDC>(wParam), *state);
                return 0;
            case WM_MOUSEMOVE:
                if (!state->hot) {
                    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, button, 0};
                    if (TrackMouseEvent(&track)) {
                        state->hot = true;
                        InvalidateRect(button, nullptr, FALSE);
                    }
                }
                break;
            case WM_MOUSELEAVE:
                state->hot = false;
                InvalidateRect(button, nullptr, FALSE);
                break;
            case BM_SETSTATE:
            case BM_SETSTYLE:
            case BM_SETCHECK:
            case WM_ENABLE:
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case WM_SETTEXT:
            case WM_UPDATEUISTATE:
                return WithoutOwnDrawing(button, message, wParam, lParam);
        }
        return CallNext(button, message, wParam, lParam);
    });
}

// ---- panels ------------------------------------------------------------------------

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    return runtime::Guarded<LRESULT>([&]() -> LRESULT {
        auto* look = reinterpret_cast<std::shared_ptr<Look>*>(data);
        switch (message) {
            case WM_NCDESTROY:
                Unhook(panel, &PanelProc, kPanelSubclassId);
                delete look;
                return CallNext(panel, message, wParam, lParam);
            case WM_ERASEBKGND: {
                RECT client{};
                GetClientRect(panel, &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client, (*look)->panelBrush.Get());
                return 1;
            }
        }
        return CallNext(panel, message, wParam, lParam);
    });
}

// ---- applying ----------------------------------------------------------------------

void SkinChild(HWND child, const std::shared_ptr<Look>& look) {
    if (IsPushButton(child)) {
        auto* state = new ButtonHook{look};
        ButtonHook* old = StateOf<ButtonHook>(child, &ButtonProc, kButtonSubclassId);
        if (!Hook(child, &ButtonProc, kButtonSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
            delete state;
            runtime::Raise(runtime::kOutOfMemory);
        }
        delete old;
        InvalidateRect(child, nullptr, FALSE);
    } else if (look->settings.applyColors && IsClass(child, runtime::kPanelClass)) {
        auto* shared = new std::shared_ptr<Look>(look);
        auto* old = StateOf<std::shared_ptr<Look>>(child, &PanelProc, kPanelSubclassId);
        if (!Hook(child, &PanelProc, kPanelSubclassId, reinterpret_cast<DWORD_PTR>(shared))) {
            delete shared;
            runtime::Raise(runtime::kOutOfMemory);
        }
        delete old;
        InvalidateRect(child, nullptr, TRUE);
    }
}

BOOL CALLBACK GatherChild(HWND child, LPARAM children) {
    return runtime::Guarded<BOOL>([&]() -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
        return TRUE;
    });
}

}  // namespace

std::shared_ptr<const SkinImages> Skin::Images() {
    if (!images_) {
        auto images = SkinImages::FromResource(design_.imagePack);
        for (const wchar_t* name : design_.images) {
            if (!images->Find(name)) runtime::Raise(runtime::kFileNotFound);
        }
        if (!images->Find(kFrameImage) || !images->Find(kButtonImage)) runtime::Raise(runtime::kFileNotFound);
        images_ = std::move(images);
    }
    return images_;
}

int32_t Skin::ApplySkin(int32_t hWnd) {
    HWND window = runtime::FromLong<HWND>(hWnd);
    if (!IsWindow(window)) runtime::Raise(runtime::kInvalidCall);

    auto look = std::make_shared<Look>();
    look->images = Images();
    look->settings = design_.settings;
    if (look->settings.applyColors) {
        look->panelBrush.Reset(CreateSolidBrush(ToColorRef(look->settings.panelColor)));
        if (!look->panelBrush) runtime::Raise(runtime::kOutOfMemory);
    }

    auto* state = new FrameState{look};
    state->active = GetActiveWindow() == window;
    FrameState* old = StateOf<FrameState>(window, &FrameProc, kFrameSubclassId);
    if (!Hook(window, &FrameProc, kFrameSubclassId, reinterpret_cast<DWORD_PTR>(state))) {
        delete state;
        runtime::Raise(runtime::kOutOfMemory);
    }
    delete old;

    // Gathered first and skinned after, so that an error is raised here, not inside the
    // enumeration's callback.
    std::vector<HWND> children;
    EnumChildWindows(window, &GatherChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) SkinChild(child, look);

    // The frame's size stays the system's, so the client area keeps its designed size.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

}  // namespace skin
