// Sound buffers and music on SDL2_mixer: a buffer is a mixer chunk (duplicates share it),
// every buffer that sounds owns a mixer channel of its own, music is the mixer's music
// stream with its finished hook.
#pragma once

#include <memory>

#include "platform/Audio.h"

namespace platform::sdl {

// The mixer is opened when the first device (or music file) is opened and closed after the
// last one goes. Without a usable audio device OpenDevice answers a failure code and the
// program runs silent; the music then opens existing files silently.
std::unique_ptr<IAudioSystem> CreateAudioSystem();
std::unique_ptr<IMusicSystem> CreateMusicSystem();

}  // namespace platform::sdl
