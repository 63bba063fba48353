// The runtime's message box.
#pragma once

#include <string_view>

namespace runtime {

// Buttons and modality of MsgBox; the values are those of the system's message box flags.
enum MsgBoxStyle : int {
    kOkOnly = 0,
    kApplicationModal = 0,
};

// Shows text in a box titled with the program's title, modal to the whole program, and
// returns the button that closed it (IDOK, IDCANCEL, ...).
int MsgBox(std::wstring_view text, int buttons = kOkOnly);

}  // namespace runtime
