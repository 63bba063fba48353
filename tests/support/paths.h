// Files beside the test program and elsewhere, as the tests look them up.
#pragma once

#include <string>

namespace test_support {

// The folder of the running test program, where its helper programs are built.
std::wstring ExeFolder();

// Whether a file or folder of that path exists.
bool Exists(const std::wstring& path);

}  // namespace test_support
