// starbreaker-setup: resets the score table and shows or sets the options and the settings
// (kept apart from main() so the tests can run it in-process).
#pragma once

#include "game/files/OptionsFile.h"
#include "game/files/ScoreFile.h"
#include "platform/Files.h"
#include "platform/Language.h"
#include "platform/Settings.h"

#include <charconv>
#include <exception>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace setup {

inline constexpr const char* Usage =
    "Usage: starbreaker-setup [--data DIR] ACTION...\n"
    "       starbreaker-setup [--data DIR] [--lang ru|en]     (no action: the set-up window)\n"
    "It finds the files as the game does: in ./data when the working directory holds the\n"
    "game's data folder, else (an installed game) in $XDG_DATA_HOME/starbreaker.\n"
    "\n"
    "Actions (several may be given; they run in this order):\n"
    "  --reset-scores    reset the score table (res.qrx) to ten \"Игрок\" entries\n"
    "                    with score 0; use it when the game reports tampered scores\n"
    "  --reset-options   write the default options (opt.qrx), creating the file\n"
    "  --reset-settings  write the default settings (settings.ini)\n"
    "  --set N=V         set option N (1..10) to the integer V; may be repeated\n"
    "  --set KEY=VALUE   set a setting of settings.ini, checked as the game checks it, e.g.\n"
    "                    --set music_volume=60 --set keys_fire=Q,Space; may be repeated\n"
    "  --show            print the ten options and the settings, and what they mean\n"
    "  --help            print this text\n"
    "\n"
    "Options:\n"
    "  --data DIR        the data folder to use instead of ./data\n"
    "  --lang ru|en      the set-up window in Russian or English this time (the setting\n"
    "                    \"language\" is not changed; --set language=en changes it)\n"
    "\n"
    "The options:\n"
    "  1  FPS line: 0 shown, any other value hidden\n"
    "  2  music: 1 off, any other value on\n"
    "  3  sound effects and force feedback: 0 on, any other value off\n"
    "  4  colour depth in bits: 8, 16, 24 or 32\n"
    "  5  display: 1 full screen, any other value an 800 x 600 window\n"
    "  6..10  kept, no effect\n"
    "\n"
    "The settings (--show lists them with their values; settings.ini explains each):\n"
    "  language, fullscreen_mode, scaling, pacing, frame_rate, music_volume, effects_volume, rumble,\n"
    "  pause_on_focus_loss, keys_up, keys_down, keys_left, keys_right, keys_fire,\n"
    "  keys_special, keys_next\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments.\n"
    "Licence: GPL-3.0-or-later (GNU GPL version 3 or later), with no warranty.\n";

inline bool ParseInt32(std::string_view text, int32_t& value) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

inline std::string Meaning(int n, int32_t v) {
    switch (n) {
        case 1: return std::string("FPS line: ") + (v == 0 ? "shown" : "hidden");
        case 2: return std::string("music: ") + (v == 1 ? "off" : "on");
        case 3: return std::string("sound effects and force feedback: ") + (v == 0 ? "on" : "off");
        case 4:
            return (v == 8 || v == 16 || v == 24 || v == 32)
                       ? "colour depth: " + std::to_string(v) + " bits"
                       : "colour depth: INVALID (8, 16, 24 or 32 expected; the game will not start)";
        case 5: return std::string("display: ") + (v == 1 ? "full screen" : "800 x 600 window");
        default: return "kept, no effect";
    }
}

