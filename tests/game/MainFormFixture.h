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
#include "game/Main.h"
#include "game/Unit1.h"
#include "game/Unit2.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"
#include "platform/fake/FakePlatform.h"

class MainFormFixture : public ::testing::Test {
protected:
    platform::fake::FakePlatform fake;
    std::filesystem::path dir;
    std::filesystem::path oldCwd;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;

    void SetUp() override {
        ResetGlobals();
        RandSeed = 0;  // the scene's stars draw before any re-seed: start every test alike
        Application().ResetTerminated();
        const char* data = std::getenv("SB_DATA_DIR");
        ASSERT_NE(data, nullptr) << "SB_DATA_DIR names the generated data folder";
        static int serial = 0;
        dir = std::filesystem::temp_directory_path() /
              ("sb-main-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::filesystem::copy(data, dir / "data", std::filesystem::copy_options::recursive);
        oldCwd = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        WriteFile("data/all_qrx/opt.qrx", "0\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
        WriteFile("data/all_qrx/res.qrx", EmptyTable());
    }

    void TearDown() override {
        form2.reset();
        form1.reset();
        main.reset();
        std::filesystem::current_path(oldCwd);
        std::filesystem::remove_all(dir);
    }

    static std::string EmptyTable() {
        std::string s;
        for (int i = 0; i < 10; ++i) s += "\xC8\xE3\xF0\xEE\xEA\r\n0\r\n";  // "Игрок" in Windows-1251
        return s + "0\r\n";
    }

    void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string ReadFile(const std::string& name) {
        std::ifstream in(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void Create() {
        main = std::make_unique<TMainForm>();
        form1 = std::make_unique<TForm1>();
        form2 = std::make_unique<TForm2>();
        main->Form1 = form1.get();
        main->Form2 = form2.get();
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
