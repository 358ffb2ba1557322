// A form on the fake window system, scripted joysticks, and an input component on the form.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "engine/Forms.h"
#include "input/DXInput.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeJoystick.h"
#include "platform/fake/FakeWindowSystem.h"

class InputFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::Install({.Clock = &clock, .Windows = &ws, .Joysticks = joysticks()});
        form = std::make_unique<TForm>("Main", 800, 600);
        form->Show();  // takes the focus
        Pump();
    }
    void TearDown() override {
        input.reset();
        form.reset();
        Pump();
        platform::Install({});
    }
    // The joystick system the component sees; tests may install another.
    virtual platform::IJoystickSystem* joysticks() { return &fakeJoysticks; }

    TDXInput& MakeInput(bool gameSettings = true) {
        input = std::make_unique<TDXInput>(form.get());
        if (gameSettings) input->ApplyGameSettings();
        return *input;
    }
    void Pump() { Application().ProcessMessages(); }
    void Press(int vk, int scan = platform::fake::FakeWindowSystem::DefaultScan) {
        ws.PressKey(vk, scan);
        Pump();
    }
    void Release(int vk, int scan = platform::fake::FakeWindowSystem::DefaultScan) {
        ws.ReleaseKey(vk, scan);
        Pump();
    }
    TInputStates Frame() {
        input->Update();
        return input->States;
    }

    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem ws{clock};
    platform::fake::FakeJoystickSystem fakeJoysticks;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TDXInput> input;
};
