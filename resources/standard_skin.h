// The "Standard Skin" that each window's design keeps a copy of.
#pragma once

#include "resources/skin_ids.h"
#include "skin/skin.h"

namespace resources {

inline constexpr const wchar_t* kStandardSkinImages[] = {
    L"galaxy.bmp", L"galaxy-button.bmp", L"galaxy-h-slider.bmp", L"galaxy-v-slider.bmp",
    L"checkboxes.tga", L"radiobuttons.tga",
};

// imagePack: the resource holding this window's own copy of the images.
constexpr skin::SkinDesign StandardSkin(int imagePack, bool applyColors, int skinClientArea) {
    skin::SkinDesign design;
    design.name = L"Standard Skin";
    design.author = L"";
    design.description = L"";
    design.images = kStandardSkinImages;
    design.settings.nHue = 0;
    design.settings.backColor = {{0x9A, 0xB6, 0xC2}};
    design.settings.panelColor = {{0x9A, 0xB6, 0xC2}};
    design.settings.foreColor = {{0x00, 0x00, 0x00}};
    design.settings.panelTextColor = {{0x00, 0x00, 0x00}};
    design.settings.applyColors = applyColors;
    design.settings.skinClientArea = skinClientArea;
    design.imagePack = imagePack;
    return design;
}

}  // namespace resources
