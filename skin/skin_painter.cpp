#include "skin/skin_painter.h"

#include <algorithm>

#include "runtime/handles.h"

namespace skin {

namespace {

constexpr int kBoxGap = 2;       // between caption boxes
constexpr int kEdgeInset = 2;    // caption boxes and icon from the frame's inner edge
constexpr int kTextGap = 5;      // caption text from the icon and the boxes
constexpr COLORREF kDisabledText = RGB(0x7A, 0x82, 0x88);  // on the disabled face

// An image selected into a memory DC, the source of the draws of one paint.
class ImageSource {
public:
    ImageSource(HDC target, const SkinImage& image)
        : memory_(target), select_(memory_.Get(), image.bitmap.Get()) {}

    // Draws src of the image into dst, stretched if the sizes differ, blended by alpha. gdi32's
    // own blend, not msimg32's AlphaBlend: msimg32 is no known DLL, so a copy planted beside
    // the program would be loaded in its place.
    void Draw(HDC dc, const RECT& dst, const RECT& src) const {
        int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
        int sw = src.right - src.left, sh = src.bottom - src.top;
        if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, dst.left, dst.top, dw, dh, memory_.Get(), src.left, src.top, sw, sh, blend);
    }

    // Repeats src over dst from dst's top-left corner; stretches it to dst's height if
    // stretchHeight, else repeats it downwards too.
    void Tile(HDC dc, const RECT& dst, const RECT& src, bool stretchHeight) const {
        int sw = src.right - src.left, sh = src.bottom - src.top;
        int stepY = stretchHeight ? dst.bottom - dst.top : sh;
        for (int y = dst.top; y < dst.bottom; y += stepY) {
            int h = std::min<int>(stepY, dst.bottom - y);
            for (int x = dst.left; x < dst.right; x += sw) {
                int w = std::min<int>(sw, dst.right - x);
                RECT from{src.left, src.top, src.left + w, stretchHeight ? src.bottom : src.top + h};
                Draw(dc, RECT{x, y, x + w, y + h}, from);
            }
        }
    }

    // Nine-slice: corners at their own size, edges and centre stretched.
    void Slice(HDC dc, const RECT& dst, const ImagePart& part) const {
        const RECT& s = part.rect;
        const RECT& m = part.margins;
        int ml = std::min<int>(m.left, (dst.right - dst.left) / 2), mr = std::min<int>(m.right, (dst.right - dst.left) / 2);
        int mt = std::min<int>(m.top, (dst.bottom - dst.top) / 2), mb = std::min<int>(m.bottom, (dst.bottom - dst.top) / 2);
        const int dx[4] = {dst.left, dst.left + ml, dst.right - mr, dst.right};
        const int dy[4] = {dst.top, dst.top + mt, dst.bottom - mb, dst.bottom};
        const int sx[4] = {s.left, s.left + ml, s.right - mr, s.right};
        const int sy[4] = {s.top, s.top + mt, s.bottom - mb, s.bottom};
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                Draw(dc, RECT{dx[col], dy[row], dx[col + 1], dy[row + 1]},
                     RECT{sx[col], sy[row], sx[col + 1], sy[row + 1]});
            }
        }
    }

private:
    runtime::MemoryDc memory_;
    runtime::SelectObjectScope select_;
};

void Outline(HDC dc, const RECT& rect, COLORREF colour) {
    runtime::Brush brush(CreateSolidBrush(colour));
    FrameRect(dc, &rect, brush.Get());
}

runtime::Font CaptionFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        metrics.lfCaptionFont = LOGFONTW{};
        metrics.lfCaptionFont.lfHeight = -12;
        lstrcpyW(metrics.lfCaptionFont.lfFaceName, L"Tahoma");
    }
    metrics.lfCaptionFont.lfWeight = FW_BOLD;
    metrics.lfCaptionFont.lfQuality = ANTIALIASED_QUALITY;
    return runtime::Font(CreateFontIndirectW(&metrics.lfCaptionFont));
}

SIZE BoxSize(const SkinImages& images) {
    const SkinImage* frame = images.Find(kFrameImage);
    const ImagePart* boxes = frame ? frame->Part(kCaptionBoxes) : nullptr;
    if (!boxes) return SIZE{0, 0};
    return SIZE{(boxes->rect.right - boxes->rect.left) / kBoxStates, (boxes->rect.bottom - boxes->rect.top) / kBoxKinds};
}

}  // namespace

FrameLayout FrameLayout::Of(HWND window, const SkinImages& images) {
    FrameLayout layout;
    RECT outer{};
    GetWindowRect(window, &outer);
    layout.window = SIZE{outer.right - outer.left, outer.bottom - outer.top};
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -outer.left, -outer.top);
    layout.client = client;

    int border = std::max<int>(0, client.left);
    LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & WS_CAPTION) != WS_CAPTION) return layout;
    layout.caption = RECT{border, border, layout.window.cx - border, client.top};
    int band = layout.caption.bottom - layout.caption.top;
    if (band <= 0) return layout;

    SIZE box = BoxSize(images);
    int right = layout.caption.right - kEdgeInset;
    int top = layout.caption.top + (band - box.cy) / 2;
    auto addBox = [&](BoxKind kind, int hit) {
        layout.boxes.push_back(Box{kind, RECT{right - box.cx, top, right, top + box.cy}, hit});
        right -= box.cx + kBoxGap;
    };
    if (style & WS_SYSMENU) {
        addBox(BoxKind::Close, HTCLOSE);
        if (style & WS_MAXIMIZEBOX) addBox(IsZoomed(window) ? BoxKind::Restore : BoxKind::Maximize, HTMAXBUTTON);
        if (style & WS_MINIMIZEBOX) addBox(BoxKind::Minimize, HTMINBUTTON);
        int icon = GetSystemMetrics(SM_CXSMICON);
        int iconTop = layout.caption.top + (band - icon) / 2;
        layout.icon = RECT{layout.caption.left + kEdgeInset, iconTop, layout.caption.left + kEdgeInset + icon,
                           iconTop + icon};
    }
    int textLeft = layout.icon.right > 0 ? layout.icon.right + kTextGap : layout.caption.left + kTextGap;
    layout.text = RECT{textLeft, layout.caption.top, right - kTextGap + kBoxGap, layout.caption.bottom};
    return layout;
}

