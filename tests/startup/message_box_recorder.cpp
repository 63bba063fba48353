#include "tests/startup/message_box_recorder.h"

#include <cstdio>

#include "runtime/seams.h"

namespace startup_tests {

namespace {

std::vector<RecordedBox> g_boxes;
decltype(runtime::Seams::messageBox) g_real = nullptr;
MessageBoxRecorder::Answer g_answer = MessageBoxRecorder::Answer::Ok;

int WINAPI RecordingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    g_boxes.push_back({owner, text ? text : L"", caption ? caption : L"", type});
    // Shown in the test's output, so that a box a test did not expect, such as the
    // runtime's report of an uncaught error just before it ends the program, is seen.
    std::fwprintf(stderr, L"[message box] %ls: %ls\n", caption ? caption : L"", text ? text : L"");
    if (g_answer == MessageBoxRecorder::Answer::CannotShow) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return IDOK;
}

}  // namespace

MessageBoxRecorder::MessageBoxRecorder(Answer answer) {
    g_boxes.clear();
    g_answer = answer;
    g_real = runtime::seams.messageBox;
    runtime::seams.messageBox = &RecordingMessageBox;
}

MessageBoxRecorder::~MessageBoxRecorder() { runtime::seams.messageBox = g_real; }

const std::vector<RecordedBox>& MessageBoxRecorder::Boxes() const { return g_boxes; }

void MessageBoxRecorder::Clear() { g_boxes.clear(); }

}  // namespace startup_tests
