// Starbreaker: create the application, its three windows, and run the message loop.
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>

#include "engine/Forms.h"
#include "game/Main.h"
#include "game/Unit1.h"
#include "game/Unit2.h"
#include "platform/Settings.h"
#include "platform/sdl/SdlPlatform.h"

int main() {
    try {
        platform::CurrentSettings() = platform::TSettings::Load(platform::SettingsFileName, std::cerr);
        platform::sdl::SdlPlatform machine;
        Application().SetTitle("Starbreaker");

        auto mainForm = std::make_unique<TMainForm>();
        auto form1 = std::make_unique<TForm1>();
        auto form2 = std::make_unique<TForm2>();
        mainForm->Form1 = form1.get();
        mainForm->Form2 = form2.get();

        mainForm->Show();
        if (mainForm->Window()) mainForm->Window()->Focus();
        Application().Run();
        const bool failed = mainForm->EndedWithError();

        form2.reset();
        form1.reset();
        mainForm.reset();
        if (failed) return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Starbreaker: %s\n", e.what());
        return 1;
    }
    return 0;
}
