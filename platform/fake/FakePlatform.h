// Every fake service in one object, installed as the current platform for a test's life.
#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeJoystick.h"
#include "platform/fake/FakeText.h"
#include "platform/fake/FakeWindowSystem.h"

namespace platform::fake {

struct FakePlatform {
    FakeClock Clock;
    FakeWindowSystem Windows{Clock};
    FakeTextRenderer Text;
    FakeAudioSystem Audio;
    FakeMusicSystem Music;
    FakeJoystickSystem Joysticks;

    FakePlatform() { Install({&Clock, &Windows, &Text, &Audio, &Music, &Joysticks}); }
    ~FakePlatform() { Install({}); }
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;
};

}  // namespace platform::fake
