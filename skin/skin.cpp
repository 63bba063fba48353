#include "skin/skin.h"

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/class_names.h"
#include "runtime/dib.h"
#include "runtime/error.h"
#include "runtime/handles.h"
#include "skin/skin_hooks.h"
#include "skin/skin_images.h"

namespace skin {

// An off-screen 32-bit buffer. A DIB and not a bitmap compatible with the screen, so that
// blending into it is exact whatever the display does.
runtime::Bitmap MakeBuffer(int width, int height) { return runtime::CreateTopDownDib(width, height); }

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

namespace {

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t buffer[64];
    return GetClassNameW(window, buffer, 64) > 0 && lstrcmpiW(buffer, name) == 0;
}

bool IsPushButton(HWND window) {
    if (!IsClass(window, L"Button")) return false;
    LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void SkinChild(HWND child, const std::shared_ptr<Look>& look) {
    if (IsPushButton(child)) {
        HookPushButton(child, look);
    } else if (look->settings.applyColors && IsClass(child, runtime::kPanelClass)) {
        HookPanel(child, look);
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

    HookFrame(window, look);

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
