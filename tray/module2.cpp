#include "tray/module2.h"

namespace Module2 {

// Placeholders that keep the start-up order until the notification-area icon is built.
void AddTrayIcon(runtime::Form&, runtime::Menu&) {}
void SetTrayIcon(const runtime::Picture&) {}
void SetTrayTip(std::wstring_view) {}

}  // namespace Module2
