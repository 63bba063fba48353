// The skin control: a window's stored skin, and the apply operation that makes the skin
// draw that window from then on.
#pragma once

#include <cstdint>
#include <memory>
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
    int imagePack = 0;  // RCDATA resource holding the images, in the skin's pack format
};

class SkinImages;

class Skin {
public:
    explicit Skin(const SkinDesign& design) : design_(design) {}
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;

    // Applies the skin to the window hWnd: from then on the skin draws its frame and its
    // push buttons, and, as the settings say, its client area and its panels' colours.
    // Applying again (to a window loaded afresh, or the same one) works the same. Returns 0.
    int32_t ApplySkin(int32_t hWnd);

private:
    std::shared_ptr<const SkinImages> Images();

    const SkinDesign& design_;
    std::shared_ptr<const SkinImages> images_;  // decoded at the first apply
};

// A stored colour as a COLORREF; the bytes are red, green, blue.
inline constexpr unsigned long ToColorRef(const StoredColour& colour) {
    return colour.bytes[0] | (colour.bytes[1] << 8) | (static_cast<unsigned long>(colour.bytes[2]) << 16);
}

}  // namespace skin
