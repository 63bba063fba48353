#include "runtime/msgbox.h"

#include <windows.h>

#include <string>

#include "runtime/app.h"
#include "runtime/error.h"
#include "runtime/seams.h"

namespace runtime {

int MsgBox(std::wstring_view text, int buttons) {
    UINT type = static_cast<UINT>(buttons);
    // Application-modal: with no owner, MB_TASKMODAL disables every window of this thread,
    // so no other button of the program can be pressed while the box is up.
    if ((type & MB_MODEMASK) == kApplicationModal) type |= MB_TASKMODAL;
    std::wstring message(text);
    int result = seams.messageBox(nullptr, message.c_str(), App::Title(), type);
    if (result == 0) RaiseFromWin32(GetLastError(), kOutOfMemory);
    return result;
}

}  // namespace runtime
