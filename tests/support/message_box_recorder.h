// Records each message box the runtime would show and answers it with IDOK, or fails it as
// a box that cannot be shown; shows none.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "runtime/seams.h"
#include "tests/support/seam_override.h"

namespace test_support {

struct RecordedBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// While alive, every message box through the runtime's seam is recorded instead of shown.
class MessageBoxRecorder : public SeamOverride<MessageBoxRecorder, decltype(runtime::Seams::messageBox)> {
public:
    enum class Answer { Ok, CannotShow };

    explicit MessageBoxRecorder(Answer answer = Answer::Ok);

    const std::vector<RecordedBox>& Boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }

private:
    static int WINAPI Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

    std::vector<RecordedBox> boxes_;
    Answer answer_;
};

}  // namespace test_support
