#include "resources/form1_design.h"

#include "resources/resource_ids.h"
#include "resources/standard_skin.h"

namespace resources {

namespace {

using runtime::Colour;
using runtime::ControlDesign;
using runtime::ControlKind;
using runtime::FontDesign;

constexpr FontDesign kSansSerif{L"MS Sans Serif", 8.25f, FW_NORMAL};
constexpr FontDesign kBigBold{L"Arial", 12.0f, FW_BOLD};
constexpr FontDesign kStatus{L"Arial", 11.25f, FW_NORMAL};

constexpr Colour kPanelBack = Colour::FromRgb(0xC0C0FF);
constexpr Colour kPanelFore = Colour::FromSystem(COLOR_WINDOWTEXT);
constexpr Colour kStatusBack = Colour::FromRgb(0x404040);
constexpr Colour kStatusText = Colour::FromRgb(0xFFFFC0);
constexpr Colour kButtonFace = Colour::FromSystem(COLOR_BTNFACE);
constexpr Colour kButtonText = Colour::FromSystem(COLOR_BTNTEXT);

constexpr ControlDesign Panel(int index, int top, int height, int tabIndex) {
    return {ControlKind::PictureBox, L"Picture1", index, L"", nullptr, -1, 120, top, 2655, height,
            kSansSerif, true, tabIndex, kPanelBack, kPanelFore};
}

constexpr ControlDesign Button(const wchar_t* name, const wchar_t* caption, const wchar_t* container,
                               int containerIndex, int left, int top, int width, const FontDesign& font,
                               int tabIndex, bool enabled = true) {
    return {ControlKind::CommandButton, name, -1, caption, container, containerIndex, left, top, width, 375,
            font, enabled, tabIndex, kButtonFace, kButtonText};
}

constexpr ControlDesign StatusLabel(const wchar_t* name, const wchar_t* placeholder, int containerIndex, int height,
                                    int tabIndex) {
    return {ControlKind::Label, name, -1, placeholder, L"Picture1", containerIndex, 120, 600, 2415, height,
            kStatus, true, tabIndex, kStatusBack, kStatusText, /*border=*/true, /*centred=*/true};
}

constexpr int kTopPanel = 1;
constexpr int kStartupPanel = 0;

constexpr ControlDesign kControls[] = {
    Panel(kTopPanel, 120, 1095, 0),
    Button(L"Command4", L"Go", L"Picture1", kTopPanel, 120, 120, 1095, kBigBold, 1),
    Button(L"Command3", L"Stop", L"Picture1", kTopPanel, 1440, 120, 1095, kBigBold, 2),
    StatusLabel(L"Label3", L"Label2", kTopPanel, 375, 6),

    Panel(kStartupPanel, 1320, 1335, 7),
    Button(L"Command1", L"Auto Start", L"Picture1", kStartupPanel, 120, 120, 1095, kSansSerif, 8),
    Button(L"Command2", L"No Auto Start", L"Picture1", kStartupPanel, 1440, 120, 1095, kSansSerif, 9,
           /*enabled=*/false),
    StatusLabel(L"Label2", L"Label1", kStartupPanel, 615, 10),

    Button(L"Command8", L"Help", nullptr, -1, 120, 2760, 855, kSansSerif, 5),
    Button(L"Command5", L"Hide", nullptr, -1, 1080, 2760, 855, kSansSerif, 4),
    Button(L"Command6", L"Exit", nullptr, -1, 2040, 2760, 735, kSansSerif, 3),
};

constexpr runtime::MenuItemDesign kTrayItems[] = {
    {L"exit", L"Exit"},
    {L"sep", L"-"},
    {L"stop2", L"Blocking Stopped"},
    {L"start", L"Blocking Started"},
};

constexpr runtime::MenuDesign kMenus[] = {
    {L"MnuTray", L"Menu", /*visible=*/false, kTrayItems},
};

}  // namespace

const runtime::FormDesign kForm1Design = {
    .caption = L"Hushline",
    .clientWidth = 2895,
    .clientHeight = 3210,
    .border = runtime::BorderStyle::FixedSingle,
    .controlBox = true,
    .minButton = false,
    .maxButton = false,
    .showInTaskbar = true,
    .iconResource = IDI_HUSHLINE,
    .pictureResource = IDB_FORM1_PICTURE,
    .backColour = Colour::FromRgb(0x808080),
    .foreColour = Colour::FromRgb(0xFFFFFF),
    .font = {L"Arial", 9.75f, FW_BOLD},
    .controls = kControls,
    .menus = kMenus,
};

const skin::SkinDesign kForm1Skin = StandardSkin(IDR_FORM1_SKIN, /*applyColors=*/true, /*skinClientArea=*/0);

}  // namespace resources
