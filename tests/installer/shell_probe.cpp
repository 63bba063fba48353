// Looks at what the installer left, through the shell and the windows of a running program,
// for the installer's end-to-end test. One command per run; prints UTF-8 lines on stdout.
//
//   shell_probe resolve LINK          target, working folder and icon of a shell link
//   shell_probe folder CSIDL          a special folder's path
//   shell_probe click TITLE CAPTION   presses an enabled button in a window of that title
//   shell_probe owner TITLE           the executable of the process that owns that window
//   shell_probe gone TITLE            waits until no window has that title
//   shell_probe version FILE          the product version in a file's version resource
//
// Windows are waited for up to 30 seconds. Exit code 0 on success, 1 on failure, 2 on misuse.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tests/support/window_query.h"

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr DWORD kPollMs = 100;

void Print(const std::wstring& line) {
    std::wstring text = line + L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

int Fail(const std::wstring& why) {
    std::wstring text = L"shell_probe: " + why + L"\n";
    fputws(text.c_str(), stderr);
    return 1;
}

// Releases a COM interface at the end of its scope.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T** Out() { return &p_; }
    T* operator->() const { return p_; }

private:
    T* p_ = nullptr;
};

int Resolve(const wchar_t* link) {
    if (FAILED(CoInitialize(nullptr))) return Fail(L"CoInitialize failed");
    int result = 1;
    {
        ComPtr<IShellLinkW> shellLink;
        ComPtr<IPersistFile> file;
        HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(shellLink.Out()));
        if (SUCCEEDED(hr)) hr = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()));
        if (SUCCEEDED(hr)) hr = file->Load(link, STGM_READ);
        // No UI and no search: a link whose target is gone must fail here, not be repaired.
        if (SUCCEEDED(hr)) hr = shellLink->Resolve(nullptr, SLR_NO_UI | SLR_NOSEARCH | SLR_NOTRACK | SLR_NOUPDATE);
        wchar_t path[MAX_PATH] = {};
        wchar_t folder[MAX_PATH] = {};
        wchar_t icon[MAX_PATH] = {};
        int iconIndex = -1;
        if (hr == S_OK) hr = shellLink->GetPath(path, MAX_PATH, nullptr, 0);
        if (hr == S_OK) hr = shellLink->GetWorkingDirectory(folder, MAX_PATH);
        if (SUCCEEDED(hr)) hr = shellLink->GetIconLocation(icon, MAX_PATH, &iconIndex);
        if (SUCCEEDED(hr)) {
            Print(std::wstring(L"target=") + path);
            Print(std::wstring(L"folder=") + folder);
            Print(std::wstring(L"icon=") + icon + L"," + std::to_wstring(iconIndex));
            result = 0;
        } else {
            wchar_t code[16];
            swprintf(code, 16, L"%08lX", static_cast<unsigned long>(hr));
            result = Fail(std::wstring(L"cannot resolve ") + link + L": " + code);
        }
    }
    CoUninitialize();
    return result;
}

int SpecialFolder(const wchar_t* csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, _wtoi(csidl), nullptr, SHGFP_TYPE_CURRENT, path)))
        return Fail(std::wstring(L"no special folder ") + csidl);
    Print(path);
    return 0;
}

struct Found {
    HWND window = nullptr;
    HWND button = nullptr;
};

// The first window of that title and, with a caption, that has an enabled button of that
// caption at any depth, inside panels too.
Found Find(const wchar_t* title, const wchar_t* caption) {
    using test_support::WindowText;
    for (HWND window : test_support::TopLevelWindows()) {
        if (WindowText(window) != title) continue;
        if (!caption) return {window, nullptr};
        for (HWND child : test_support::Descendants(window)) {
            if (WindowText(child) == caption && test_support::IsClass(child, L"Button") && IsWindowEnabled(child)) {
                return {window, child};
            }
        }
    }
    return {};
}

template <typename Done>
bool WaitFor(Done done) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(kPollMs)) {
        if (done()) return true;
    }
    return done();
}

int Click(const wchar_t* title, const wchar_t* caption) {
    Found found{};
    if (!WaitFor([&] { return (found = Find(title, caption)).button != nullptr; }))
        return Fail(std::wstring(L"no enabled \"") + caption + L"\" in a window \"" + title + L"\"");
    // Sent, not posted: the click has been handled when this returns.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(found.button, BM_CLICK, 0, 0, SMTO_NORMAL, kWaitMs, &ignored))
        return Fail(std::wstring(L"\"") + caption + L"\" did not answer");
    return 0;
}

int Owner(const wchar_t* title) {
    Found found{};
    if (!WaitFor([&] { return (found = Find(title, nullptr)).window != nullptr; }))
        return Fail(std::wstring(L"no window \"") + title + L"\"");
    DWORD processId = test_support::ProcessOf(found.window);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return Fail(L"cannot open the window's process");
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameExW(process, nullptr, path, MAX_PATH);
    CloseHandle(process);
    if (length == 0) return Fail(L"no executable for the window's process");
    Print(path);
    return 0;
}

int Gone(const wchar_t* title) {
    if (!WaitFor([&] { return Find(title, nullptr).window == nullptr; }))
        return Fail(std::wstring(L"window \"") + title + L"\" is still there");
    return 0;
}

int Version(const wchar_t* file) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0) return Fail(std::wstring(L"no version resource in ") + file);
    std::string data(size, '\0');
    if (!GetFileVersionInfoW(file, 0, size, data.data())) return Fail(std::wstring(L"cannot read ") + file);
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(Translation))
        return Fail(std::wstring(L"no translation in ") + file);
    wchar_t key[64];
    swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\ProductVersion", translation->language, translation->codePage);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&value), &length) || length == 0)
        return Fail(std::wstring(L"no product version in ") + file);
    Print(value);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"resolve" && argc == 3) return Resolve(argv[2]);
    if (command == L"folder" && argc == 3) return SpecialFolder(argv[2]);
    if (command == L"click" && argc == 4) return Click(argv[2], argv[3]);
    if (command == L"owner" && argc == 3) return Owner(argv[2]);
    if (command == L"gone" && argc == 3) return Gone(argv[2]);
    if (command == L"version" && argc == 3) return Version(argv[2]);
    fputws(L"usage: shell_probe resolve LINK | folder CSIDL | click TITLE CAPTION | owner TITLE | gone TITLE | version FILE\n", stderr);
    return 2;
}
