// The game's command line: where the data is, the display and language for this run, help and
// version.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Language.h"

struct TCommandLine {
    enum class TAction { Play, Help, Version, BadUsage };
    TAction Action = TAction::Play;
    // --data DIR: a portable data folder for everything; empty: the usual rule (Files.h).
    std::string DataDir;
    // --fullscreen (true) / --window (false): overrides the options file for this run only.
    std::optional<bool> FullScreen;
    // --lang ru|en: overrides the "language" setting for this run only.
    std::optional<platform::TLanguage> Language;
    // What was wrong, for BadUsage.
    std::string Problem;
};

TCommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();
std::string VersionText();

// True when SDL has something to show windows on: an X or Wayland display, or a video driver
// chosen explicitly (the tests' dummy driver). Without one SDL would pick an invisible
// off-screen driver and the game would run unseen.
bool DisplayAvailable();
