#include "skin/skin_label.h"

#include "runtime/error.h"
#include "runtime/handles.h"
#include "runtime/twips.h"

namespace skin {

namespace {

constexpr wchar_t kSkinLabelClass[] = L"HushlineSkinLabel";

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

LRESULT CALLBACK SkinLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return runtime::Guarded<LRESULT>([&]() -> LRESULT {
        auto* state = reinterpret_cast<LabelState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
            case WM_NCCREATE: {
                auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
                SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
                break;
            }
            case WM_NCDESTROY:
                delete state;
                SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                return 0;
            case WM_SETFONT:  // the label keeps its stored font
                return 0;
            case WM_GETFONT:
                return state ? reinterpret_cast<LRESULT>(state->font.Get()) : 0;
            case WM_ERASEBKGND:
                return 1;  // the parent's background shows through
            case WM_PAINT: {
                runtime::PaintScope paint(window);
                if (state) PaintContent(window, paint.Dc(), *state);
                return 0;
            }
            case WM_PRINTCLIENT:
                if (state) PaintContent(window, reinterpret_cast<HDC>(wParam), *state);
                return 0;
            case WM_NCHITTEST:
                return HTTRANSPARENT;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    });
}

void RegisterSkinLabelClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = &SkinLabelProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = kSkinLabelClass;
    if (!RegisterClassExW(&cls)) runtime::Raise(runtime::kOutOfMemory);
    registered = true;
}

}  // namespace

HWND CreateSkinLabel(HWND parent, const RECT& pixels, const runtime::ControlDesign& design) {
    RegisterSkinLabelClass();
    const auto* data = static_cast<const SkinLabelData*>(design.customData);
    if (!data) runtime::Raise(runtime::kObjectNotSet);
    const runtime::FontDesign& font = data->font;
    auto* state = new LabelState{data, runtime::Font(CreateFontW(
                                           runtime::PointsToFontHeight(font.points), 0, 0, 0, font.weight, FALSE,
                                           FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                           font.face ? font.face : L"MS Sans Serif"))};
    HWND window = CreateWindowExW(WS_EX_TRANSPARENT, kSkinLabelClass, data->text, WS_CHILD | WS_VISIBLE,
                                  pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.tabIndex + 3000)),
                                  GetModuleHandleW(nullptr), state);
    if (!window) {
        delete state;
        runtime::Raise(runtime::kOutOfMemory);
    }
    return window;
}

}  // namespace skin
