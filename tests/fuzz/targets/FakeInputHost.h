// The input component on a form of the fake window system, with a force-feedback wheel
// plugged in, made once for a whole fuzzing run.
#pragma once

#include <algorithm>
#include <memory>

#include "engine/Forms.h"
#include "input/DXInput.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeJoystick.h"
#include "platform/fake/FakeWindowSystem.h"

struct FakeInputHost {
    FakeInputHost() {
        wheel = joysticks.Add("Wheel", 2, 8, 1, true);
        platform::Install({.Clock = &clock, .Windows = &windows, .Joysticks = &joysticks});
        form = std::make_unique<TForm>("Main", 800, 600);
        form->Show();
        Application().ProcessMessages();
        input = std::make_unique<TDXInput>(form.get());
        input->ApplyGameSettings();
    }

    // The recording device keeps every effect ever made: forget the ones already gone so a
    // long run does not grow without bound.
    void ForgetDeadEffects() {
        auto& records = wheel->Haptic->Effects;
        std::erase_if(records, [](const auto& r) { return r->Destroyed; });
        for (auto& r : records) r->Updates.clear();
    }

    static FakeInputHost& Get() {
        // Never destroyed: the run ends with exit(), and the tree must outlive every input.
        static FakeInputHost* host = new FakeInputHost;
        return *host;
    }

    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem windows{clock};
    platform::fake::FakeJoystickSystem joysticks;
    std::shared_ptr<platform::fake::FakeJoystickDevice> wheel;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TDXInput> input;
};
