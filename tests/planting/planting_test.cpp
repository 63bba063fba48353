// DLL planting: the program imports only DLLs that the system always takes from its own
// folder, and a DLL of a system name placed beside a copy of the program is not loaded,
// neither for an import nor for a load by name after start. The test runs with Wine told
// to prefer such DLLs to its own (WINEDLLOVERRIDES, inherited by the programs it starts),
// which is the search order of Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/appearance/build_tree.h"
#include "tests/support/child_process.h"
#include "tests/support/paths.h"
#include "tests/support/pe_imports.h"
#include "tests/support/scratch_files.h"
#include "tests/support/window_query.h"

namespace {

using test_support::ChildProcess;
using test_support::ExeFolder;
using test_support::Exists;
using test_support::ScratchFolder;

// Known DLLs of the system (Windows 7 and later list these): whatever lies beside a program,
// they come from the system folder.
const std::vector<std::string> kKnownDlls = {"advapi32.dll", "comdlg32.dll", "gdi32.dll",   "kernel32.dll",
                                             "msvcrt.dll",   "ole32.dll",    "oleaut32.dll", "rpcrt4.dll",
                                             "shell32.dll",  "shlwapi.dll",  "user32.dll"};

TEST(ProgramImports, NameOnlyKnownDlls) {
    auto dlls = test_support::ImportedDlls(appearance::FromBuildTree(HUSHLINE_EXE));
    ASSERT_TRUE(dlls.has_value()) << "Hushline.exe cannot be read";
    ASSERT_FALSE(dlls->empty());
    for (const std::string& dll : *dlls) {
        EXPECT_TRUE(std::find(kKnownDlls.begin(), kKnownDlls.end(), dll) != kKnownDlls.end())
            << dll << " is no known DLL: one of that name beside the program would be loaded";
    }
}

std::wstring Widen(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

struct PlantCase {
    const char* name;
    const wchar_t* dll;  // the system DLL's name the planted one takes
    const char* route;   // how the program would come to load it
};

void PrintTo(const PlantCase& c, std::ostream* out) { *out << c.name; }

// A scratch folder holding a copy of the program and a planted DLL of the case's name.
class PlantedDllTest : public ::testing::TestWithParam<PlantCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\" + Widen(PLANTED_DLL)).c_str(), dll_.c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(appearance::FromBuildTree(HUSHLINE_EXE).c_str(), (folder_ / L"Hushline.exe").c_str(),
                              FALSE));
        ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\" + Widen(PLANTED_PROBE)).c_str(), (folder_ / L"probe.exe").c_str(),
                              FALSE));
    }

    ScratchFolder folder_{L"hushline-planting"};
    std::wstring dll_ = folder_ / GetParam().dll;
    std::wstring mark_ = dll_ + L".loaded";  // left by the planted DLL when it is loaded
};

// Without this, the next test would pass with a DLL that leaves no mark, or with an
// override that never reaches the program.
TEST_P(PlantedDllTest, APlainProgramBesideItLoadsItAndItLeavesItsMark) {
    ChildProcess probe(folder_ / L"probe.exe", GetParam().dll, folder_.Path());
    ASSERT_TRUE(probe.Started());
    DWORD exitCode = 0;
    probe.Await(30000, exitCode);
    EXPECT_EQ(exitCode, 0u) << "the probe could not load it";
    EXPECT_TRUE(Exists(mark_)) << "the planted DLL left no mark, or Wine took its own: the test runs with "
                                  "WINEDLLOVERRIDES naming the DLL native first";
}

TEST_P(PlantedDllTest, IsNotLoadedAndTheProgramStillStarts) {
    ChildProcess program(folder_ / L"Hushline.exe", L"", folder_.Path());
    ASSERT_TRUE(program.Started());
    bool windowCameUp = false;
    for (DWORD start = GetTickCount(); !windowCameUp && !program.HasEnded() && GetTickCount() - start < 30000;
         Sleep(50)) {
        windowCameUp = !test_support::VisibleWindowsOf(program.Id()).empty();
    }
    EXPECT_TRUE(windowCameUp) << "no window came up";
    EXPECT_FALSE(program.HasEnded());
    EXPECT_FALSE(Exists(mark_)) << "the planted " << GetParam().name << " was loaded (" << GetParam().route << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Dlls, PlantedDllTest,
    ::testing::Values(PlantCase{"msimg32", L"msimg32.dll", "an import of the program"},
                      PlantCase{"uxtheme", L"uxtheme.dll", "loaded by name by the system's window code after start"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
