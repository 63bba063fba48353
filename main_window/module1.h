// The user's Startup folder and the shell's special-folder lookup.
#pragma once

#include <cstdint>
#include <string>

namespace Module1 {

constexpr int32_t CSIDL_STARTUP_FOLDER = 7;

// The Startup folder's path, set once by the start-up test; "" when the lookup failed.
extern std::wstring StartupFolder;

// The file-system path of the shell special folder csidl, or "" when the shell refuses it.
std::wstring SpecialFolderPath(int32_t csidl);

}  // namespace Module1
