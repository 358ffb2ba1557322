// starbreaker-setup: the set-up tool for the game's score table, options and settings.
#include "tools/setup/SetupTool.h"
#include "tools/setup/SetupWindow.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // No arguments (or only the data folder): the window.
    if (args.empty()) return setup::RunSetupWindow("", std::cerr);
    if (args.size() == 2 && args[0] == "--data") return setup::RunSetupWindow(args[1], std::cerr);
    return setup::RunSetup(args, std::cout, std::cerr);
}
