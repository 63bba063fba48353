// The icon's calls to the shell: the start-up's three calls byte for byte, the tooltip
// field, and pictures that are not icons.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "main_window/form1.h"
#include "tests/support/pump.h"
#include "tests/support/seam_override.h"
#include "tests/tray/tray_support.h"

namespace {

using main_window::Form1;
using tray_test::NotifyCall;
using tray_test::NotifyRecorder;

constexpr char kStartupTip[] = "Right Click For Options";

std::string TipBytes(const NotifyCall& call) {
    return std::string(call.Record().szTip, sizeof(call.Record().szTip));
}

// What the tooltip field must hold: the text, one NUL, blanks to the end of 64.
std::string Field(const std::string& text) {
    std::string field = text;
    field.push_back('\0');
    field.resize(Module2::kTipLength, ' ');
    return field;
}

std::wstring WideField(const std::wstring& text) {
    std::wstring field = text;
    field.push_back(L'\0');
    field.resize(Module2::kTipLength, L' ');
    return field;
}

std::wstring TrayDataTip() { return std::wstring(Module2::TrayData.szTip, Module2::kTipLength); }

void UnloadForm1() {
    if (Form1.IsLoaded()) Unload(Form1);
    test_support::PumpUntil([] { return true; });  // drops the quit message of the last unload
}

HWND Form1Window() { return Form1.Window(); }

// The hook as the shell's first call finds it.
WNDPROC g_procAtAdd = nullptr;
class NoteProcAtAdd : public test_support::SeamOverride<NoteProcAtAdd, decltype(Module2::Seams::notifyIcon)> {
public:
    NoteProcAtAdd() : SeamOverride(Module2::seams.notifyIcon, &Note) {}

private:
    static BOOL WINAPI Note(DWORD operation, PNOTIFYICONDATAA data) {
        if (operation == NIM_ADD) g_procAtAdd = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(data->hWnd, GWLP_WNDPROC));
        return Active().Previous()(operation, data);
    }
};

// The record the shell reads must lie as the platform's own first notify-icon record: 88
// bytes with 4-byte handles in the 32-bit build, 8-byte aligned handles in a 64-bit one.
TEST(TrayRecordLayout, MatchesThePlatformsFirstRecord) {
    using Module2::ShellTrayRecord;
    struct Field {
        const char* name;
        size_t ours, platform, expected32, expected64;
    };
    const Field fields[] = {
        {"cbSize", offsetof(ShellTrayRecord, cbSize), offsetof(NOTIFYICONDATAA, cbSize), 0, 0},
        {"hWnd", offsetof(ShellTrayRecord, hWnd), offsetof(NOTIFYICONDATAA, hWnd), 4, 8},
        {"uID", offsetof(ShellTrayRecord, uID), offsetof(NOTIFYICONDATAA, uID), 8, 16},
        {"uFlags", offsetof(ShellTrayRecord, uFlags), offsetof(NOTIFYICONDATAA, uFlags), 12, 20},
        {"uCallbackMessage", offsetof(ShellTrayRecord, uCallbackMessage), offsetof(NOTIFYICONDATAA, uCallbackMessage),
         16, 24},
        {"hIcon", offsetof(ShellTrayRecord, hIcon), offsetof(NOTIFYICONDATAA, hIcon), 20, 32},
        {"szTip", offsetof(ShellTrayRecord, szTip), offsetof(NOTIFYICONDATAA, szTip), 24, 40},
        {"end", sizeof(ShellTrayRecord), NOTIFYICONDATAA_V1_SIZE, 88, 104},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(f.ours, f.platform);
        EXPECT_EQ(f.ours, sizeof(void*) == 8 ? f.expected64 : f.expected32);
    }
    EXPECT_EQ(sizeof(ShellTrayRecord), tray_test::kRecordSize);
}

TEST(TrayStartup, ShellGetsThreeCallsInOrderWithExactRecords) {
    UnloadForm1();
    NotifyRecorder recorder;
    {
        NoteProcAtAdd note;
        Form1.Show();  // as the program starts: load, then show
    }

    HWND window = Form1Window();
    ASSERT_NE(window, nullptr);
    HICON icon = runtime::FromLong<HICON>(Form1.Icon().Handle());
    ASSERT_NE(icon, nullptr);

    const auto& calls = recorder.Calls();
    ASSERT_EQ(calls.size(), 3u);
    const DWORD operations[] = {NIM_ADD, NIM_MODIFY, NIM_MODIFY};
    const UINT flags[] = {NIF_MESSAGE | NIF_ICON, NIF_ICON, NIF_TIP};
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        const Module2::ShellTrayRecord record = calls[i].Record();
        EXPECT_EQ(calls[i].operation, operations[i]);
        EXPECT_EQ(calls[i].cbSize, tray_test::kRecordSize);
        EXPECT_EQ(std::memcmp(calls[i].bytes.data(), tray_test::kRecordSizeBytes, 4), 0);  // little-endian, first
        EXPECT_EQ(record.hWnd, window);
        EXPECT_EQ(record.uID, 0u);
        EXPECT_EQ(record.uFlags, flags[i]);
        EXPECT_EQ(record.uCallbackMessage, 2025u);
        EXPECT_EQ(record.hIcon, icon);
        EXPECT_TRUE(calls[i].result) << "the real shell call was made and the notification area took it";
    }
    EXPECT_EQ(TipBytes(calls[2]), Field(kStartupTip));
    EXPECT_EQ(TipBytes(calls[2]).substr(23, 2), std::string("\0 ", 2));
    // The hook was in place before the icon existed.
    EXPECT_EQ(g_procAtAdd, &Module2::TrayWndProc);
    // The tip came back into the record as wide characters.
    EXPECT_EQ(TrayDataTip(), WideField(L"Right Click For Options"));
}

