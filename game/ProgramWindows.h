// The program's three windows: the main window and the two it opens, made and wired together
// as the program runs them. Members go in reverse order, so the result-entry window is
// destroyed first and the main window last.
#pragma once

#include <memory>

#include "game/Main.h"
#include "game/Unit1.h"
#include "game/Unit2.h"

struct TProgramWindows {
    std::unique_ptr<TMainForm> Main = std::make_unique<TMainForm>();
    std::unique_ptr<TForm1> Form1 = std::make_unique<TForm1>();
    std::unique_ptr<TForm2> Form2 = std::make_unique<TForm2>();

    TProgramWindows() {
        Main->Form1 = Form1.get();
        Main->Form2 = Form2.get();
    }
};