int FrameLayout::HitCaption(POINT at) const {
    if (!PtInRect(&caption, at)) return HTNOWHERE;
    for (const Box& box : boxes) {
        if (PtInRect(&box.rect, at)) return box.hit;
    }
    if (PtInRect(&icon, at)) return HTSYSMENU;
    return HTCAPTION;
}

void PaintFrame(HDC dc, const SkinImages& images, const FrameLayout& layout, const FrameLook& look) {
    const SkinImage* frame = images.Find(kFrameImage);
    if (!frame) return;
    ImageSource source(dc, *frame);
    RECT whole{0, 0, layout.window.cx, layout.window.cy};
    if (const ImagePart* tile = frame->Part(kBorderTile)) source.Tile(dc, whole, tile->rect, false);

    RECT band{0, 0, layout.window.cx, layout.caption.bottom};
    const ImagePart* caption = frame->Part(look.active ? kCaptionActive : kCaptionInactive);
    if (caption && band.bottom > 0) source.Tile(dc, band, caption->rect, false);

    Outline(dc, whole, frame->PartColour(kFrameColours, kOuterRim));
    RECT inner = whole;
    InflateRect(&inner, -1, -1);
    Outline(dc, inner, frame->PartColour(kFrameColours, kRimHighlight));
    RECT edge = layout.client;
    InflateRect(&edge, 1, 1);
    Outline(dc, edge, frame->PartColour(kFrameColours, kClientEdge));

    if (look.icon && !IsRectEmpty(&layout.icon)) {
        DrawIconEx(dc, layout.icon.left, layout.icon.top, look.icon, layout.icon.right - layout.icon.left,
                   layout.icon.bottom - layout.icon.top, 0, nullptr, DI_NORMAL);
    }

    if (!look.caption.empty() && layout.text.right > layout.text.left) {
        runtime::Font font = CaptionFont();
        runtime::SelectObjectScope select(dc, font.Get());
        SetBkMode(dc, TRANSPARENT);
        RECT shadow = layout.text;
        OffsetRect(&shadow, 1, 1);
        UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
        SetTextColor(dc, frame->PartColour(kFrameColours, kCaptionShadow));
        DrawTextW(dc, look.caption.c_str(), -1, &shadow, format);
        SetTextColor(dc, frame->PartColour(kFrameColours, look.active ? kCaptionText : kCaptionTextInactive));
        RECT text = layout.text;
        DrawTextW(dc, look.caption.c_str(), -1, &text, format);
    }

    if (const ImagePart* boxes = frame->Part(kCaptionBoxes)) {
        SIZE size = BoxSize(images);
        for (const FrameLayout::Box& box : layout.boxes) {
            BoxState state = !look.active ? BoxState::Inactive
                             : look.pressedBox == box.hit ? BoxState::Pressed
                             : look.hotBox == box.hit     ? BoxState::Hot
                                                          : BoxState::Normal;
            int x = boxes->rect.left + static_cast<int>(state) * size.cx;
            int y = boxes->rect.top + static_cast<int>(box.kind) * size.cy;
            source.Draw(dc, box.rect, RECT{x, y, x + size.cx, y + size.cy});
        }
    }
}

void PaintClientSurface(HDC dc, const SkinImages& images, const RECT& rect) {
    const SkinImage* frame = images.Find(kFrameImage);
    const ImagePart* tile = frame ? frame->Part(kClientTile) : nullptr;
    if (!tile) return;
    ImageSource source(dc, *frame);
    int w = tile->rect.right - tile->rect.left, h = tile->rect.bottom - tile->rect.top;
    // Tiles start at multiples of the tile size, so that every piece painted lines up.
    auto floorTo = [](int v, int step) { return v >= 0 ? v - v % step : v - (step + v % step) % step; };
    RECT aligned{floorTo(rect.left, w), floorTo(rect.top, h), rect.right, rect.bottom};
    source.Tile(dc, aligned, tile->rect, false);
}

void PaintButton(HDC dc, const SkinImages& images, const RECT& rect, ButtonState state, const std::wstring& text,
                 HFONT font, COLORREF textColour) {
    const SkinImage* image = images.Find(kButtonImage);
    if (!image) return;
    if (const ImagePart* part = image->Part(static_cast<uint8_t>(state))) {
        ImageSource source(dc, *image);
        source.Slice(dc, rect, *part);
    }
    RECT textRect = rect;
    InflateRect(&textRect, -3, -2);
    if (state == ButtonState::Pressed) OffsetRect(&textRect, 1, 1);
    runtime::SelectObjectScope select(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, state == ButtonState::Disabled ? kDisabledText : textColour);
    DrawTextW(dc, text.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace skin