class TrayRecordCalls : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Form1.IsLoaded()) Form1.Show();
        window_ = Form1Window();
        Restore();
    }
    void TearDown() override { Restore(); }
    // The start-up's tip and icon, for this test and those that follow.
    static void Restore() {
        Module2::SetTrayTip(L"Right Click For Options");
        Module2::SetTrayIcon(Form1.Icon());
    }

    HWND window_ = nullptr;
};

struct TipCase {
    const char* name;
    std::wstring tip;
    std::string shellField;  // the 64 bytes the shell must see
    std::wstring kept;       // the 64 characters TrayData holds afterwards
};

TEST_F(TrayRecordCalls, TipFieldKeepsItsTerminatorForEveryLength) {
    const std::string a63(63, 'a');
    const std::wstring w63(63, L'a');
    std::wstring w64 = w63 + L"Z";
    std::wstring w200 = w63 + std::wstring(137, L'Z');
    const TipCase cases[] = {
        {"empty", L"", Field(""), WideField(L"")},
        {"one", L"x", Field("x"), WideField(L"x")},
        {"startup", L"Right Click For Options", Field(kStartupTip), WideField(L"Right Click For Options")},
        {"blanks kept", L"  Tip  ", Field("  Tip  "), WideField(L"  Tip  ")},
        {"63 fills the field, no blank", w63, a63 + std::string(1, '\0'), w63 + std::wstring(1, L'\0')},
        {"64 cut to 63", w64, a63 + std::string(1, '\0'), w63 + std::wstring(1, L'\0')},
        {"200 cut to 63", w200, a63 + std::string(1, '\0'), w63 + std::wstring(1, L'\0')},
    };
    HICON iconBefore = Module2::TrayData.hIcon;
    for (const TipCase& c : cases) {
        SCOPED_TRACE(c.name);
        NotifyRecorder recorder;
        Module2::SetTrayTip(c.tip);
        ASSERT_EQ(recorder.Calls().size(), 1u);
        const NotifyCall& call = recorder.Calls()[0];
        EXPECT_EQ(call.operation, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(call.cbSize, tray_test::kRecordSize);
        EXPECT_EQ(call.Record().uFlags, static_cast<UINT>(NIF_TIP));
        EXPECT_EQ(call.Record().hWnd, window_);
        EXPECT_EQ(call.Record().uID, 0u);
        EXPECT_EQ(call.Record().hIcon, iconBefore) << "the icon goes along unflagged";
        EXPECT_EQ(TipBytes(call), c.shellField);
        EXPECT_EQ(TrayDataTip(), c.kept);
        EXPECT_TRUE(call.result);
    }
}

TEST_F(TrayRecordCalls, TipIsConvertedToTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs the Western code page, this prefix has " << GetACP();
    NotifyRecorder recorder;
    Module2::SetTrayTip(L"Gr\u00f6\u00dfe \u20ac");
    ASSERT_EQ(recorder.Calls().size(), 1u);
    EXPECT_EQ(TipBytes(recorder.Calls()[0]), Field("Gr\xf6\xdf" "e \x80"));
    EXPECT_EQ(TrayDataTip(), WideField(L"Gr\u00f6\u00dfe \u20ac"));
}

TEST_F(TrayRecordCalls, OnlyAnIconPictureReachesTheShell) {
    const runtime::Picture notIcons[] = {
        runtime::Picture(),
        runtime::Picture(runtime::Picture::kBitmap, reinterpret_cast<void*>(0x1234)),
        runtime::Picture(2, reinterpret_cast<void*>(0x5678)),  // a metafile
    };
    for (const runtime::Picture& picture : notIcons) {
        SCOPED_TRACE(picture.Type());
        Module2::TrayRecord before = Module2::TrayData;
        NotifyRecorder recorder;
        Module2::SetTrayIcon(picture);
        EXPECT_TRUE(recorder.Calls().empty());
        EXPECT_EQ(std::memcmp(&before, &Module2::TrayData, sizeof(before)), 0) << "TrayData, uFlags included, unchanged";
    }

    HICON other = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // the system's application icon
    ASSERT_NE(other, nullptr);
    std::wstring tipBefore = TrayDataTip();
    NotifyRecorder recorder;
    Module2::SetTrayIcon(runtime::Picture(runtime::Picture::kIcon, other));
    ASSERT_EQ(recorder.Calls().size(), 1u);
    const Module2::ShellTrayRecord record = recorder.Calls()[0].Record();
    EXPECT_EQ(recorder.Calls()[0].operation, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_ICON));
    EXPECT_EQ(record.hIcon, other);
    EXPECT_EQ(record.hWnd, window_);
    EXPECT_EQ(TipBytes(recorder.Calls()[0]), Field(kStartupTip)) << "the tip goes along unflagged";
    EXPECT_EQ(TrayDataTip(), tipBefore);
}

}  // namespace
