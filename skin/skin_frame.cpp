// The skin's procedure in front of a top-level window: draws its frame and caption boxes,
// hit-tests them by the skin's layout, and tracks the boxes under the mouse.
#include <windows.h>
#include <windowsx.h>

#include "skin/hook.h"
#include "skin/skin_hooks.h"
#include "skin/skin_images.h"
#include "skin/skin_painter.h"

namespace skin {

namespace {

HICON WindowIcon(HWND window) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    return icon;
}

POINT ToWindowPoint(HWND window, POINT screen) {
    RECT outer{};
    GetWindowRect(window, &outer);
    return POINT{screen.x - outer.left, screen.y - outer.top};
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

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

class FrameHook {
public:
    static constexpr UINT_PTR kHookId = 0x534B4E31;  // 'SKN1'

    FrameHook(HWND window, std::shared_ptr<Look> look)
        : window_(window), look_(std::move(look)), active_(GetActiveWindow() == window) {}

    LRESULT OnMessage(const HookedMessage& message) {
        switch (message.id) {
            case WM_NCPAINT: return OnNcPaint();
            case WM_NCACTIVATE: return OnNcActivate(message.wParam != FALSE, message);
            case WM_SETTEXT:
            case WM_SETICON: return OnCaptionChanged(message);
            case WM_NCHITTEST: return OnNcHitTest(PointOf(message.lParam), message);
            case WM_NCMOUSEMOVE: return OnNcMouseMove(static_cast<int>(message.wParam), message);
            case WM_NCMOUSELEAVE: return OnNcMouseLeave(message);
            case WM_NCLBUTTONDOWN:
            case WM_NCLBUTTONDBLCLK: return OnNcLButtonDown(static_cast<int>(message.wParam), message);
            case WM_NCLBUTTONUP: return OnNcLButtonUp(static_cast<int>(message.wParam), message);
            case WM_MOUSEMOVE: return OnMouseMove(PointOf(message.lParam), message);
            case WM_LBUTTONUP: return OnLButtonUp(PointOf(message.lParam), message);
            case WM_CAPTURECHANGED: return OnCaptureChanged(message);
            case WM_SYSCOMMAND: return OnSysCommand(message);
            case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(message.wParam), message);
            case WM_PRINT: return OnPrint(reinterpret_cast<HDC>(message.wParam), message.lParam, message);
        }
        return message.PassOn();
    }

private:
    LRESULT OnNcPaint() {
        if (HDC dc = GetWindowDC(window_)) {
            PaintTo(dc);
            ReleaseDC(window_, dc);
        }
        return 0;
    }

    LRESULT OnNcActivate(bool active, const HookedMessage& message) {
        active_ = active;
        // -1: the default keeps the activation but leaves the frame to the skin.
        LRESULT result = message.PassOn(message.wParam, -1);
        PaintNow();
        return result;
    }

    // The default redraws the caption itself; the skin's goes back over it.
    LRESULT OnCaptionChanged(const HookedMessage& message) {
        LRESULT result = message.PassOn();
        PaintNow();
        return result;
    }

    LRESULT OnNcHitTest(POINT screen, const HookedMessage& message) {
        LRESULT hit = message.PassOn();
        if (!IsCaptionHit(hit)) return hit;
        int skinned = CaptionHit(screen);
        return skinned == HTNOWHERE ? hit : skinned;
    }

    LRESULT OnNcMouseMove(int hit, const HookedMessage& message) {
        if (!leaveTracking_) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, window_, 0};
            leaveTracking_ = TrackMouseEvent(&track) != FALSE;
        }
        SetHotBox(IsCaptionBox(hit) ? hit : HTNOWHERE);
        return message.PassOn();
    }

    LRESULT OnNcMouseLeave(const HookedMessage& message) {
        leaveTracking_ = false;
        SetHotBox(HTNOWHERE);
        return message.PassOn();
    }

    // A box acts when the button comes up over it, as the system's own do.
    LRESULT OnNcLButtonDown(int hit, const HookedMessage& message) {
        if (!IsCaptionBox(hit)) return message.PassOn();
        trackedBox_ = hit;
        overTracked_ = true;
        SetCapture(window_);
        PaintNow();
        return 0;
    }

    LRESULT OnNcLButtonUp(int hit, const HookedMessage& message) {
        return IsCaptionBox(hit) ? 0 : message.PassOn();
    }

    LRESULT OnMouseMove(POINT client, const HookedMessage& message) {
        if (trackedBox_ == HTNOWHERE) return message.PassOn();
        bool over = CaptionHit(ToScreen(client)) == trackedBox_;
        if (over != overTracked_) {
            overTracked_ = over;
            PaintNow();
        }
        return 0;
    }

    LRESULT OnLButtonUp(POINT client, const HookedMessage& message) {
        if (trackedBox_ == HTNOWHERE) return message.PassOn();
        POINT at = ToScreen(client);
        int box = trackedBox_;
        bool over = CaptionHit(at) == box;
        StopTracking();
        ReleaseCapture();
        PaintNow();
        // May close the window and delete this hook: nothing of it is touched after.
        HWND window = window_;
        if (over) SendMessageW(window, WM_SYSCOMMAND, CommandFor(window, box), MAKELPARAM(at.x, at.y));
        return 0;
    }

    LRESULT OnCaptureChanged(const HookedMessage& message) {
        if (trackedBox_ != HTNOWHERE) {
            StopTracking();
            PaintNow();
        }
        return message.PassOn();
    }

    // The system menu's tracking draws the default caption button; the frame is redrawn
    // once after it, if the window is still there.
    LRESULT OnSysCommand(const HookedMessage& message) {
        HWND window = window_;
        LRESULT result = message.PassOn();
        if (IsWindow(window)) RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return result;
    }

    LRESULT OnEraseBackground(HDC dc, const HookedMessage& message) {
        if (!look_->settings.skinClientArea) return message.PassOn();
        RECT dirty{};
        GetClipBox(dc, &dirty);
        PaintClientSurface(dc, *look_->images, dirty);
        return 1;
    }

    // The frame from the skin; the client area from the window, moved in to its place.
    LRESULT OnPrint(HDC dc, LPARAM parts, const HookedMessage& message) {
        if (!(parts & PRF_NONCLIENT)) return message.PassOn();
        PaintTo(dc);
        FrameLayout layout = FrameLayout::Of(window_, *look_->images);
        int saved = SaveDC(dc);
        OffsetViewportOrgEx(dc, layout.client.left, layout.client.top, nullptr);
        IntersectClipRect(dc, 0, 0, layout.client.right - layout.client.left, layout.client.bottom - layout.client.top);
        LRESULT result = message.PassOn(message.wParam, parts & ~PRF_NONCLIENT);
        RestoreDC(dc, saved);
        return result;
    }

    void StopTracking() {
        trackedBox_ = HTNOWHERE;
        overTracked_ = false;
    }

    POINT ToScreen(POINT client) const {
        ClientToScreen(window_, &client);
        return client;
    }

    int CaptionHit(POINT screen) const {
        return FrameLayout::Of(window_, *look_->images).HitCaption(ToWindowPoint(window_, screen));
    }

    void SetHotBox(int box) {
        if (hotBox_ == box) return;
        hotBox_ = box;
        PaintNow();
    }

    FrameLook CurrentLook() const {
        FrameLook look;
        look.active = active_;
        look.hotBox = trackedBox_ == HTNOWHERE ? hotBox_ : HTNOWHERE;
        look.pressedBox = overTracked_ ? trackedBox_ : HTNOWHERE;
        look.icon = WindowIcon(window_);
        look.caption = WindowText(window_);
        return look;
    }

    // Draws the frame off screen and puts it on the window in one blit, the client area
    // excluded, so that nothing flickers.
    void PaintTo(HDC target) const {
        const SkinImages& images = *look_->images;
        FrameLayout layout = FrameLayout::Of(window_, images);
        if (layout.window.cx <= 0 || layout.window.cy <= 0) return;
        runtime::MemoryDc memory(target);
        runtime::Bitmap buffer = MakeBuffer(layout.window.cx, layout.window.cy);
        if (!memory.Get() || !buffer) return;
        runtime::SelectObjectScope select(memory.Get(), buffer.Get());
        PaintFrame(memory.Get(), images, layout, CurrentLook());
        int saved = SaveDC(target);
        ExcludeClipRect(target, layout.client.left, layout.client.top, layout.client.right, layout.client.bottom);
        BitBlt(target, 0, 0, layout.window.cx, layout.window.cy, memory.Get(), 0, 0, SRCCOPY);
        RestoreDC(target, saved);
    }

    void PaintNow() const {
        if (!IsWindowVisible(window_)) return;
        HDC dc = GetWindowDC(window_);
        if (!dc) return;
        PaintTo(dc);
        ReleaseDC(window_, dc);
    }

    HWND window_;
    std::shared_ptr<Look> look_;
    bool active_;
    int hotBox_ = HTNOWHERE;
    int trackedBox_ = HTNOWHERE;  // the box the left button went down on, while held
    bool overTracked_ = false;
    bool leaveTracking_ = false;
};

}  // namespace

void HookFrame(HWND window, const std::shared_ptr<Look>& look) {
    HookOwning(window, std::make_unique<FrameHook>(window, look));
}

}  // namespace skin
