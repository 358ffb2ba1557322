// A stand-in main window for the sprite tests: the game's image names with chosen sizes, an
// engine, scripted input, recorded sounds and a fixed clock for the generator's re-seeds.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/DXDraws.h"
#include "engine/DXSprite.h"
#include "entities/Builders.h"
#include "entities/HitBoxClasses.h"
#include "entities/SpriteNames.h"
#include "entities/Sprites.h"
#include "game/state/GameHost.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"
#include "platform/Picture.h"
#include "platform/fake/FakeWindowSystem.h"

// A high-resolution counter that moves on by a fixed step at every reading, as a real one
// moves on between two enemies' re-seeds.
class TCountingClock : public platform::IClock {
public:
    uint64_t Counter = 0x123456789ULL;
    uint64_t Step = 7919;
    uint32_t Milliseconds() override { return static_cast<uint32_t>(Counter / 10000); }
    bool PerformanceCounter(uint64_t& value) override {
        value = Counter;
        Counter += Step;
        return true;
    }
    void Sleep(int) override {}
};

class TTestHost : public IGameHost {
public:
    TTestHost() {
        RegisterHitBoxClasses();  // as the builders do, so the sprites made here meet the same walk
        for (const auto& [name, w, h] : Catalogue()) {
            TPictureCollectionItem* item = Images.Add(name);
            platform::Picture picture;
            picture.Image = platform::Bitmap(w, h, 8);
            picture.Image.Palette()[1] = {255, 255, 255};
            picture.Image.Fill(1);  // opaque all over: the pixel test agrees with the boxes
            item->SetPicture(std::move(picture));
        }
        saved_ = platform::Current();
        platform::Services s = saved_;
        s.Clock = &Clock;
        s.Windows = &Windows;
        platform::Install(s);
        // The pictures are drawn and hit-tested through their patterns, which a display's
        // restore builds, as in the game.
        Form = std::make_unique<TForm>("host", 800, 600);
        Display = std::make_unique<TDXDraw>(Form.get());
        Display->Display().SetBitCount(32);
        Display->Initialize();
        Images.Initialize(Display.get());
        Images.Restore();
        SetGameHost(this);
    }
    ~TTestHost() override {
        SetGameHost(nullptr);
        Engine.Clear();
        Images.Finalize();
        Display.reset();
        Form.reset();
        platform::Install(saved_);
    }

    struct TEntry {
        std::string Name;
        int W, H;
    };
    // Every picture the game names; the ship's shield pictures are wider than its normal ones
    // so that a test can tell which width a muzzle used.
    static std::vector<TEntry> Catalogue() {
        std::vector<TEntry> list;
        auto add = [&](const std::string& base, int from, int to, int w, int h) {
            for (int i = from; i <= to; ++i) list.push_back({base + std::to_string(i), w, h});
        };
        add("Player", 1, 3, 100, 60);
        add("playerg", 1, 3, 120, 70);
        add("Ufo", 1, 3, 60, 40);
        add("Nex", 1, 3, 50, 40);
        add("Disp", 1, 3, 50, 40);
        add("bss", 1, 3, 70, 50);
        add("sdsa", 1, 3, 70, 50);
        add("hunt", 1, 3, 70, 50);
        add("Bug", 1, 3, 40, 40);
        add("gad", 1, 3, 90, 60);
        add("bos", 1, 3, 120, 90);
        add("b", 1, 9, 64, 64);
        add("bo", 1, 9, 96, 96);
        add("bb", 1, 6, 32, 32);
        list.push_back({"Star", 2, 2});
        list.push_back({"Pula1", 20, 8});
        add("pula", 2, 7, 16, 8);
        add("PUS", 1, 3, 30, 12);
        add("Panel", 1, 3, 800, 80);
        add("rm", 1, 6, 400, 600);
        list.push_back({"Q1", 400, 600});
        add("rb", 1, 5, 400, 600);
        add("lvl", 1, 2, 400, 600);
        list.push_back({"Au1", 400, 600});
        list.push_back({"Read", 400, 600});
        for (int k = 1; k <= 4; ++k) add("bon" + std::to_string(k), 1, 3, 30, 30);
        return list;
    }

    TPictureCollectionItem* FindImage(std::string_view name) override { return Images.Find(name); }
    void PlayCue(std::string_view name) override { Cues.emplace_back(name); }
    bool InputHeld(int state) override { return Held.count(state) != 0; }
    int JoystickX() override { return JoyX; }
    int JoystickY() override { return JoyY; }
    TSpriteEngine* SpriteEngine() override { return &Engine; }
    void SetFinalScoreText(const std::string& text) override { Label = text; }
    std::string FinalScoreText() override { return Label; }
    void MusicStop() override { ++MusicStops; }
    void StopTimers() override { TimersStopped = true; }
    void ShowResultEntry() override {
        ++ResultEntries;
        TimersStoppedAtEntry = TimersStopped;
    }

    // One frame of the engine: move with the lag count, then free what died.
    void Frame(int elapsed = 16) {
        Engine.Move(elapsed);
        Engine.Sweep();
    }
    template <class T>
    std::vector<T*> All() {
        std::vector<T*> out;
        for (int i = 0; i < Engine.Count(); ++i)
            if (auto* s = dynamic_cast<T*>(Engine.Items(i))) out.push_back(s);
        return out;
    }
    int CountCue(const std::string& name) const {
        int n = 0;
        for (const auto& c : Cues) n += c == name;
        return n;
    }

    platform::fake::FakeClock WindowClock;
    platform::fake::FakeWindowSystem Windows{WindowClock};
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TDXDraw> Display;
    TPictureCollection Images;
    TSpriteEngine Engine;
    TCountingClock Clock;
    std::vector<std::string> Cues;
    std::set<int> Held;
    int JoyX = 0, JoyY = 0;
    std::string Label;
    int MusicStops = 0;
    bool TimersStopped = false;
    bool TimersStoppedAtEntry = false;
    int ResultEntries = 0;

private:
    platform::Services saved_;
};

// Every test starts from the program's initial globals and a fixed seed.
class EntitiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGlobals();
        RandSeed = 20240601u;
    }
    void TearDown() override { ResetGlobals(); }

    // An enemy placed by hand, sized like every enemy ("Ufo1").
    TMonoSprite* Enemy(int kind, double x, double y = 200, int speedFactor = 1) {
        auto* e = new TMonoSprite(&host.Engine);
        SetImageAndSize(e, "Ufo1");
        e->SetZ(2);
        e->Kind = kind;
        e->SpeedFactor = speedFactor;
        e->X = x;
        e->Y = y;
        return e;
    }

    TTestHost host;
};
