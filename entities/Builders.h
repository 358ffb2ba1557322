// The scene builder (stars, panels, ship; once per run) and the wave builder (one level's
// bonuses and enemies), behind the main window's hidden buttons.
#pragma once

// 301 stars, the thirteen panels and the ship (kept in PlayerSprite), on the host's engine.
void BuildScene();

// Re-seeds the generator, then 2 * Level + 1 bonuses and 501 enemies of kinds 0..Level - 1.
void BuildWave();

constexpr int kStarCount = 301;
constexpr int kPanelCount = 13;
constexpr int kWaveEnemyCount = 501;
