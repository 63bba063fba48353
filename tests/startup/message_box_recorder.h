// Records each message box the runtime would show and answers it with IDOK, showing none.
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
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<RecordedBox>& Boxes() const;
    void Clear();
};

}  // namespace startup_tests
