// The help window: the help text and a button that opens the maker's home page.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "runtime/controls.h"
#include "runtime/form.h"
#include "skin/skin.h"

namespace help_window {

// The seam in front of the shell's opening of the home page; a test may put an observer
// in front that records the call and then makes the real one.
struct Seams {
    decltype(&::ShellExecuteA) shellExecute = &::ShellExecuteA;
};

extern Seams seams;

class Form2Class final : public runtime::Form {
public:
    Form2Class();

    runtime::CommandButton& Command1;    // "Click Here To View More Of Our Software"
    runtime::CustomControl& SkinLabel1;  // the help text
    skin::Skin Skin1;

    void Form_Load() override;

    void Command1_Click();
};

// The one help window of the program.
extern Form2Class Form2;

}  // namespace help_window
