// The set-up window: starbreaker-setup without arguments.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "platform/Language.h"

namespace setup {

// Opens the window on the files the game would use (dataDir as --data: empty picks the
// folders as the game does) and runs it until the player leaves; returns the
// exit status (1 when no window can be opened, with the reason on err). The window speaks
// language (--lang) when given, else the language the settings name. idle, when given, runs
// whenever the window has drawn what it has and waits for the player (tests press keys and
// pad buttons there); it counts its calls from 0.
int RunSetupWindow(const std::string& dataDir, std::ostream& err, const std::function<void(int call)>& idle = nullptr,
                   std::optional<platform::TLanguage> language = std::nullopt);

}  // namespace setup
