// The runtime's error: raised by a failing runtime call, caught by a procedure's own
// handler, or else reported once at the window-procedure or callback boundary.
#pragma once

#include <stdexcept>
#include <string>

namespace runtime {

enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kDivisionByZero = 11,
    kInternalError = 51,
    kBadFileName = 52,
    kFileNotFound = 53,
    kPermissionDenied = 70,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
    kObjectNotSet = 91,
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::wstring description);
    int Number() const { return number_; }
    const std::wstring& Description() const { return description_; }

private:
    int number_;
    std::wstring description_;
};

const wchar_t* DescribeError(int number);

[[noreturn]] void Raise(int number);

// Maps a Win32 error code from a failed file or process call to the runtime's error.
[[noreturn]] void RaiseFromWin32(unsigned long win32Error, int fallbackNumber);

// The uncaught-error rule, for use inside a catch block at a boundary: shows the
// runtime's own message, titled with the program's title, and ends the program.
[[noreturn]] void ReportUncaught() noexcept;

// Runs body at a boundary that Windows called (window procedure, callback): no exception
// gets past it; one that would is handled by the uncaught-error rule.
template <typename Result, typename Body>
Result Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        ReportUncaught();
    }
}

}  // namespace runtime
