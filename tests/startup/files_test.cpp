// The runtime's file services and message box, against real files in a scratch folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "runtime/error.h"
#include "runtime/files.h"
#include "runtime/msgbox.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/paths.h"
#include "tests/support/scratch_files.h"

namespace {

using test_support::Exists;
using test_support::kArc;
using test_support::kHid;
using test_support::kRO;
using test_support::kSys;
using test_support::PutFile;
using test_support::PutFolder;
using test_support::ReadBytes;
using test_support::ScratchFolder;


int ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const runtime::RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

struct DirCase {
    const char* what;
    bool folder;
    DWORD attributes;
    int mask;
    bool matches;
};

constexpr DirCase kDirCases[] = {
    {"plain file, empty mask", false, 0, 0, true},
    {"read-only file, empty mask", false, kRO, 0, true},
    {"archive file, empty mask", false, kArc, 0, true},
    {"hidden file, empty mask", false, kHid, 0, false},
    {"hidden file, hidden in mask", false, kHid, runtime::kHidden, true},
    {"system file, empty mask", false, kSys, 0, false},
    {"system file, system in mask", false, kSys, runtime::kSystem, true},
    {"hidden system file, only hidden in mask", false, kHid | kSys, runtime::kHidden, false},
    {"hidden system file, both in mask", false, kHid | kSys, runtime::kHidden | runtime::kSystem, true},
    {"folder, empty mask", true, 0, 0, false},
    {"folder, every file bit in mask", true, 0, 39, false},
    {"folder, directory in mask", true, 0, runtime::kDirectory, true},
    {"hidden folder, directory in mask", true, kHid, runtime::kDirectory, false},
    {"hidden folder, directory and hidden in mask", true, kHid, runtime::kDirectory | runtime::kHidden, true},
};

TEST(Dir, AttributeMaskDecidesWhichEntriesMatch) {
    ScratchFolder scratch(L"hushline-dir");
    const std::wstring entry = scratch / L"Entry.lnk";
    for (const DirCase& c : kDirCases) {
        SCOPED_TRACE(c.what);
        if (c.folder) {
            PutFolder(entry, c.attributes);
        } else {
            PutFile(entry, "x", c.attributes);
        }
        ASSERT_EQ(GetFileAttributesW(entry.c_str()) & (kRO | kHid | kSys), c.attributes & (kRO | kHid | kSys))
            << "the file system must keep the attributes for the case to mean anything";
        EXPECT_EQ(runtime::Dir(entry, c.mask), c.matches ? L"Entry.lnk" : L"");
        test_support::RemoveEntry(entry);
    }
}

TEST(Dir, SkipsEntriesOutsideTheMaskAndGivesTheNextMatch) {
    ScratchFolder scratch(L"hushline-dir");
    PutFile(scratch / L"a.lnk", "x", kHid);
    PutFolder(scratch / L"b.lnk");
    PutFile(scratch / L"c.lnk", "x", kRO);
    EXPECT_EQ(runtime::Dir(scratch / L"*.lnk", 0), L"c.lnk");
}

TEST(Dir, NothingThereGivesEmptyText) {
    ScratchFolder scratch(L"hushline-dir");
    EXPECT_EQ(runtime::Dir(scratch / L"Missing.lnk", 39), L"");
    EXPECT_EQ(runtime::Dir(scratch / L"no such folder\\Missing.lnk", 39), L"");
    EXPECT_EQ(runtime::Dir(L"", 39), L"");
}

TEST(FileCopy, CopiesTheBytesAndReplacesAFileAlreadyThere) {
    ScratchFolder scratch(L"hushline-copy");
    PutFile(scratch / L"source", std::string("shortcut\0bytes", 14));
    runtime::FileCopy(scratch / L"source", scratch / L"target");
    EXPECT_EQ(ReadBytes(scratch / L"target"), std::string("shortcut\0bytes", 14));

    PutFile(scratch / L"source", "second");
    runtime::FileCopy(scratch / L"source", scratch / L"target");
    EXPECT_EQ(ReadBytes(scratch / L"target"), "second");
}

TEST(FileCopy, FailuresRaiseTheRuntimeErrorAndLeaveNoTarget) {
    ScratchFolder scratch(L"hushline-copy");
    EXPECT_EQ(ErrorNumberOf([&] { runtime::FileCopy(scratch / L"missing", scratch / L"target"); }),
              runtime::kFileNotFound);
    EXPECT_FALSE(Exists(scratch / L"target"));

    PutFile(scratch / L"source", "x");
    EXPECT_EQ(ErrorNumberOf([&] { runtime::FileCopy(scratch / L"source", scratch / L"no folder\\target"); }),
              runtime::kPathNotFound);
    EXPECT_NE(ErrorNumberOf([&] { runtime::FileCopy(scratch / L"source", L""); }), 0);
}

TEST(Kill, DeletesTheFile) {
    ScratchFolder scratch(L"hushline-kill");
    PutFile(scratch / L"victim", "x", kHid | kSys);
    runtime::Kill(scratch / L"victim");
    EXPECT_FALSE(Exists(scratch / L"victim"));
}

TEST(Kill, MissingOrRefusedRaisesAndKeepsWhatIsThere) {
    ScratchFolder scratch(L"hushline-kill");
    EXPECT_EQ(ErrorNumberOf([&] { runtime::Kill(scratch / L"missing"); }), runtime::kFileNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { runtime::Kill(L""); }), runtime::kBadFileName);

    PutFile(scratch / L"read-only", "x", kRO);
    EXPECT_NE(ErrorNumberOf([&] { runtime::Kill(scratch / L"read-only"); }), 0);
    EXPECT_TRUE(Exists(scratch / L"read-only"));

    PutFolder(scratch / L"folder");
    EXPECT_NE(ErrorNumberOf([&] { runtime::Kill(scratch / L"folder"); }), 0);
    EXPECT_TRUE(Exists(scratch / L"folder"));
}

TEST(MsgBox, GoesThroughTheSeamWithTheProgramTitleModalToTheProgram) {
    test_support::MessageBoxRecorder recorder;
    EXPECT_EQ(runtime::MsgBox(L"Some text", runtime::kOkOnly), IDOK);
    ASSERT_EQ(recorder.Boxes().size(), 1u);
    const test_support::RecordedBox& box = recorder.Boxes()[0];
    EXPECT_EQ(box.text, L"Some text");
    EXPECT_EQ(box.caption, L"Hushline");
    EXPECT_EQ(box.type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    EXPECT_EQ(box.type & MB_ICONMASK, 0u);
    EXPECT_EQ(box.type & MB_MODEMASK, static_cast<UINT>(MB_TASKMODAL))
        << "with no owner, only task-modal keeps the program's windows from being used meanwhile";
}

}  // namespace
