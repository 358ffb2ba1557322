// Forms and the message loop: a modal window shuts the program's other windows out.
#include "engine/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeWindowSystem.h"

namespace {

// Logs every handler that runs, prefixed with the form's name.
class TLogForm : public TForm {
public:
    TLogForm(std::string name, std::vector<std::string>* log)
        : TForm(name, 200, 100), Name(std::move(name)), Log(log) {}
    std::string Name;
    std::vector<std::string>* Log;

protected:
    void Note(const std::string& what) { Log->push_back(Name + " " + what); }
    void DoActivate() override { Note("activate"); }
    void DoKeyDown(int& key, uint32_t) override { Note("key " + std::to_string(key)); }
    void DoKeyUp(int& key, uint32_t) override { Note("keyup " + std::to_string(key)); }
    void DoKeyPress(std::string& ch) override { Note("char " + ch); }
    void DoMouseMove(int, int) override { Note("move"); }
    void DoMouseDown(int, int, int) override { Note("down"); }
    void DoMouseUp(int, int, int) override { Note("up"); }
    void DoTimer(int) override { Note("timer"); }
    void DoPadDown(int, int) override { Note("pad"); }
};

class ModalTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::Install({.Clock = &clock, .Windows = &ws});
        Application().ResetTerminated();
        Application().ClearIdleHandler();
        main = std::make_unique<TLogForm>("main", &log);
        Application().SetMainForm(main.get());
        dialog = std::make_unique<TLogForm>("dialog", &log);
        main->Show();
        Application().ProcessMessages();
        log.clear();
    }
    void TearDown() override {
        dialog.reset();
        main.reset();
        Application().ResetTerminated();
        platform::Install({});
    }

    // Opens the dialog modally; `inside` runs once the dialog has the focus, and the dialog
    // closes when it returns (after the messages it queued have been handled).
    void RunModal(const std::function<void()>& inside) {
        bool started = false;
        dialog->AddWindowHook(this, [&](const platform::Message& m) {
            if (m.Kind == platform::MsgKind::Activate && !started) {
                started = true;
                inside();
                platform::Message done;
                done.Kind = platform::MsgKind::User;
                done.Window = dialog->Handle();
                done.Param = 42;
                ws.Push(done);
            }
            if (m.Kind == platform::MsgKind::User && m.Param == 42) dialog->Close();
        });
        dialog->ShowModal();
        dialog->RemoveWindowHook(this);
    }
    bool Logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }

    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem ws{clock};
    std::vector<std::string> log;
    std::unique_ptr<TLogForm> main, dialog;
};

TEST_F(ModalTest, OtherWindowsTakeNoInputAndNoActivationWhileItIsOpen) {
    const uint32_t m = main->Handle();
    RunModal([&] {
        ws.SetFocus(m);  // a desktop hands the focus to the clicked main window
        ws.PressKey('3', -1, 0, false, m);
        ws.ReleaseKey('3', -1, 0, m);
        ws.TypeChar("3", m);
        ws.MoveMouse(5, 5, m);
        ws.Click(5, 5, 1, m);
        platform::Message pad;
        pad.Kind = platform::MsgKind::PadDown;
        pad.Window = m;
        ws.Push(pad);
        // The dialog itself still takes everything.
        ws.TypeChar("x", dialog->Handle());
        ws.Click(1, 1, 1, dialog->Handle());
    });
    for (const char* blocked : {"main activate", "main key 51", "main keyup 51", "main char 3", "main move",
                                "main down", "main up", "main pad"})
        EXPECT_FALSE(Logged(blocked)) << blocked;
    EXPECT_TRUE(Logged("dialog char x"));
    EXPECT_TRUE(Logged("dialog down"));
    EXPECT_FALSE(dialog->Visible());

    // Closed: the main window is itself again.
    Application().ProcessMessages();  // focus notices still queued from the modal time
    log.clear();
    ws.SetFocus(m);
    ws.TypeChar("3", m);
    Application().ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"main activate", "main char 3"}));
}

TEST_F(ModalTest, ActivatingOrClickingAnotherWindowBringsTheModalOneBack) {
    const uint32_t m = main->Handle(), d = dialog->Handle();
    std::vector<uint32_t> focus;
    RunModal([&] {
        // With a window manager: the click moves the focus to the main window.
        ws.SetFocus(m);
        Application().ProcessMessages();
        focus.push_back(ws.FocusWindow());
        // On a bare X server the focus stays where it was (here: with another program).
        ws.SetFocus(0);
        ws.Click(5, 5, 1, m);
        Application().ProcessMessages();
        focus.push_back(ws.FocusWindow());
    });
    EXPECT_EQ(focus, (std::vector<uint32_t>{d, d}));
}

TEST_F(ModalTest, TimersOfOtherWindowsStillTick) {
    TTimer timer(main.get(), 100, true);
    RunModal([&] {
        clock.Advance(100);
        Application().ProcessMessages();
    });
    EXPECT_TRUE(Logged("main timer"));
}

}  // namespace
