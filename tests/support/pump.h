// Waiting in tests: pumping for those that drive real windows on the test's own thread, and
// polling for threads that must not pump.
#pragma once

#include <windows.h>

#include <functional>

namespace test_support {

// Dispatches this thread's messages until done() holds or timeoutMs passes; says which.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Dispatches this thread's messages for ms milliseconds.
void PumpFor(DWORD ms);

// Polls, without pumping this thread, until done() holds or timeoutMs passes; says which.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Sends a click to a button the way the user's click ends: BN_CLICKED to its parent.
void Click(HWND button);

}  // namespace test_support
