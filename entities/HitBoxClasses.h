// The game's sprite classes whose hit boxes the collision walk works out in line.
#pragma once

// Registers them with the walk (engine/HitWalk.h); later calls do nothing. The builders
// call it before they make sprites, so every sprite meets the walk with its class known.
void RegisterHitBoxClasses();
