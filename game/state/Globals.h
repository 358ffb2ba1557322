// The play state shared by the main window's handlers and the sprite classes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class TPlayerSprite;

enum TGameState : int {
    gsMenu = 0,
    gsPlaying = 1,
    gsPauseMenu = 2,
    gsLevelDone = 3,
    gsScreenAu = 4,
    gsScreenRead = 5,
    gsScreenRb5 = 7,
    gsScores = 10,
};

extern int GameState;
extern int MenuIndex;
extern int Level;
extern int Score;
extern double Energy;
extern int Weapon;
extern std::array<int, 4> Ammo;  // Ammo[1..3]; [0] unused
extern int ShieldTime;
extern bool FireReady;
extern int SwitchDelay;
extern int AnimFrame;
extern bool EnemyFireOn;
extern int TickCount;
extern bool CheatMode;
extern bool MusicOn;
extern TPlayerSprite* PlayerSprite;
extern double TargetY;
extern double HudPanelY;
extern double LevelPanelX;
extern int ScoresPanelX;
extern int AuPanelGap;
extern int ReadPanelGap;
extern int Rb5PanelGap;
extern std::array<std::string, 11> ScoreNames;  // [1..10], UTF-8
extern std::array<int32_t, 11> ScoreValues;     // [1..10]
extern std::array<int32_t, 11> Options;         // [1..10]
extern bool AssetsLoaded;
extern const std::array<std::string, 9> EnemyNames;
extern const std::array<std::string, 4> ShotNames;
extern int GunType;

// Puts every global back to its value at program start (tests start from a clean state).
void ResetGlobals();

// Round to nearest, halves to even (the runtime's Round).
int64_t RoundHalfEven(double v);
