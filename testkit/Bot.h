// A scripted player for long runs: flies, weaves, fires every weapon, pauses, clears levels,
// dies, enters its record and starts again. Everything it does follows from the frame
// number, so a run can be replayed exactly.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/Forms.h"
#include "entities/Sprites.h"
#include "game/Main.h"
#include "game/Unit2.h"
#include "game/state/Globals.h"
#include "platform/fake/FakePlatform.h"

class TBot {
public:
    // gameLength: frames of play after which the bot lets its ship's energy run out.
    TBot(TForm2& form2, platform::fake::FakePlatform& fake, int64_t gameLength = 4500)
        : form2_(form2), fake_(fake), gameLength_(gameLength) {
        // The result window opens inside a frame; the player clicks " OK " as soon as it shows.
        form2_.AddWindowHook(this, [this](const platform::Message& m) {
            if (m.Kind == platform::MsgKind::Activate) {
                fake_.Windows.Click(TForm2::St1Rect.Left + 5, TForm2::St1Rect.Top + 5, 1, form2_.Handle());
                ++Records;
            }
        });
    }
    ~TBot() { form2_.RemoveWindowHook(this); }

    int GamesStarted = 0;
    int GameOvers = 0;
    int LevelsCleared = 0;
    int Records = 0;

    // Acts for frame n (before the frame runs).
    void Act(int64_t n) {
        const int state = GameState;
        if (state != lastState_) {
            if (state == gsPlaying && lastState_ == gsMenu) {
                ++GamesStarted;
                gameFrames_ = 0;
            }
            if (state == gsScores && lastState_ == gsPlaying) ++GameOvers;
            if (state == gsLevelDone) ++LevelsCleared;
            lastState_ = state;
            since_ = 0;
        }
        ++since_;
        if (state != gsPlaying) {
            Release(32);
            Release(38);
            Release(40);
            if (since_ % 10 == 0) {
                if (state == gsMenu || state == gsPauseMenu) MenuIndex = 1;
                Tap(13);
            }
            return;
        }
        ++gameFrames_;
        Hold(32);                           // main gun all the time
        const bool up = (n / 60) % 2 == 0;  // weave
        Hold(up ? 38 : 40);
        Release(up ? 40 : 38);
        if (n % 200 == 100) Tap(88);  // special weapon (X)
        if (n % 500 == 250) Tap(9);   // next special weapon (Tab)
        if (n % 700 == 350) fake_.Windows.TypeChar(std::to_string(1 + (n / 700) % 3));
        if (n % 1500 == 1400) {  // pause, then continue
            Tap(27);
            Tap(13);
        }
        if (gameFrames_ % 600 == 300 && Score < Level * 1000 - 3) Score = Level * 1000 - 3;  // near the next level
        if (gameFrames_ == gameLength_) Energy = 0.3;                                        // the end of this game
    }

private:
    void Hold(int vk) {
        if (!down_[vk]) fake_.Windows.PressKey(vk);
        down_[vk] = true;
    }
    void Release(int vk) {
        if (down_[vk]) fake_.Windows.ReleaseKey(vk);
        down_[vk] = false;
    }
    void Tap(int vk) {
        fake_.Windows.PressKey(vk);
        fake_.Windows.ReleaseKey(vk);
        Application().ProcessMessages();
    }

    TForm2& form2_;
    platform::fake::FakePlatform& fake_;
    bool down_[256] = {};
    int lastState_ = -1;
    int64_t since_ = 0;
    int64_t gameFrames_ = 0;
    int64_t gameLength_;
};

// FNV-1a over the play state and every sprite's place and picture.
inline uint64_t StateDigest(TMainForm& main, uint64_t h = 1469598103934665603ull) {
    auto mix = [&](const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    };
    auto mixInt = [&](int64_t v) { mix(&v, sizeof v); };
    auto mixDouble = [&](double v) { mix(&v, sizeof v); };
    mixInt(GameState);
    mixInt(Level);
    mixInt(Score);
    mixDouble(Energy);
    mixInt(Weapon);
    mixInt(Ammo[1]);
    mixInt(Ammo[2]);
    mixInt(Ammo[3]);
    mixInt(ShieldTime);
    mixInt(MenuIndex);
    mixDouble(TargetY);
    TSpriteEngine* engine = main.SpriteEngine();
    mixInt(engine->Count());
    for (int i = 0; i < engine->Count(); ++i) {
        auto* s = static_cast<TImageSprite*>(engine->Items(i));
        mixDouble(s->X);
        mixDouble(s->Y);
        mixInt(s->Z());
        if (s->Image) mix(s->Image->Name().data(), s->Image->Name().size());
    }
    return h;
}
