// Records each message box the runtime would show and answers it with IDOK, showing none.
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
    MessageBoxRecorder();

    const std::vector<RecordedBox>& Boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }

private:
    static int WINAPI Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

    std::vector<RecordedBox> boxes_;
};

}  // namespace test_support
