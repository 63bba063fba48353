// The skin's procedure in front of a push button: draws the button's face from the skin
// in every state, and the button's own drawing never shows.
#include <windows.h>

#include "skin/hook.h"
#include "skin/skin_hooks.h"
#include "skin/skin_images.h"
#include "skin/skin_painter.h"

namespace skin {

namespace {

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

class ButtonHook {
public:
    static constexpr UINT_PTR kHookId = 0x534B4E32;  // 'SKN2'

    ButtonHook(HWND button, std::shared_ptr<Look> look) : button_(button), look_(std::move(look)) {}

    LRESULT OnMessage(const HookedMessage& message) {
        switch (message.id) {
            case WM_ERASEBKGND: return 1;  // painted whole with the face
            case WM_PAINT: return OnPaint();
            case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(message.wParam));
            case WM_MOUSEMOVE: return OnMouseMove(message);
            case WM_MOUSELEAVE: return OnMouseLeave(message);
            case BM_SETSTATE:
            case BM_SETSTYLE:
            case BM_SETCHECK:
            case WM_ENABLE:
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case WM_SETTEXT:
            case WM_UPDATEUISTATE: return WithoutOwnDrawing(message);
        }
        return message.PassOn();
    }

private:
    LRESULT OnPaint() {
        runtime::PaintScope paint(button_);
        PaintTo(paint.Dc());
        return 0;
    }

    LRESULT OnPrintClient(HDC dc) {
        PaintTo(dc);
        return 0;
    }

    LRESULT OnMouseMove(const HookedMessage& message) {
        if (!hot_) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, button_, 0};
            if (TrackMouseEvent(&track)) {
                hot_ = true;
                InvalidateRect(button_, nullptr, FALSE);
            }
        }
        return message.PassOn();
    }

    LRESULT OnMouseLeave(const HookedMessage& message) {
        hot_ = false;
        InvalidateRect(button_, nullptr, FALSE);
        return message.PassOn();
    }

    // Runs the button's own handling of a message after which it would draw itself at once,
    // with its drawing held back, and has the skin draw it instead.
    LRESULT WithoutOwnDrawing(const HookedMessage& message) {
        HWND button = button_;
        if (!IsWindowVisible(button)) return message.PassOn();
        SendMessageW(button, WM_SETREDRAW, FALSE, 0);
        LRESULT result = message.PassOn();
        if (IsWindow(button)) {
            SendMessageW(button, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(button, nullptr, FALSE);
        }
        return result;
    }

    void PaintTo(HDC target) const {
        RECT rect{};
        GetClientRect(button_, &rect);
        if (IsRectEmpty(&rect)) return;
        runtime::MemoryDc memory(target);
        runtime::Bitmap buffer = MakeBuffer(rect.right, rect.bottom);
        if (!memory.Get() || !buffer) return;
        runtime::SelectObjectScope select(memory.Get(), buffer.Get());
        PaintParentBackground(button_, memory.Get());
        auto font = reinterpret_cast<HFONT>(SendMessageW(button_, WM_GETFONT, 0, 0));
        PaintButton(memory.Get(), *look_->images, rect, FaceFor(button_, hot_), WindowText(button_), font,
                    ButtonTextColour(button_, memory.Get(), *look_));
        BitBlt(target, 0, 0, rect.right, rect.bottom, memory.Get(), 0, 0, SRCCOPY);
    }

    HWND button_;
    std::shared_ptr<Look> look_;
    bool hot_ = false;
};

}  // namespace

void HookPushButton(HWND button, const std::shared_ptr<Look>& look) {
    HookOwning(button, std::make_unique<ButtonHook>(button, look));
    InvalidateRect(button, nullptr, FALSE);
}

}  // namespace skin
