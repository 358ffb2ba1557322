// The play state shared by the main window's handlers and the sprite classes.
#include "game/state/Globals.h"

#include <cmath>

int GameState = 0;
int MenuIndex = 1;
int Level = 1;
int Score = 0;
double Energy = 100.0;
int Weapon = 1;
std::array<int, 4> Ammo{};
int ShieldTime = 0;
bool FireReady = true;
int SwitchDelay = 0;
int AnimFrame = 1;
bool EnemyFireOn = false;
int TickCount = 0;
bool CheatMode = false;
bool MusicOn = false;
TPlayerSprite* PlayerSprite = nullptr;
double TargetY = 300.0;
double HudPanelY = -1000.0;
double LevelPanelX = 0.0;
int ScoresPanelX = 0;
int AuPanelGap = 0;
int ReadPanelGap = 0;
int Rb5PanelGap = 0;
std::array<std::string, 11> ScoreNames;
std::array<int32_t, 11> ScoreValues{};
std::array<int32_t, 11> Options{};
bool AssetsLoaded = false;
const std::array<std::string, 9> EnemyNames = {"Ufo", "nex", "Disp", "Bss", "sdsa", "hunt", "bug", "gad", "bos"};
const std::array<std::string, 4> ShotNames = {"Pula1", "Roket", "laser", "?"};
int GunType = 0;

void ResetGlobals() {
    GameState = 0;
    MenuIndex = 1;
    Level = 1;
    Score = 0;
    Energy = 100.0;
    Weapon = 1;
    Ammo = {};
    ShieldTime = 0;
    FireReady = true;
    SwitchDelay = 0;
    AnimFrame = 1;
    EnemyFireOn = false;
    TickCount = 0;
    CheatMode = false;
    MusicOn = false;
    PlayerSprite = nullptr;
    TargetY = 300.0;
    HudPanelY = -1000.0;
    LevelPanelX = 0.0;
    ScoresPanelX = 0;
    AuPanelGap = 0;
    ReadPanelGap = 0;
    Rb5PanelGap = 0;
    ScoreNames = {};
    ScoreValues = {};
    Options = {};
    AssetsLoaded = false;
    GunType = 0;
}

int64_t RoundHalfEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }
