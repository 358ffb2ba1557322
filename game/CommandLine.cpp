// The game's command line.
#include "game/CommandLine.h"

#include <cstdlib>
#include <string_view>

#ifndef SB_VERSION
#define SB_VERSION "unknown"
#endif

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine line;
    auto bad = [&](std::string problem) {
        line.Action = TCommandLine::TAction::BadUsage;
        line.Problem = std::move(problem);
        return line;
    };
    // An option with a value, given as "--name value" or "--name=value"; false when args[i]
    // is not that option. The value is empty when none follows.
    auto valued = [&](size_t& i, std::string_view name, std::string& value) {
        const std::string& a = args[i];
        if (a == name) {
            value = i + 1 < args.size() ? args[++i] : std::string();
            return true;
        }
        if (!a.starts_with(name) || a.size() <= name.size() || a[name.size()] != '=') return false;
        value = a.substr(name.size() + 1);
        return true;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        if (a == "--help" || a == "-h") {
            line.Action = TCommandLine::TAction::Help;
            return line;
        } else if (a == "--version") {
            line.Action = TCommandLine::TAction::Version;
            return line;
        } else if (valued(i, "--data", value)) {
            if (value.empty()) return bad("--data needs a folder");
            line.DataDir = value;
        } else if (valued(i, "--lang", value)) {
            line.Language = platform::ParseLanguage(value);
            if (!line.Language) return bad("--lang takes ru or en (got '" + value + "')");
        } else if (a == "--window" || a == "--fullscreen") {
            const bool full = a == "--fullscreen";
            if (line.FullScreen && *line.FullScreen != full) return bad("--window and --fullscreen exclude each other");
            line.FullScreen = full;
        } else {
            return bad("unknown argument '" + a + "'");
        }
    }
    return line;
}

std::string UsageText() {
    return "Usage: starbreaker [--data DIR] [--window | --fullscreen] [--lang ru|en]\n"
           "A side-scrolling space shooter.\n"
           "\n"
           "  --data DIR     play from the data folder DIR (pictures, music, score table and\n"
           "                 options), as when started beside it\n"
           "  --window       play in an 800 x 600 window this time (the options are not changed)\n"
           "  --fullscreen   play full screen this time (the options are not changed)\n"
           "  --lang ru|en   play in Russian or English this time (the setting \"language\" in\n"
           "                 settings.ini is not changed)\n"
           "  --help         print this text and exit\n"
           "  --version      print the version and exit\n"
           "\n"
           "Without --data the game plays from ./data when the working directory holds the game's\n"
           "data folder. Otherwise it uses the installed data, and keeps the score table, the\n"
           "options and the settings in $XDG_DATA_HOME/starbreaker (~/.local/share/starbreaker).\n"
           "\n"
           "Exit status: 0 normal end, 1 the game could not run, 2 bad arguments.\n";
}

std::string VersionText() {
    return std::string("starbreaker ") + SB_VERSION +
           "\n"
           "Licence GPL-3.0-or-later: GNU GPL version 3 or later <https://www.gnu.org/licenses/gpl-3.0.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}
