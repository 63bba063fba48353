// The skin library's label: shows the text and the font stored in its own data.
#pragma once

#include <windows.h>

#include "runtime/design.h"

namespace skin {

// What a skinned label keeps in its design.
struct SkinLabelData {
    const wchar_t* text = L"";
    runtime::FontDesign font;
};

// The window class of skinned labels.
inline constexpr wchar_t kSkinLabelClass[] = L"HushlineSkinLabel";

// The control factory for a skinned label; the design's customData is a SkinLabelData.
HWND CreateSkinLabel(HWND parent, int id, const RECT& pixels, const runtime::ControlDesign& design);

}  // namespace skin
