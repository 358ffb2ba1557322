// The whole program booted on the fake machine with the generated data, for benchmarks:
// real pictures, real text rendering, the fake presentation.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/Forms.h"
#include "entities/Sprites.h"
#include "game/ProgramWindows.h"
#include "game/state/Globals.h"
#include "platform/fake/FakePlatform.h"
#include "platform/sdl/SdlText.h"
#include "testkit/PlayFolder.h"

namespace bench {

// A private copy of the data folder as the working directory, with the given bit count.
class TWorkDir {
public:
    explicit TWorkDir(int bits) {
        folder_.Write("data/all_qrx/opt.qrx",
                      "0\r\n0\r\n0\r\n" + std::to_string(bits) + "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    }

private:
    TPlayFolder folder_{"sb-bench"};
};

class TBenchWorld {
public:
    platform::fake::FakePlatform Fake;
    platform::sdl::SdlTextRenderer Text;
    std::unique_ptr<TProgramWindows> Windows;
    TMainForm* Main = nullptr;

    TBenchWorld() {
        platform::Services s = platform::Current();
        s.Text = &Text;
        platform::Install(s);
        ResetGlobals();
        Application().ResetTerminated();
    }

    // Creates the windows and runs the one-time start-up. Returns false when it failed.
    bool Boot() {
        Windows = std::make_unique<TProgramWindows>();
        Main = Windows->Main.get();
        Main->Show();
        Application().ProcessMessages();
        return !Application().Terminated() && Fake.Windows.MessageBoxes().empty();
    }

    // The busiest scene a game reaches: level 9's wave with its bonuses, the scene, the HUD,
    // and `shots` player shots spread over the screen.
    void BusiestScene(int shots) {
        GameState = gsPlaying;
        Level = 9;
        Main->Button1Click();
        // Let the panels settle into their playing places.
        for (int i = 0; i < 300; ++i) Main->DXTimerTimer(16);
        Shots = shots;
        TopUpShots();
    }

    // Keeps `Shots` player shots in flight (they leave at the right edge).
    void TopUpShots() {
        int alive = 0;
        TSpriteEngine* engine = Main->SpriteEngine();
        for (int i = 0; i < engine->Count(); ++i)
            if (dynamic_cast<TArmoSprite*>(engine->Items(i)) && !engine->Items(i)->MarkedDead()) ++alive;
        for (int i = alive; i < Shots; ++i) {
            auto* shot = new TArmoSprite(engine);
            shot->Image = Main->FindImage("Pula1");
            shot->Width = shot->Image->Width();
            shot->Height = shot->Image->Height();
            shot->ExactHits = true;
            shot->SetZ(2);
            shot->X = 100 + (i * 97) % 650;
            shot->Y = 40 + (i * 53) % 420;
        }
    }

    int Shots = 0;
};

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

template <class F>
double MedianMicros(int runs, F&& f) {
    std::vector<double> t;
    t.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        auto a = std::chrono::steady_clock::now();
        f();
        auto b = std::chrono::steady_clock::now();
        t.push_back(std::chrono::duration<double, std::micro>(b - a).count());
    }
    return Median(std::move(t));
}

}  // namespace bench
