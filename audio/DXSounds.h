// The sound unit: the sound device component, the named wave list with its voice pools,
// and the thin device layer (device object, sound buffers) they stand on.
#pragma once

#include "audio/SoundBuffer.h"
#include "audio/SoundComponent.h"
#include "audio/SoundDevice.h"
#include "audio/WaveCollection.h"
#include "audio/WaveList.h"
