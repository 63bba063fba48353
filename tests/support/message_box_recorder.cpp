#include "tests/support/message_box_recorder.h"

#include <cstdio>

namespace test_support {

MessageBoxRecorder::MessageBoxRecorder(Answer answer)
    : SeamOverride(runtime::seams.messageBox, &Record), answer_(answer) {}

int WINAPI MessageBoxRecorder::Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    Active().boxes_.push_back({owner, text ? text : L"", caption ? caption : L"", type});
    // Shown in the test's output, so that a box a test did not expect, such as the
    // runtime's report of an uncaught error just before it ends the program, is seen.
    std::fwprintf(stderr, L"[message box] %ls: %ls\n", caption ? caption : L"", text ? text : L"");
    if (Active().answer_ == Answer::CannotShow) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return IDOK;
}

}  // namespace test_support
