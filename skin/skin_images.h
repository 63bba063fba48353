// The images of a stored skin, decoded from its image pack into bitmaps ready to draw.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "runtime/handles.h"

namespace skin {

// Part ids of "galaxy.bmp", the frame image; shared with the generator.
enum FramePart : uint8_t {
    kCaptionActive = 0,
    kCaptionInactive = 1,
    kBorderTile = 2,
    kFrameColours = 3,  // one pixel each, in FrameColour order
    kCaptionBoxes = 4,  // rows: BoxKind; columns: BoxState
    kClientTile = 5,
};

enum FrameColour : int {
    kOuterRim = 0,
    kRimHighlight = 1,
    kClientEdge = 2,
    kCaptionText = 3,
    kCaptionTextInactive = 4,
    kCaptionShadow = 5,
};

enum class BoxKind : int { Close = 0, Maximize = 1, Restore = 2, Minimize = 3 };
enum class BoxState : int { Normal = 0, Hot = 1, Pressed = 2, Inactive = 3 };
constexpr int kBoxKinds = 4;
constexpr int kBoxStates = 4;

// Part ids of "galaxy-button.bmp": one frame per push-button state.
enum class ButtonState : uint8_t { Normal = 0, Hot = 1, Pressed = 2, Disabled = 3, Focused = 4 };

constexpr wchar_t kFrameImage[] = L"galaxy.bmp";
constexpr wchar_t kButtonImage[] = L"galaxy-button.bmp";

struct ImagePart {
    uint8_t id = 0;
    RECT rect{};     // within the image
    RECT margins{};  // nine-slice margins: left, top, right, bottom
};

// One decoded image: a 32-bit bitmap with premultiplied alpha, and its named parts.
struct SkinImage {
    std::wstring name;
    int width = 0;
    int height = 0;
    runtime::Bitmap bitmap;
    std::vector<uint32_t> pixels;  // the same pixels, 0xAARRGGBB premultiplied, top row first
    std::vector<ImagePart> parts;

    const ImagePart* Part(uint8_t id) const;
    // A pixel of a part, as an opaque COLORREF.
    COLORREF PartColour(uint8_t id, int x) const;
};

class SkinImages {
public:
    // Decodes a whole image pack; malformed data raises the runtime's error.
    static std::shared_ptr<const SkinImages> Decode(std::span<const uint8_t> pack);
    // Decodes the pack stored as an RCDATA resource of the program.
    static std::shared_ptr<const SkinImages> FromResource(int resourceId);

    const SkinImage* Find(const wchar_t* name) const;

private:
    std::vector<SkinImage> images_;
};

}  // namespace skin
