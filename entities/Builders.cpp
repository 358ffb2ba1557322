// The scene and wave builders.
#include "entities/Builders.h"

#include <stdexcept>

#include "entities/HitBoxClasses.h"
#include "entities/Sprites.h"
#include "game/state/GameHost.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"

namespace {

TSpriteEngine* HostEngine() {
    IGameHost* host = GameHost();
    TSpriteEngine* engine = host ? host->SpriteEngine() : nullptr;
    if (!engine) throw std::logic_error("No sprite engine to build on");
    return engine;
}

}  // namespace

void BuildScene() {
    TSpriteEngine* engine = HostEngine();
    RegisterHitBoxClasses();
    for (int i = 0; i < kStarCount; ++i) TNewSprite::CreateForScene(engine);
    for (int kind = 1; kind <= kPanelCount; ++kind) TNSprite::CreateForScene(engine, kind);
    PlayerSprite = TPlayerSprite::CreateForScene(engine);
}

void BuildWave() {
    TSpriteEngine* engine = HostEngine();
    RegisterHitBoxClasses();
    Randomize();
    const int bonuses = 2 * Level + 1;
    for (int i = 0; i < bonuses; ++i) TBonSprite::CreateForWave(engine);
    for (int i = 0; i < kWaveEnemyCount; ++i) TMonoSprite::CreateForWave(engine);
}
