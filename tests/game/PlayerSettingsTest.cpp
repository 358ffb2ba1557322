// The settings a player reaches, seen on the real program on SDL's dummy drivers: volumes at
// the mixer, the pause when the window loses the focus, rebound keys, bad values falling back;
// and a recording of ramming contact with the disk audio driver, which must never clip.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "engine/Forms.h"
#include "entities/PlayerSprite.h"
#include "game/ProgramWindows.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"
#include "platform/Audio.h"
#include "platform/Settings.h"
#include "platform/sdl/SdlPlatform.h"
#include "testkit/PlayFolder.h"

namespace fs = std::filesystem;

namespace {

int MixerLevel(int percent) {
    return static_cast<int>(std::lround(MIX_MAX_VOLUME * platform::VolumeAmplitude(percent)));
}

// The program started from a private copy of the data folder, on the SDL machine.
class RealProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGlobals();
        RandSeed = 0;
        Application().ResetTerminated();
        ASSERT_NE(std::getenv("SB_DATA_DIR"), nullptr);
        folder = std::make_unique<TPlayFolder>("sb-settings");
        dir = folder->Path();
        folder->Write("data/all_qrx/opt.qrx", "1\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    }

    void TearDown() override {
        Shutdown();
        platform::CurrentSettings() = platform::TSettings();
        folder.reset();
    }

    // Closes the program's windows, then the machine (a recording device writes its file out).
    void Shutdown() {
        windows.reset();
        machine.reset();
    }

    // Reads the settings file as main() does (the warnings kept), then boots the program.
    void Boot(const std::string& settingsText) {
        std::ofstream(dir / "data/all_qrx/settings.ini", std::ios::binary) << settingsText;
        platform::CurrentSettings() = platform::TSettings::Load(platform::SettingsFileName, warnings);
        machine = std::make_unique<platform::sdl::SdlPlatform>();
        windows = std::make_unique<TProgramWindows>();
        main = windows->Main.get();
        main->Show();
        Application().ProcessMessages();
        ASSERT_TRUE(AssetsLoaded);
    }

    void Pump(int passes = 5) {
        for (int i = 0; i < passes && !Application().Terminated(); ++i) Application().HandleMessage();
    }
    // Runs the loop for about ms milliseconds of real time.
    void RunFor(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end && !Application().Terminated()) {
            Application().HandleMessage();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    void PushWindowEvent(Uint8 what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = main->Window()->Id();
        e.window.event = what;
        SDL_PushEvent(&e);
        Pump(10);
    }
    void PushKey(Uint32 type, SDL_Scancode sc) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = main->Window()->Id();
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
        SDL_PushEvent(&e);
        Pump(3);
    }

    void StartGame() {
        MenuIndex = 1;
        PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN);
        PushKey(SDL_KEYUP, SDL_SCANCODE_RETURN);
        ASSERT_EQ(GameState, gsPlaying);
    }

    std::unique_ptr<TPlayFolder> folder;
    fs::path dir;
    std::ostringstream warnings;
    std::unique_ptr<platform::sdl::SdlPlatform> machine;
    std::unique_ptr<TProgramWindows> windows;
    TMainForm* main = nullptr;
};

TEST_F(RealProgram, VolumesReachTheMixerAndBadValuesFallBackWithAWarning) {
    Boot("music_volume = 40\neffects_volume = 60\n");
    if (!Mix_QuerySpec(nullptr, nullptr, nullptr)) GTEST_SKIP() << "no audio device, even the dummy one";
    EXPECT_TRUE(warnings.str().empty()) << warnings.str();
    EXPECT_EQ(Mix_VolumeMusic(-1), MixerLevel(40));
    main->PlayCue("snd");
    bool heard = false;
    for (int ch = 0; ch < Mix_AllocateChannels(-1); ++ch) {
        if (Mix_Playing(ch)) {
            heard = true;
            EXPECT_EQ(Mix_Volume(ch, -1), MixerLevel(60));
        }
    }
    EXPECT_TRUE(heard);

    // A new level is heard at once, by the voice that is sounding too.
    machine->Get().Audio->SetEffectsVolume(20);
    for (int ch = 0; ch < Mix_AllocateChannels(-1); ++ch) {
        if (Mix_Playing(ch)) { EXPECT_EQ(Mix_Volume(ch, -1), MixerLevel(20)); }
    }
}

TEST_F(RealProgram, BadVolumeKeepsTheDefaultWithAWarning) {
    Boot("music_volume = loud\n");
    if (!Mix_QuerySpec(nullptr, nullptr, nullptr)) GTEST_SKIP() << "no audio device";
    EXPECT_NE(warnings.str().find("music_volume = \"loud\""), std::string::npos) << warnings.str();
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
}

