// starbreaker-setup: the set-up tool for the game's score table, options and settings.
#include "tools/setup/SetupTool.h"
#include "tools/setup/SetupWindow.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // No action (at most the data folder and the language): the window.
    std::string dataDir;
    std::optional<platform::TLanguage> language;
    bool window = true;
    for (size_t i = 0; i < args.size() && window; i += 2) {
        if (i + 1 >= args.size()) window = false;
        else if (args[i] == "--data") dataDir = args[i + 1];
        else if (args[i] == "--lang" && (language = platform::ParseLanguage(args[i + 1]))) continue;
        else window = false;
    }
    if (window) return setup::RunSetupWindow(dataDir, std::cerr, nullptr, language);
    // Anything else (a bad --lang included) is the command line's to judge.
    return setup::RunSetup(args, std::cout, std::cerr);
}
