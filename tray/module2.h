// The notification-area icon and the hook in front of the main window's procedure.
#pragma once

#include <string_view>

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/picture.h"

namespace Module2 {

// Hooks form's window and adds the icon, with menu as the icon's pop-up menu.
void AddTrayIcon(runtime::Form& form, runtime::Menu& menu);
// Sets the icon's picture, when picture is an icon.
void SetTrayIcon(const runtime::Picture& picture);
// Sets the icon's tooltip.
void SetTrayTip(std::wstring_view tip);

}  // namespace Module2
