// Records each message box the runtime would show and answers it with IDOK, or fails it as
// a box that cannot be shown; shows none.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace startup_tests {

struct RecordedBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// While alive, every message box through the runtime's seam is recorded instead of shown.
class MessageBoxRecorder {
public:
    enum class Answer { Ok, CannotShow };

    explicit MessageBoxRecorder(Answer answer = Answer::Ok);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<RecordedBox>& Boxes() const;
    void Clear();
};

}  // namespace startup_tests
