// Paths of the build tree (given to the tests as Linux paths) as Wine's drive Z: reaches them.
#pragma once

#include <string>

namespace appearance {

inline std::wstring FromBuildTree(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c) path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
    return path;
}

}  // namespace appearance