// Runs the tool with its arguments (without the program name); returns the exit status.
inline int RunSetup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string dataDir;
    bool resetScores = false, resetOptions = false, resetSettings = false, show = false;
    std::vector<std::pair<int, int32_t>> sets;
    std::vector<std::pair<std::string, std::string>> settingSets;

    auto usageError = [&](const std::string& message) {
        err << "starbreaker-setup: " << message << "\nTry 'starbreaker-setup --help'.\n";
        return 2;
    };

    if (args.empty()) return usageError("no action given");
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << Usage;
            return 0;
        } else if (a == "--reset-scores") {
            resetScores = true;
        } else if (a == "--reset-options") {
            resetOptions = true;
        } else if (a == "--reset-settings") {
            resetSettings = true;
        } else if (a == "--show") {
            show = true;
        } else if (a == "--data" || a == "--set" || a == "--lang") {
            if (i + 1 >= args.size()) return usageError(a + " needs a value");
            const std::string& value = args[++i];
            if (a == "--data") {
                if (value.empty()) return usageError("--data needs a folder");
                dataDir = value;
                continue;
            }
            // The window's language; these actions report in English whatever it is.
            if (a == "--lang") {
                if (!platform::ParseLanguage(value)) return usageError("--lang takes ru or en (got '" + value + "')");
                continue;
            }
            const size_t eq = value.find('=');
            int32_t n = 0, v = 0;
            if (eq != std::string::npos && eq > 0 && !(value[0] >= '0' && value[0] <= '9') && value[0] != '-' &&
                value[0] != '+') {
                const std::string key = value.substr(0, eq), setting = value.substr(eq + 1);
                const platform::SettingInfo* info = platform::FindSetting(key);
                if (!info) return usageError("unknown setting '" + key + "' (see --help)");
                if (std::string why = info->Check(setting); !why.empty())
                    return usageError(key + " = '" + setting + "': " + why);
                settingSets.emplace_back(key, setting);
                continue;
            }
            if (eq == std::string::npos || !ParseInt32(std::string_view(value).substr(0, eq), n))
                return usageError("--set expects N=V, e.g. --set 4=32 (got '" + value + "')");
            if (n < 1 || n > 10) return usageError("option number must be 1..10 (got " + std::to_string(n) + ")");
            if (!ParseInt32(std::string_view(value).substr(eq + 1), v))
                return usageError("option " + std::to_string(n) +
                                  " needs an integer from -2147483648 to 2147483647 (got '" + value.substr(eq + 1) +
                                  "')");
            if (n == 4 && v != 8 && v != 16 && v != 24 && v != 32)
                return usageError("option 4 (colour depth) must be 8, 16, 24 or 32 (got " + std::to_string(v) + ")");
            sets.emplace_back(n, v);
        } else {
            return usageError("unknown argument '" + a + "'");
        }
    }
    if (!resetScores && !resetOptions && !resetSettings && !show && sets.empty() && settingSets.empty())
        return usageError("no action given");

    // The same folders as the game's; a first use of an installed game gets its default files.
    const platform::DataFolders folders =
        platform::PickDataFolders(dataDir, platform::InstalledDataCandidates(), platform::UserDataFolder());
    platform::SeedUserFolder(folders, err);
    const platform::DataFoldersScope inForce(folders);
    const std::string scoreName(ScoreFileName);
    const std::string optionsName(OptionsFileName);
    const std::string settingsName(platform::SettingsFileName);

    // The settings as the file has them; every change is checked against the others (a key
    // serves one action) before anything is written.
    platform::TSettings settings;
    if (!resetSettings && platform::FileExists(settingsName)) settings = platform::TSettings::Load(settingsName, err);
    for (const auto& [key, value] : settingSets)
        if (std::string why = settings.Set(key, value); !why.empty())
            return usageError(key + " = '" + value + "': " + why);

    try {
        if (resetScores) {
            WriteScoreTable(scoreName, EmptyScoreTable());
            out << "Score table reset: " << platform::ResolvePath(scoreName) << "\n";
        }
        if (resetOptions) {
            WriteOptions(optionsName, DefaultOptions());
            out << "Options reset to defaults: " << platform::ResolvePath(optionsName) << "\n";
        }
        if (!sets.empty()) {
            TOptions options = ReadOptions(optionsName);
            for (const auto& [n, v] : sets) options[n - 1] = v;
            WriteOptions(optionsName, options);
            for (const auto& [n, v] : sets) out << "Option " << n << " set to " << v << "\n";
        }
        if (resetSettings || !settingSets.empty()) {
            settings.Save(settingsName);
            if (resetSettings && settingSets.empty())
                out << "Settings reset to defaults: " << platform::ResolvePath(settingsName) << "\n";
            for (const auto& [key, value] : settingSets)
                out << "Setting " << key << " set to " << settings.Get(key) << "\n";
        }
        if (show) {
            const TOptions options = ReadOptions(optionsName);
            out << "Options in " << platform::ResolvePath(optionsName) << ":\n";
            for (int n = 1; n <= 10; ++n)
                out << "  " << n << (n < 10 ? "  = " : " = ") << options[n - 1] << "\t" << Meaning(n, options[n - 1])
                    << "\n";
            out << "Settings in " << platform::ResolvePath(settingsName)
                << (platform::FileExists(settingsName) ? "" : " (not written yet: the defaults)") << ":\n";
            for (const auto& info : platform::SettingSchema())
                out << "  " << info.Key << " = " << settings.Get(info.Key) << "\n";
        }
    } catch (const std::exception& e) {
        err << "starbreaker-setup: " << e.what() << "\n";
        const bool readsOptions = show || !sets.empty();
        if (dynamic_cast<const EFileFormatError*>(&e) || (readsOptions && !platform::FileExists(optionsName)))
            err << "(use --reset-options to write the options file with defaults)\n";
        return 1;
    }
    return 0;
}

}  // namespace setup
