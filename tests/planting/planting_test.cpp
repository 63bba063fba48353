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
#include "tests/support/paths.h"
#include "tests/support/pe_imports.h"

namespace {

using test_support::ExeFolder;
using test_support::Exists;

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

struct VisibleWindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<VisibleWindowSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// A visible top-level window of the process, or null.
HWND VisibleWindowOf(DWORD process) {
    VisibleWindowSearch search{process, nullptr};
    EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A started process, ended when the test is done with it.
class Child {
public:
    // Starts program in folder, which is also its current folder.
    Child(const std::wstring& folder, const std::wstring& program, const std::wstring& arguments) {
        std::wstring path = folder + L"\\" + program;
        std::wstring commandLine = L"\"" + path + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &process_) != FALSE;
    }
    ~Child() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // Its exit code once it has ended within timeoutMs; STILL_ACTIVE otherwise.
    DWORD ExitCode(DWORD timeoutMs) const {
        WaitForSingleObject(process_.hProcess, timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

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
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"hushline-planting-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        dll_ = folder_ + L"\\" + GetParam().dll;
        mark_ = dll_ + L".loaded";
        ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\" + Widen(PLANTED_DLL)).c_str(), dll_.c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(appearance::FromBuildTree(HUSHLINE_EXE).c_str(), (folder_ + L"\\Hushline.exe").c_str(),
                              FALSE));
        ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\" + Widen(PLANTED_PROBE)).c_str(),
                              (folder_ + L"\\probe.exe").c_str(), FALSE));
    }
    void TearDown() override {
        for (const wchar_t* name : {L"Hushline.exe", L"probe.exe"}) DeleteFileW((folder_ + L"\\" + name).c_str());
        DeleteFileW(dll_.c_str());
        DeleteFileW(mark_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring folder_;
    std::wstring dll_;
    std::wstring mark_;  // left by the planted DLL when it is loaded
};

// Without this, the next test would pass with a DLL that leaves no mark, or with an
// override that never reaches the program.
TEST_P(PlantedDllTest, APlainProgramBesideItLoadsItAndItLeavesItsMark) {
    Child probe(folder_, L"probe.exe", GetParam().dll);
    ASSERT_TRUE(probe.Started());
    EXPECT_EQ(probe.ExitCode(30000), 0u) << "the probe could not load it";
    EXPECT_TRUE(Exists(mark_)) << "the planted DLL left no mark, or Wine took its own: the test runs with "
                                  "WINEDLLOVERRIDES naming the DLL native first";
}

TEST_P(PlantedDllTest, IsNotLoadedAndTheProgramStillStarts) {
    Child program(folder_, L"Hushline.exe", L"");
    ASSERT_TRUE(program.Started());
    HWND window = nullptr;
    for (DWORD start = GetTickCount(); !window && program.Running() && GetTickCount() - start < 30000; Sleep(50)) {
        window = VisibleWindowOf(program.Id());
    }
    EXPECT_NE(window, nullptr) << "no window came up";
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(Exists(mark_)) << "the planted " << GetParam().name << " was loaded (" << GetParam().route << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Dlls, PlantedDllTest,
    ::testing::Values(PlantCase{"msimg32", L"msimg32.dll", "an import of the program"},
                      PlantCase{"uxtheme", L"uxtheme.dll", "loaded by name by the system's window code after start"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
