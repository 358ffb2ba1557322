// The set-up window: starbreaker-setup without arguments.
#pragma once

#include <ostream>
#include <string>

namespace setup {

// Opens the window on the data folder dataDir and runs it until the player leaves; returns the
// exit status (1 when no window can be opened, with the reason on err).
int RunSetupWindow(const std::string& dataDir, std::ostream& err);

}  // namespace setup