TEST_F(RealProgram, LosingTheFocusPausesPlayAndLowersTheMusicOnlyWhenAskedTo) {
    for (const bool pauses : {false, true}) {
        SCOPED_TRACE(pauses ? "pause_on_focus_loss = on" : "off (the default)");
        Boot(pauses ? "pause_on_focus_loss = on\nmusic_volume = 80\n" : "music_volume = 80\n");
        PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        StartGame();
        MenuIndex = 3;
        PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        EXPECT_EQ(main->Caption(), Application().Title() + " [Pause]");
        EXPECT_EQ(GameState, pauses ? gsPauseMenu : gsPlaying);
        if (pauses) {
            EXPECT_EQ(MenuIndex, 1);  // as Escape leaves it
        }
        if (Mix_QuerySpec(nullptr, nullptr, nullptr)) {
            EXPECT_EQ(Mix_VolumeMusic(-1), MixerLevel(pauses ? 80 * FocusLostMusicPercent / 100 : 80));
        }

        // Back in front: the music comes back up; the pause menu waits for the player.
        PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        EXPECT_EQ(GameState, pauses ? gsPauseMenu : gsPlaying);
        if (Mix_QuerySpec(nullptr, nullptr, nullptr)) { EXPECT_EQ(Mix_VolumeMusic(-1), MixerLevel(80)); }

        Shutdown();
        ResetGlobals();
    }
}

TEST_F(RealProgram, AReboundKeySteersAndTheKeyItReplacedNoLonger) {
    Boot("keys_up = I, Keypad 8\n");
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    StartGame();
    RunFor(300);  // the ship comes to rest where the new game puts it
    auto heldFor = [&](SDL_Scancode key) {
        const double y0 = PlayerSprite->Y;
        PushKey(SDL_KEYDOWN, key);
        RunFor(250);
        PushKey(SDL_KEYUP, key);
        Pump(5);
        return PlayerSprite->Y - y0;
    };
    EXPECT_LT(heldFor(SDL_SCANCODE_I), -20.0);        // up
    EXPECT_NEAR(heldFor(SDL_SCANCODE_W), 0.0, 1e-9);  // W was the default, now unbound
    EXPECT_GT(heldFor(SDL_SCANCODE_S), 20.0);         // the other actions keep their keys
}

// Peak, RMS and the count of samples at or past full scale of a recording of the final mix.
struct MixFigures {
    double Peak = 0, Rms = 0;
    size_t Samples = 0, Clipped = 0;
};

MixFigures Measure(const std::vector<uint8_t>& bytes, SDL_AudioFormat format) {
    MixFigures f;
    double sum = 0;
    auto take = [&](double v) {
        f.Peak = std::max(f.Peak, std::fabs(v));
        sum += v * v;
        ++f.Samples;
        if (std::fabs(v) >= 1.0 - 1e-6) ++f.Clipped;
    };
    if (format == AUDIO_F32SYS) {
        for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            float v;
            std::memcpy(&v, &bytes[i], 4);
            take(v);
        }
    } else {
        for (size_t i = 0; i + 2 <= bytes.size(); i += 2) {
            int16_t v;
            std::memcpy(&v, &bytes[i], 2);
            take(v >= 0 ? v / 32767.0 : v / 32768.0);
        }
    }
    f.Rms = f.Samples ? std::sqrt(sum / static_cast<double>(f.Samples)) : 0;
    return f;
}

// One second of ramming contact: the hit sound once a frame at 60 frames a second, every
// copy on a voice of its own, recorded by SDL's disk driver (which plays in real time).
TEST_F(RealProgram, RammingContactRecordedFromTheFinalMixNeverClips) {
    const std::string recording =
        (fs::temp_directory_path() / ("sb-ramming-" + std::to_string(::getpid()) + ".raw")).string();
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string oldDriver = driver ? driver : "";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", recording.c_str(), 1);
    Boot("");
    if (driver) ::setenv("SDL_AUDIODRIVER", oldDriver.c_str(), 1);
    else ::unsetenv("SDL_AUDIODRIVER");
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&rate, &format, &channels)) GTEST_SKIP() << "the disk audio driver did not open";

    for (int frame = 0; frame < 60; ++frame) {
        main->PlayCue("snd");
        std::this_thread::sleep_for(std::chrono::microseconds(16667));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));  // the last copies ring out
    Shutdown();                                                    // closes the device: the file is complete

    std::ifstream in(recording, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    // SB_KEEP_RECORDING=FILE keeps the recording for a listen or for sox.
    if (const char* keep = std::getenv("SB_KEEP_RECORDING"))
        fs::copy_file(recording, keep, fs::copy_options::overwrite_existing);
    std::remove(recording.c_str());
    const MixFigures f = Measure(bytes, format);
    std::printf(
        "ramming, 60 overlapping 'snd': %zu samples, peak %.4f, RMS %.4f, %zu at full scale "
        "(%s, %d Hz, %d channels)\n",
        f.Samples, f.Peak, f.Rms, f.Clipped, format == AUDIO_F32SYS ? "float" : "16-bit", rate, channels);
    ASSERT_GT(f.Samples, static_cast<size_t>(rate * channels));  // about two seconds were recorded
    EXPECT_GT(f.Rms, 0.05);                                      // loud, as dozens of copies are
    EXPECT_EQ(f.Clipped, 0u);
    EXPECT_LT(f.Peak, 1.0);
}

}  // namespace
