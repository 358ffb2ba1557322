// starbreaker-setup: the set-up tool for the game's score table and options.
#include "tools/setup/SetupTool.h"

#include <iostream>

int main(int argc, char** argv) {
    return setup::RunSetup(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
