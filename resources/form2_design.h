// The help window's design: window, controls, the help text and the stored skin.
#pragma once

#include "runtime/design.h"
#include "skin/skin.h"

namespace resources {

extern const runtime::FormDesign kForm2Design;
extern const skin::SkinDesign kForm2Skin;

}  // namespace resources
