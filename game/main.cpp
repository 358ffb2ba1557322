// Starbreaker: create the application, its three windows, and run the message loop.
#include <sys/stat.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>

#include "engine/Forms.h"
#include "game/CommandLine.h"
#include "game/ProgramWindows.h"
#include "game/files/OptionsFile.h"
#include "platform/Files.h"
#include "platform/Language.h"
#include "platform/Settings.h"
#include "platform/sdl/SdlPlatform.h"

int main(int argc, char** argv) {
    const TCommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.Action) {
        case TCommandLine::TAction::Help: std::cout << UsageText(); return 0;
        case TCommandLine::TAction::Version: std::cout << VersionText(); return 0;
        case TCommandLine::TAction::BadUsage:
            std::cerr << "starbreaker: " << line.Problem << "\n" << UsageText();
            return 2;
        case TCommandLine::TAction::Play: break;
    }
    if (!DisplayAvailable()) {
        std::cerr << "starbreaker: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                     "start it from a desktop session\n";
        return 1;
    }
    if (!line.DataDir.empty()) {
        struct stat st;
        if (::stat(line.DataDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            std::cerr << "starbreaker: the data folder '" << line.DataDir << "' does not exist\n";
            return 1;
        }
    }
    try {
        platform::SetUpDataFolders(line.DataDir, std::cerr);
        platform::CurrentSettings() = platform::TSettings::Load(platform::SettingsFileName, std::cerr);
        platform::SetCurrentLanguage(line.Language.value_or(
            platform::ParseLanguage(platform::CurrentSettings().Get("language")).value_or(platform::TLanguage::Ru)));
        FullScreenForThisRun = line.FullScreen;
        platform::sdl::SdlPlatform machine;
        Application().SetTitle("Starbreaker");

        TProgramWindows windows;  // made after the machine, so gone before it
        windows.Main->Show();
        if (windows.Main->Window()) windows.Main->Window()->Focus();
        Application().Run();
        if (windows.Main->EndedWithError()) return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Starbreaker: %s\n", e.what());
        return 1;
    }
    return 0;
}
