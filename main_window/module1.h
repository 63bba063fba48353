// The user's Startup folder and the shell's special-folder lookup.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Module1 {

constexpr int32_t CSIDL_STARTUP_FOLDER = 7;

// The Startup folder's path, set once by the start-up test; "" when the lookup failed.
extern std::wstring StartupFolder;

// The file-system path of the shell special folder csidl, or "" when the shell refuses it.
std::wstring SpecialFolderPath(int32_t csidl);

// The text before the first NUL of a path buffer the shell filled; "" when it holds no NUL,
// since a buffer the shell left unended holds no path.
std::wstring TextBeforeNul(std::wstring_view buffer);

}  // namespace Module1
