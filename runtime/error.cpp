#include "runtime/error.h"

#include <windows.h>

#include <new>

#include "runtime/app.h"
#include "runtime/seams.h"

namespace runtime {

namespace {

struct KnownError {
    int number;
    const wchar_t* description;
};

constexpr KnownError kKnownErrors[] = {
    {kInvalidCall, L"Invalid procedure call or argument"},
    {kOverflow, L"Overflow"},
    {kOutOfMemory, L"Out of memory"},
    {kDivisionByZero, L"Division by zero"},
    {kInternalError, L"Internal error"},
    {kBadFileName, L"Bad file name or number"},
    {kFileNotFound, L"File not found"},
    {kPermissionDenied, L"Permission denied"},
    {kPathFileAccessError, L"Path/File access error"},
    {kPathNotFound, L"Path not found"},
    {kObjectNotSet, L"Object variable or With block variable not set"},
};

std::string Narrow(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

}  // namespace

RuntimeError::RuntimeError(int number, std::wstring description)
    : std::runtime_error(Narrow(description)), number_(number), description_(std::move(description)) {}

const wchar_t* DescribeError(int number) {
    for (const KnownError& known : kKnownErrors) {
        if (known.number == number) return known.description;
    }
    return L"Application-defined or object-defined error";
}

void Raise(int number) { throw RuntimeError(number, DescribeError(number)); }

void RaiseFromWin32(unsigned long win32Error, int fallbackNumber) {
    switch (win32Error) {
        case ERROR_FILE_NOT_FOUND: Raise(kFileNotFound);
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH: Raise(kPathNotFound);
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_WRITE_PROTECT: Raise(kPermissionDenied);
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: Raise(kBadFileName);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: Raise(kOutOfMemory);
        default: Raise(fallbackNumber);
    }
}

void ReportUncaught() noexcept {
    int number = kInternalError;
    std::wstring description = DescribeError(number);
    try {
        throw;
    } catch (const RuntimeError& error) {
        number = error.Number();
        description = error.Description();
    } catch (const std::bad_alloc&) {
        number = kOutOfMemory;
        description = DescribeError(number);
    } catch (...) {
    }
    std::wstring text = L"Run-time error '" + std::to_wstring(number) + L"':\n\n" + description;
    seams.messageBox(nullptr, text.c_str(), App::Title(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(number));
}

}  // namespace runtime
