// The kernel-handle owner: it closes what it owns exactly once, and takes neither of the
// kernel's two failure values for a handle.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "runtime/handles.h"

namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

TEST(KernelHandle, ClosesWhatItOwnsOnceWhereverOwnershipMoves) {
    HANDLE first = NewEvent();
    HANDLE second = NewEvent();
    ASSERT_TRUE(first && second);
    {
        runtime::KernelHandle owner(first);
        runtime::KernelHandle moved(std::move(owner));
        EXPECT_FALSE(owner) << "a moved-from owner must give up its handle";
        EXPECT_EQ(moved.Get(), first);

        runtime::KernelHandle other(second);
        other = std::move(moved);
        EXPECT_FALSE(IsOpen(second)) << "assigning over an owner closes what it held";
        EXPECT_TRUE(IsOpen(first));

        other.Reset();
        EXPECT_FALSE(IsOpen(first));
        EXPECT_FALSE(other);
    }
}

TEST(KernelHandle, ClosesOnLeavingItsScope) {
    HANDLE event = NewEvent();
    ASSERT_TRUE(event);
    { runtime::KernelHandle owner(event); }
    EXPECT_FALSE(IsOpen(event));
}

// Kernel calls fail with null (CreateEvent, CreateFileMapping) or with INVALID_HANDLE_VALUE
// (CreateFile, CreateToolhelp32Snapshot): both read as no handle.
TEST(KernelHandle, EitherFailureValueReadsAsNoHandle) {
    HANDLE missingFile = CreateFileW(L"C:\\no-such-folder-hushline\\none", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                     nullptr);
    ASSERT_EQ(missingFile, INVALID_HANDLE_VALUE);
    for (HANDLE failed : {HANDLE{nullptr}, missingFile}) {
        runtime::KernelHandle owner(failed);
        EXPECT_FALSE(owner) << failed;
    }
    runtime::KernelHandle event(NewEvent());
    EXPECT_TRUE(event);
}

}  // namespace
