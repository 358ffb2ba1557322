// The real machine's services, created in dependency order and torn down in reverse.
#include "platform/sdl/SdlPlatform.h"

#include <iostream>

#include "platform/Audio.h"
#include "platform/Input.h"
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/SdlClock.h"
#include "platform/sdl/SdlGamepad.h"
#include "platform/sdl/SdlJoystick.h"
#include "platform/sdl/SdlText.h"
#include "platform/sdl/SdlWindowSystem.h"

namespace platform::sdl {

struct SdlPlatform::Parts {
    std::unique_ptr<SdlClock> Clock;
    std::unique_ptr<SdlWindowSystem> Windows;
    std::unique_ptr<SdlTextRenderer> Text;
    std::unique_ptr<IAudioSystem> Audio;
    std::unique_ptr<IMusicSystem> Music;
    std::unique_ptr<SdlGamepadSystem> Gamepads;
    std::unique_ptr<IJoystickSystem> Joysticks;
};

SdlPlatform::SdlPlatform() : parts_(std::make_unique<Parts>()) {
    parts_->Clock = std::make_unique<SdlClock>();
    parts_->Windows = std::make_unique<SdlWindowSystem>();
    parts_->Text = std::make_unique<SdlTextRenderer>();
    parts_->Audio = CreateAudioSystem();
    parts_->Music = CreateMusicSystem();
    // Pads first: the joystick system leaves out the devices the pad system reads.
    parts_->Gamepads = std::make_unique<SdlGamepadSystem>(std::cerr);
    parts_->Joysticks = CreateJoystickSystem();
    SdlWindowSystem* ws = parts_->Windows.get();
    SdlGamepadSystem* pads = parts_->Gamepads.get();
    ws->SetEventHook(
        [ws, pads](const SDL_Event& e) { pads->HandleEvent(e, [ws](Message m) { ws->PushInput(std::move(m)); }); });
    services_.Clock = parts_->Clock.get();
    services_.Windows = parts_->Windows.get();
    services_.Text = parts_->Text.get();
    services_.Audio = parts_->Audio.get();
    services_.Music = parts_->Music.get();
    services_.Joysticks = parts_->Joysticks.get();
    services_.Gamepads = parts_->Gamepads.get();
    Install(services_);
}

SdlPlatform::~SdlPlatform() {
    Install({});
    parts_->Windows->SetEventHook(nullptr);
    parts_->Joysticks.reset();
    parts_->Gamepads.reset();
    parts_->Music.reset();
    parts_->Audio.reset();
    parts_->Text.reset();
    parts_->Windows.reset();
    parts_->Clock.reset();
}

}  // namespace platform::sdl
