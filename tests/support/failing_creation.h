// Makes the creation of this thread's windows of one class fail at a chosen step, the way
// the system or a procedure in front of the class's own would.
#pragma once

#include <windows.h>

namespace test_support {

enum class CreationStep {
    None,       // creation goes through
    Hook,       // the CBT hook refuses it: the class's procedure sees no message at all
    NcCreate,   // WM_NCCREATE fails in front of the class's procedure, which never sees it
    Create,     // WM_CREATE fails after the class's procedure has had WM_NCCREATE
};

// While it lives, windows of className (kept, not copied) created on this thread fail at step.
class FailingCreation {
public:
    FailingCreation(const wchar_t* className, CreationStep step);
    ~FailingCreation();
    FailingCreation(const FailingCreation&) = delete;
    FailingCreation& operator=(const FailingCreation&) = delete;

private:
    HHOOK hook_ = nullptr;
};

}  // namespace test_support
