// The screen panels.
#include "entities/NSprite.h"

#include <array>

#include "entities/SpriteNames.h"
#include "game/state/Globals.h"

namespace {

struct TPanelStart {
    const char* Picture;
    double X, Y;
    int Z;
};

// Kinds 7, 10 and 12 have no role and stay where they start.
constexpr std::array<TPanelStart, 13> kPanelStarts = {{
    {"panel1", 0, 810, 3},  // 1 head-up display
    {"q1", -400, 0, 3},     // 2 main-menu frame
    {"q1", 800, 0, 3},      // 3 main-menu entries
    {"rb1", 800, 0, 3},     // 4 pause-menu entries
    {"lvl1", -400, 0, 3},   // 5 level-complete banner
    {"rm1", 800, 0, 3},     // 6 level-complete picture
    {"panel1", 0, 810, 3},  // 7
    {"q1", 800, 0, 5},      // 8 "au1" screen
    {"q1", 800, 0, 5},      // 9 "read" screen
    {"q1", -400, 0, 5},     // 10
    {"rb4", 800, 0, 5},     // 11 "rb5" screen
    {"panel1", 0, 810, 3},  // 12
    {"rb1", 800, 0, 5},     // 13 score table
}};

constexpr double kStep = 5;

// Slides toward `target` from the right (X above it) by one step.
void SlideLeftTo(double& x, double target) {
    if (x > target) x = x - kStep;
}
void SlideRightTo(double& x, double target) {
    if (x < target) x = x + kStep;
}

int Gap(double x) { return 400 - static_cast<int>(RoundHalfEven(x)); }

}  // namespace

TNSprite* TNSprite::CreateForScene(TSprite* parent, int kind) {
    auto* s = new TNSprite(parent);
    SetImage(s, "panel1");
    s->X = 0.0;
    s->Y = 810.0;
    s->SetZ(3);
    s->Kind = kind;
    const TPanelStart& start = kPanelStarts[static_cast<size_t>(kind >= 1 && kind <= 13 ? kind - 1 : 6)];
    SetImage(s, start.Picture);
    s->X = start.X;
    s->Y = start.Y;
    s->SetZ(start.Z);
    SetImageAndSize(s, start.Picture);
    return s;
}

void TNSprite::Advance(int elapsed) {
    static const TNumberedNames hudNames("Panel", 1, 3);
    static const TNumberedNames mainMenuNames("rm", 1, 6);
    static const TNumberedNames pauseMenuNames("rb", 1, 3);

    TImageSprite::Advance(elapsed);
    ExactHits = true;
    const int gs = GameState;

    switch (Kind) {
        case 1:
            if (gs == gsPlaying) {
                SetImage(this, hudNames(Weapon));
                if (Y > 520) Y = Y - 1;
                HudPanelY = Y;
            }
            if (gs == gsMenu || gs == gsPauseMenu || gs == gsLevelDone) {
                if (Y < 800) {
                    Y = Y + 1;
                    HudPanelY = Y;
                }
            }
            break;
        case 2:
            if (gs == gsPlaying) SlideLeftTo(X, -400);
            if (gs == gsMenu) {
                SlideRightTo(X, 0);
                SetImage(this, "q1");
            }
            if (gs == gsPauseMenu || gs == gsLevelDone) SlideLeftTo(X, -400);
            break;
        case 3:
            if (gs == gsPlaying) SlideRightTo(X, 800);
            if (gs == gsMenu) {
                SlideLeftTo(X, 400);
                SetImage(this, mainMenuNames(MenuIndex));
            }
            if (gs == gsPauseMenu || gs == gsLevelDone) SlideRightTo(X, 800);
            break;
        case 4:
            if (gs == gsPauseMenu) {
                SlideLeftTo(X, 400);
                SetImage(this, pauseMenuNames(MenuIndex));
            } else {
                SlideRightTo(X, 800);
            }
            break;
        case 8:
            if (gs == gsScreenAu) {
                SlideLeftTo(X, 400);
                SetImage(this, "au1");
                AuPanelGap = Gap(X);
            } else {
                SlideRightTo(X, 800);
            }
            break;
        case 9:
            if (gs == gsScreenRead) {
                SlideLeftTo(X, 400);
                SetImage(this, "read");
                ReadPanelGap = Gap(X);
            } else {
                SlideRightTo(X, 800);
            }
            break;
        case 11:
            if (gs == gsScreenRb5) {
                SlideLeftTo(X, 400);
                SetImage(this, "rb5");
                Rb5PanelGap = Gap(X);
            } else {
                SlideRightTo(X, 800);
            }
            break;
        case 13:
            if (gs == gsScores) {
                SlideLeftTo(X, 400);
                SetImage(this, "rb4");
            } else {
                SlideRightTo(X, 800);
            }
            ScoresPanelX = static_cast<int>(RoundHalfEven(X));
            break;
        case 5:
            if (gs == gsLevelDone) {
                SlideRightTo(X, 0);
                SetImage(this, "lvl1");
            } else {
                SlideLeftTo(X, -400);
            }
            LevelPanelX = X;
            break;
        case 6:
            if (gs == gsLevelDone) {
                SlideLeftTo(X, 400);
                SetImage(this, "lvl2");
            } else {
                SlideRightTo(X, 800);
            }
            break;
        default: break;
    }

    if (gs != gsScreenAu) AuPanelGap = -100;
    if (gs != gsScreenRead) ReadPanelGap = -100;
    if (gs != gsScreenRb5) Rb5PanelGap = -100;
}
