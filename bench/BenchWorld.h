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
#include "game/Main.h"
#include "game/Unit1.h"
#include "game/Unit2.h"
#include "game/state/Globals.h"
#include "platform/fake/FakePlatform.h"
#include "platform/sdl/SdlText.h"

namespace bench {

inline std::string DataDir() {
    if (const char* d = std::getenv("SB_DATA_DIR")) return d;
    return (std::filesystem::current_path() / "data").string();
}

// A private copy of the data folder as the working directory, with the given bit count.
class TWorkDir {
public:
    explicit TWorkDir(int bits) {
        static int serial = 0;
        dir_ = std::filesystem::temp_directory_path() /
               ("sb-bench-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::copy(DataDir(), dir_ / "data", std::filesystem::copy_options::recursive);
        std::ofstream(dir_ / "data/all_qrx/opt.qrx", std::ios::binary) << "0\r\n0\r\n0\r\n"
                                                                       << bits << "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    ~TWorkDir() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }

private:
    std::filesystem::path dir_, old_;
};

class TBenchWorld {
public:
    platform::fake::FakePlatform Fake;
    platform::sdl::SdlTextRenderer Text;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm2> Form2;

    TBenchWorld() {
        platform::Services s = platform::Current();
        s.Text = &Text;
        platform::Install(s);
        ResetGlobals();
        Application().ResetTerminated();
    }
    ~TBenchWorld() {
        Form2.reset();
        Form1.reset();
        Main.reset();
    }

    // Creates the windows and runs the one-time start-up. Returns false when it failed.
    bool Boot() {
        Main = std::make_unique<TMainForm>();
        Form1 = std::make_unique<TForm1>();
        Form2 = std::make_unique<TForm2>();
        Main->Form1 = Form1.get();
        Main->Form2 = Form2.get();
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
