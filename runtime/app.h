// The program as a whole: its title and folder, and the message loop that runs it.
#pragma once

#include <string>

namespace runtime {

class Form;

class App {
public:
    // The title of message boxes that give none of their own.
    static const wchar_t* Title();

    // The program's folder, without a trailing separator except at a drive root.
    static std::wstring Path();

    // Loads the start-up form (raising its Load), shows it, and runs the message loop
    // until no form is loaded. Returns the process exit code.
    static int Run(Form& startupForm);
};

}  // namespace runtime
