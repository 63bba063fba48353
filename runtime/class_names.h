// Names of the window classes the forms runtime registers, for code that recognises its
// windows from outside. Header-only, so that tools outside the runtime can use it.
#pragma once

namespace runtime {

// The class of a form's panels (its PictureBox containers).
inline constexpr wchar_t kPanelClass[] = L"HushlinePanel";

}  // namespace runtime
