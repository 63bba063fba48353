// The main window: blocking control, the start-up shortcut, and the program's start-up.
#pragma once

#include <cstdint>

#include "runtime/controls.h"
#include "runtime/form.h"
#include "skin/skin.h"

namespace main_window {

class Form1Class final : public runtime::Form {
public:
    Form1Class();

    runtime::CommandButton& Command1;  // "Auto Start"
    runtime::CommandButton& Command2;  // "No Auto Start"
    runtime::CommandButton& Command3;  // "Stop"
    runtime::CommandButton& Command4;  // "Go"
    runtime::CommandButton& Command5;  // "Hide"
    runtime::CommandButton& Command6;  // "Exit"
    runtime::CommandButton& Command8;  // "Help"
    runtime::Label& Label2;            // start-up status
    runtime::Label& Label3;            // blocking status
    runtime::Menu& MnuTray;
    runtime::MenuItem& exit;
    runtime::MenuItem& sep;
    runtime::MenuItem& stop2;
    runtime::MenuItem& start;
    skin::Skin Skin1;

    void Form_Load() override;
    void Form_MouseDown(int16_t button, int16_t shift, float x, float y) override;
    void Form_MouseMove(int16_t button, int16_t shift, float x, float y) override;

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command8_Click();
    void exit_Click();
    void start_Click();
    void stop2_Click();

private:
    void BlockingOn();
    void BlockingOff();
    void BlockingOnAtStartup();
    void StartupTest();
};

// The one main window of the program.
extern Form1Class Form1;

}  // namespace main_window
