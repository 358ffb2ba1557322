// The game window: owns every component, runs the frame step, the game clock, the keys,
// the one-time start-up and the scene and wave builders.
#pragma once

#include <memory>
#include <string>

#include "audio/DXSounds.h"
#include "audio/MPlayer.h"
#include "engine/DXClass.h"
#include "engine/DXDraws.h"
#include "engine/DXSprite.h"
#include "engine/DXTimer.h"
#include "game/state/GameHost.h"
#include "input/DXInput.h"

class TForm1;
class TForm2;

// The character that sets the cheat (lower case only; nothing else handles it).
inline constexpr char CheatKey = 'c';

class TMainForm : public TDXForm, public IGameHost {
public:
    TMainForm();
    ~TMainForm() override;

    // Components, in the order of the window's design data. Declared so that destruction
    // runs from the sprites down to the display.
    std::unique_ptr<TDXDraw> DXDraw;
    std::unique_ptr<TDXImageList> ImageList;
    std::unique_ptr<TDXSound> DXSound;
    std::unique_ptr<TDXWaveList> DXWaveList;
    std::unique_ptr<TMediaPlayer> Mp1;
    std::unique_ptr<TDXInput> DXInput;
    std::unique_ptr<TDXSpriteEngine> DXSpriteEngine;
    std::unique_ptr<TTimer> Timer1;
    std::unique_ptr<TDXTimer> DXTimer;
    std::string Label1Caption = "100";

    // The other two windows (created after this one by the program).
    TForm1* Form1 = nullptr;
    TForm2* Form2 = nullptr;

    // Handlers.
    void DXTimerTimer(int lagCount);
    void Timer1Timer();
    void DXTimerActivate();
    void DXTimerDeactivate();
    void Mp1Notify();
    void FormCreate();
    void FormActivate();
    void FormKeyDown(int key, uint32_t shift);
    void FormKeyPress(const std::string& ch);
    void Button1Click();  // the wave of the current level
    void Button2Click();  // the scene: stars, panels, the ship

    // IGameHost
    TPictureCollectionItem* FindImage(std::string_view name) override;
    void PlayCue(std::string_view name) override;
    bool InputHeld(int state) override;
    int JoystickX() override;
    int JoystickY() override;
    TSpriteEngine* SpriteEngine() override;
    void SetFinalScoreText(const std::string& text) override { Label1Caption = text; }
    std::string FinalScoreText() override { return Label1Caption; }
    void MusicStop() override;
    void StopTimers() override;
    void ShowResultEntry() override;

    // The program ends because of a check or a failure (missing file, tampered table, a
    // start-up error), not by the player's choice.
    bool EndedWithError() const { return failed_; }

    // Frames the step has drawn (for the benchmark and tests).
    int FramesDrawn() const { return framesDrawn_; }

    // The window system switched the window to full screen or back (Alt+Enter, F11): the
    // next start keeps the choice.
    void FullScreenChanged(bool on);
    void HandleMessage(const platform::Message& msg) override;

protected:
    void DoShow() override;
    void DoActivate() override { FormActivate(); }
    void DoClose(TCloseAction& action) override;
    void DoKeyDown(int& key, uint32_t shift) override {
        lastPad_ = -1;  // the keyboard is in use
        FormKeyDown(key, shift);
    }
    // Pad presses reach FormKeyDown as the keys they stand for (game/PadKeys.cpp).
    void DoPadDown(int button, int pad) override;
    void DoKeyPress(std::string& ch) override { FormKeyPress(ch); }
    void DoMouseMove(int, int) override;

private:
    // A pad pulled out while it was the input in use pauses the game.
    void InstallPadHooks();
    void RemovePadHooks();
    void PadRemoved(int pad);
    int lastPad_ = -1;  // the pad that gave the last input; -1: the keyboard, or none yet

    void StartUp();
    // The pictures of the loading steps firstStep to lastStep (game/ImageTable.h).
    void LoadImages(char firstStep, char lastStep);
    void NewGame();
    void RequestClose();
    void VerifyScoreTable(bool startUp);
    void BuildImageCatalogue();
    void BuildWaveList();
    // The settings' music and effect volumes, to the devices.
    void ApplyVolumes();
    bool inFrame_ = false;
    bool musicLowered_ = false;
    bool failed_ = false;
    int framesDrawn_ = 0;
};

extern TMainForm* MainForm;

// How loud the music stays, in percent of its setting, while the window is in the background
// with pause_on_focus_loss on.
inline constexpr int FocusLostMusicPercent = 30;

// The window's caption from its design data (TextId::MainCaption) is in the table of texts.
