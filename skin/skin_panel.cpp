// The skin's procedure in front of a panel of the forms runtime: fills it with the skin's
// panel colour.
#include <windows.h>

#include "skin/hook.h"
#include "skin/skin_hooks.h"

namespace skin {

namespace {

class PanelHook {
public:
    static constexpr UINT_PTR kHookId = 0x534B4E33;  // 'SKN3'

    PanelHook(HWND panel, std::shared_ptr<Look> look) : panel_(panel), look_(std::move(look)) {}

    LRESULT OnMessage(const HookedMessage& message) {
        switch (message.id) {
            case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(message.wParam));
        }
        return message.PassOn();
    }

private:
    LRESULT OnEraseBackground(HDC dc) {
        RECT client{};
        GetClientRect(panel_, &client);
        FillRect(dc, &client, look_->panelBrush.Get());
        return 1;
    }

    HWND panel_;
    std::shared_ptr<Look> look_;
};

}  // namespace

void HookPanel(HWND panel, const std::shared_ptr<Look>& look) {
    HookOwning(panel, std::make_unique<PanelHook>(panel, look));
    InvalidateRect(panel, nullptr, TRUE);
}

}  // namespace skin
