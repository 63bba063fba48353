// The DLLs an executable names in its import table, read from the file (PE32 or PE32+).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace test_support {

// The imported DLL names, lower-cased and sorted; nothing when the file is not a readable
// executable.
std::optional<std::vector<std::string>> ImportedDlls(const std::wstring& path);

}  // namespace test_support
