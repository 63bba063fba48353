#include "main_window/module1.h"

namespace Module1 {

std::wstring StartupFolder;

// Placeholder until the start-up shortcut is built: no folder.
std::wstring SpecialFolderPath(int32_t) { return std::wstring(); }

}  // namespace Module1
