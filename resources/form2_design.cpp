#include "resources/form2_design.h"

#include "resources/standard_skin.h"
#include "skin/skin_label.h"

namespace resources {

namespace {

using runtime::ControlDesign;
using runtime::ControlKind;
using runtime::FontDesign;

// One paragraph, no line breaks; the label wraps it.
constexpr wchar_t kHelpText[] =
    L"Hushline will block all unwanted messenger popups. If you would like hushline to run on startup, click "
    L"the auto start button and it will be placed into your startup folder. Click the no autostart button to "
    L"remove hushline from the startup folder. You can start / stop hushline at any time by using the Manual "
    L"start / stop buttons. Click the Hide button to send Hushline to the system tray.";

constexpr FontDesign kLabelFont{L"MS Sans Serif", 8.25f, FW_NORMAL};

constexpr skin::SkinLabelData kHelpLabel{kHelpText, kLabelFont};

// In design order. The button lies inside the lower part of the label's rectangle; the
// label lets the mouse through to it.
constexpr ControlDesign kControls[] = {
    {.kind = ControlKind::CommandButton,
     .name = L"Command1",
     .caption = L"Click Here To View More Of Our Software",
     .left = 240,
     .top = 1920,
     .width = 4455,
     .height = 375,
     .font = {},  // the window's default
     .tabIndex = 1},
    {.kind = ControlKind::Custom,
     .name = L"SkinLabel1",
     .left = 240,
     .top = 240,
     .width = 4575,
     .height = 2295,
     .font = kLabelFont,
     .tabIndex = 0,
     .create = &skin::CreateSkinLabel,
     .customData = &kHelpLabel},
};

}  // namespace

// Sizable frame with minimize, maximize and close boxes, no icon, the system's default
// position and the runtime's default font and colours.
const runtime::FormDesign kForm2Design = {
    .caption = L"Help",
    .clientWidth = 4980,
    .clientHeight = 2550,
    .border = runtime::BorderStyle::Sizable,
    .controlBox = true,
    .minButton = true,
    .maxButton = true,
    .showInTaskbar = true,
    .iconResource = 0,
    .pictureResource = 0,
    .font = {},  // the runtime's default
    .controls = kControls,
    .menus = {},
};

const skin::SkinDesign kForm2Skin = StandardSkin(IDR_FORM2_SKIN, /*applyColors=*/false, /*skinClientArea=*/1);

}  // namespace resources
