// Sound and music on SDL2_mixer with SDL's dummy drivers, which play in real time: the clips
// here are 0.3 s long.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "audio/DXSounds.h"
#include "audio/MPlayer.h"
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/SdlWindowSystem.h"

namespace {

using Clock = std::chrono::steady_clock;

TWave Clip(double seconds) {
    TWave w;
    w.SetPCMFormat(22050, 8, 1);
    int n = static_cast<int>(22050 * seconds);
    w.SetSize(n);
    for (int i = 0; i < n; ++i) w.Data()[i] = static_cast<uint8_t>(128 + 60 * std::sin(i * 0.1));
    return w;
}

class SdlAudioFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "dummy", 0);
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);
        ws = std::make_unique<platform::sdl::SdlWindowSystem>();
        audio = platform::sdl::CreateAudioSystem();
        music = platform::sdl::CreateMusicSystem();
        platform::Install({.Clock = &ws->Clock(), .Windows = ws.get(), .Audio = audio.get(), .Music = music.get()});
        form = std::make_unique<TForm>("Main", 800, 600);

        char dir[] = "/tmp/sb-audio-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        folder = dir;
        clipPath = folder + "/clip.wav";
        auto bytes = Clip(0.3).SaveToBytes();
        FILE* f = std::fopen(clipPath.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    void TearDown() override {
        form.reset();
        platform::Install({});
        music.reset();
        audio.reset();
        ws.reset();
        std::remove(clipPath.c_str());
        ::rmdir(folder.c_str());
    }

    // Runs the window thread's loop until done() or the time is up.
    bool PumpUntil(const std::function<bool()>& done, int ms = 3000) {
        auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            Application().ProcessMessages();
            if (done()) return true;
            ws->WaitMessage(20);
        }
        return false;
    }
    void PumpFor(int ms) {
        PumpUntil([] { return false; }, ms);
    }

    std::unique_ptr<platform::sdl::SdlWindowSystem> ws;
    std::unique_ptr<platform::IAudioSystem> audio;
    std::unique_ptr<platform::IMusicSystem> music;
    std::unique_ptr<TForm> form;
    std::string folder, clipPath;
};

}  // namespace

TEST_F(SdlAudioFixture, MusicEndIsANoticeOnTheWindowThreadAndLoops) {
    TMediaPlayer mp(form.get());
    mp.FileName = clipPath;
    mp.Open();
    EXPECT_NEAR(static_cast<double>(mp.Length()), 300.0, 20.0);

    bool musicOn = true;
    std::vector<TMPNotifyValues> kinds;
    std::thread::id where;
    mp.OnNotify = [&](TMediaPlayer& sender) {
        kinds.push_back(sender.NotifyValue());
        where = std::this_thread::get_id();
        if (kinds.size() == 1) { EXPECT_EQ(sender.Position(), sender.Length()); }
        if (musicOn) sender.Play();
    };
    auto start = Clock::now();
    mp.Play();
    ASSERT_TRUE(PumpUntil([&] { return kinds.size() == 1; }));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(250));
    EXPECT_EQ(kinds[0], nvSuccessful);
    EXPECT_EQ(where, std::this_thread::get_id());

    // Played again from the start by the handler, it ends a second time.
    musicOn = false;
    ASSERT_TRUE(PumpUntil([&] { return kinds.size() == 2; }));
    EXPECT_EQ(kinds[1], nvSuccessful);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(500));
}

TEST_F(SdlAudioFixture, MusicStopKeepsThePosition) {
    TMediaPlayer mp(form.get());
    mp.FileName = clipPath;
    mp.Open();
    std::vector<TMPNotifyValues> kinds;
    mp.OnNotify = [&](TMediaPlayer& sender) { kinds.push_back(sender.NotifyValue()); };

    mp.Play();
    PumpFor(120);
    mp.Stop();
    uint32_t stoppedAt = mp.Position();
    EXPECT_GT(stoppedAt, 40u);
    EXPECT_LT(stoppedAt, 280u);
    ASSERT_TRUE(PumpUntil([&] { return !kinds.empty(); }));
    EXPECT_EQ(kinds[0], nvAborted);
    PumpFor(100);
    EXPECT_EQ(mp.Position(), stoppedAt);

    // Continues from there: the rest takes less than the whole piece.
    auto resumed = Clock::now();
    mp.Play();
    EXPECT_GE(mp.Position(), stoppedAt);
    ASSERT_TRUE(PumpUntil([&] { return kinds.size() == 2; }));
    EXPECT_EQ(kinds[1], nvSuccessful);
    EXPECT_LT(Clock::now() - resumed, std::chrono::milliseconds(290));
}

TEST_F(SdlAudioFixture, NineOverlappingSoundsAllPlay) {
    TDXSound sound(form.get());
    TDXWaveList list(form.get());
    list.SetDXSound(&sound);
    auto* item = list.Items().Add();
    item->SetName("snd");
    item->SetWave(Clip(0.3));
    sound.Loaded();
    ASSERT_TRUE(sound.Initialized());

    for (int i = 0; i < 9; ++i) list.Items().Find("SND")->Play(false);
    ASSERT_EQ(item->VoiceCount(), 9);
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(item->Voice(i)->Playing()) << i;

    // All end; the next play reuses the first voice.
    ASSERT_TRUE(PumpUntil([&] {
        for (int i = 0; i < 9; ++i)
            if (item->Voice(i)->Playing()) return false;
        return true;
    }));
    item->Play(false);
    EXPECT_EQ(item->VoiceCount(), 9);
    EXPECT_TRUE(item->Voice(0)->Playing());
    EXPECT_FALSE(item->Voice(1)->Playing());

    // A looped play keeps sounding on the entry's own buffer until stopped.
    item->SetLooped(true);
    item->Play(false);
    PumpFor(400);
    EXPECT_TRUE(item->Buffer()->Playing());
    item->Stop();
    EXPECT_FALSE(item->Buffer()->Playing());
}

TEST_F(SdlAudioFixture, WithoutAnAudioDeviceEverythingIsSilent) {
    // Let every user of the mixer go, then ask for a driver that does not exist.
    form.reset();
    platform::Install({});
    music.reset();
    audio.reset();
    std::string old = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    audio = platform::sdl::CreateAudioSystem();
    music = platform::sdl::CreateMusicSystem();
    platform::Install({.Clock = &ws->Clock(), .Windows = ws.get(), .Audio = audio.get(), .Music = music.get()});
    form = std::make_unique<TForm>("Main", 800, 600);

    {
        TDXSound sound(form.get());
        TDXWaveList list(form.get());
        list.SetDXSound(&sound);
        auto* item = list.Items().Add();
        item->SetName("snd");
        item->SetWave(Clip(0.1));
        EXPECT_NO_THROW(sound.Loaded());
        EXPECT_FALSE(sound.Initialized());
        EXPECT_NO_THROW(list.Items().Find("snd")->Play(false));

        TMediaPlayer mp(form.get());
        mp.FileName = clipPath;
        EXPECT_NO_THROW(mp.Open());
        EXPECT_NO_THROW(mp.Play());
        EXPECT_NO_THROW(mp.Stop());
        mp.FileName = folder + "/missing.mp3";
        EXPECT_THROW(mp.Open(), EMCIDeviceError);
    }
    if (old.empty()) ::unsetenv("SDL_AUDIODRIVER");
    else ::setenv("SDL_AUDIODRIVER", old.c_str(), 1);
}
