// The whole program on the fake machine: the three windows, a private copy of the data
// folder as the working directory, and helpers to run frames and clock ticks.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "engine/Forms.h"
#include "game/ProgramWindows.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"
#include "platform/fake/FakePlatform.h"
#include "testkit/PlayFolder.h"

class MainFormFixture : public ::testing::Test {
protected:
    platform::fake::FakePlatform fake;
    std::unique_ptr<TPlayFolder> folder;
    std::filesystem::path dir;
    std::unique_ptr<TProgramWindows> windows;
    TMainForm* main = nullptr;
    TForm1* form1 = nullptr;
    TForm2* form2 = nullptr;

    void SetUp() override {
        ResetGlobals();
        RandSeed = 0;  // the scene's stars draw before any re-seed: start every test alike
        Application().ResetTerminated();
        ASSERT_NE(std::getenv("SB_DATA_DIR"), nullptr) << "SB_DATA_DIR names the generated data folder";
        folder = std::make_unique<TPlayFolder>("sb-main");
        dir = folder->Path();
        WriteFile("data/all_qrx/opt.qrx", "0\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
        WriteFile("data/all_qrx/res.qrx", EmptyTable());
    }

    void TearDown() override {
        windows.reset();
        folder.reset();
    }

    static std::string EmptyTable() {
        std::string s;
        for (int i = 0; i < 10; ++i) s += "\xC8\xE3\xF0\xEE\xEA\r\n0\r\n";  // "Игрок" in Windows-1251
        return s + "0\r\n";
    }

    void WriteFile(const std::string& name, const std::string& bytes) { folder->Write(name, bytes); }
    std::string ReadFile(const std::string& name) {
        std::ifstream in(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void Create() {
        windows = std::make_unique<TProgramWindows>();
        main = windows->Main.get();
        form1 = windows->Form1.get();
        form2 = windows->Form2.get();
    }

    // Creates the windows and shows the main one: its first activation runs the start-up.
    void Boot() {
        Create();
        main->Show();
        Application().ProcessMessages();
    }

    // One pass of the loop with `ms` milliseconds gone by: due clock ticks, then a frame.
    void Frame(int ms = 16) {
        fake.Clock.Advance(static_cast<uint64_t>(ms));
        Application().ProcessMessages();
        if (!Application().Terminated()) Application().HandleMessage();
    }
    void Frames(int n, int ms = 16) {
        for (int i = 0; i < n && !Application().Terminated(); ++i) Frame(ms);
    }

    void Key(int vk) {
        fake.Windows.PressKey(vk);
        fake.Windows.ReleaseKey(vk);
        Application().ProcessMessages();
    }
};
