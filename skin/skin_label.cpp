#include "skin/skin_label.h"

#include <memory>

#include "runtime/bound_window.h"
#include "runtime/error.h"
#include "runtime/handles.h"
#include "runtime/twips.h"

namespace skin {

namespace {

struct LabelState {
    const SkinLabelData* data;
    runtime::Font font;
};

void PaintContent(HWND window, HDC dc, const LabelState& state) {
    RECT client{};
    GetClientRect(window, &client);
    runtime::SelectObjectScope select(dc, state.font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, state.data->text, -1, &client, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT OnLabelMessage(LabelState& state, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFONT:  // the label keeps its stored font
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(state.font.Get());
        case WM_ERASEBKGND:
            return 1;  // the parent's background shows through
        case WM_PAINT: {
            runtime::PaintScope paint(window);
            PaintContent(window, paint.Dc(), state);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintContent(window, reinterpret_cast<HDC>(wParam), state);
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

runtime::Font LabelFont(const runtime::FontDesign& font) {
    return runtime::Font(CreateFontW(runtime::PointsToFontHeight(font.points), 0, 0, 0, font.weight, FALSE, FALSE,
                                     FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, font.face ? font.face : L"MS Sans Serif"));
}

}  // namespace

HWND CreateSkinLabel(HWND parent, int id, const RECT& pixels, const runtime::ControlDesign& design) {
    runtime::RegisterWindowClass(kSkinLabelClass, &runtime::OwningWindowProc<LabelState, &OnLabelMessage>);
    const auto* data = static_cast<const SkinLabelData*>(design.customData);
    if (!data) runtime::Raise(runtime::kObjectNotSet);
    // The window takes the state at WM_NCCREATE; what is still here after a failed creation
    // never reached it.
    auto state = std::make_unique<LabelState>(LabelState{data, LabelFont(data->font)});
    HWND window = CreateWindowExW(WS_EX_TRANSPARENT, kSkinLabelClass, data->text, WS_CHILD | WS_VISIBLE, pixels.left,
                                  pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), &state);
    if (!window) runtime::Raise(runtime::kOutOfMemory);
    return window;
}

}  // namespace skin
