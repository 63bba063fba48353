// The main window's design: window, controls, menu and stored skin.
#pragma once

#include "runtime/design.h"
#include "skin/skin.h"

namespace resources {

extern const runtime::FormDesign kForm1Design;
extern const skin::SkinDesign kForm1Skin;

}  // namespace resources
