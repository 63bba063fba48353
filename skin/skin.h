// The skin control: a window's stored skin, and the apply operation that makes the skin
// draw that window from then on.
#pragma once

#include <cstdint>
#include <span>

namespace skin {

// Three stored colour bytes, in the order the skin keeps them.
struct StoredColour {
    uint8_t bytes[3];
};

struct SkinSettings {
    int nHue = 0;
    StoredColour backColor{};
    StoredColour panelColor{};
    StoredColour foreColor{};
    StoredColour panelTextColor{};
    bool applyColors = false;    // the skin's colours replace the design's
    int skinClientArea = 0;      // 1: the client area is drawn from the skin too
};

struct SkinDesign {
    const wchar_t* name = L"";
    const wchar_t* author = L"";
    const wchar_t* description = L"";
    std::span<const wchar_t* const> images;  // the skin's image names
    SkinSettings settings;
};

class Skin {
public:
    explicit Skin(const SkinDesign& design) : design_(design) {}
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;

    const SkinDesign& Design() const { return design_; }

    // Applies the skin to the window hWnd; from then on the skin draws it. Applying again
    // (to a window loaded afresh) works the same. Returns 0.
    int32_t ApplySkin(int32_t hWnd);

private:
    const SkinDesign& design_;
};

}  // namespace skin
