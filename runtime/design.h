// Design data of a form: what the runtime builds its window and controls from at each load.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace runtime {

// A colour as written in a design, 0xRRGGBB, or one of the system's colours.
struct Colour {
    enum class Kind : uint8_t { Rgb, System };
    Kind kind = Kind::Rgb;
    uint32_t value = 0;  // 0xRRGGBB for Rgb, a COLOR_* index for System

    static constexpr Colour FromRgb(uint32_t rrggbb) { return {Kind::Rgb, rrggbb}; }
    static constexpr Colour FromSystem(int index) { return {Kind::System, static_cast<uint32_t>(index)}; }
    COLORREF ToColorRef() const;
};

struct FontDesign {
    const wchar_t* face = nullptr;  // nullptr: the runtime's default font
    float points = 8.25f;
    int weight = FW_NORMAL;
};

enum class ControlKind : uint8_t { CommandButton, Label, PictureBox, Custom };

struct ControlDesign;

// Creates a control of a kind the runtime does not know (a skin library's label, say).
// Returns the child window it made in parent with the control id the form gave it, at the
// given pixel rectangle, or nullptr.
using CustomControlFactory = HWND (*)(HWND parent, int id, const RECT& pixels, const ControlDesign& design);

struct ControlDesign {
    ControlKind kind = ControlKind::CommandButton;
    const wchar_t* name = L"";
    int index = -1;                   // element of a control array, -1 for none
    const wchar_t* caption = L"";
    const wchar_t* container = nullptr;  // name of the panel it stands on; nullptr: the form
    int containerIndex = -1;
    int left = 0, top = 0, width = 0, height = 0;  // twips, from the container's client origin
    FontDesign font;
    bool enabled = true;
    int tabIndex = 0;
    Colour backColour = Colour::FromSystem(COLOR_BTNFACE);
    Colour foreColour = Colour::FromSystem(COLOR_BTNTEXT);
    bool border = false;  // fixed single border
    bool centred = false;
    CustomControlFactory create = nullptr;  // Custom only
    const void* customData = nullptr;      // Custom only: the control's stored data
};

struct MenuItemDesign {
    const wchar_t* name = L"";
    const wchar_t* caption = L"";  // "-" draws a separator
    bool checked = false;
    bool enabled = true;
};

struct MenuDesign {
    const wchar_t* name = L"";
    const wchar_t* caption = L"";
    bool visible = false;  // menus are only popped up: the window never has a menu bar
    std::span<const MenuItemDesign> items;
};

enum class BorderStyle : uint8_t { FixedSingle, Sizable };

struct FormDesign {
    const wchar_t* caption = L"";
    int clientWidth = 0, clientHeight = 0;  // twips
    BorderStyle border = BorderStyle::Sizable;
    bool controlBox = true;
    bool minButton = true;
    bool maxButton = true;
    bool showInTaskbar = true;
    int iconResource = 0;     // 0: no icon
    int pictureResource = 0;  // bitmap drawn at its own size at the client's top-left; 0: none
    Colour backColour = Colour::FromSystem(COLOR_BTNFACE);
    Colour foreColour = Colour::FromSystem(COLOR_BTNTEXT);
    FontDesign font;
    std::span<const ControlDesign> controls;
    std::span<const MenuDesign> menus;
};

}  // namespace runtime
