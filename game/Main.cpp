// The game window: components, frame step, game clock, keys, start-up, builders.
#include "game/Main.h"

#include <charconv>
#include <cstdio>

#include "entities/Builders.h"
#include "game/ImageTable.h"
#include "game/Unit1.h"
#include "game/Unit2.h"
#include "game/assets/Assets.h"
#include "game/files/OptionsFile.h"
#include "game/files/ScoreFile.h"
#include "game/state/Globals.h"
#include "game/texts/Texts.h"
#include "platform/Audio.h"
#include "platform/Files.h"
#include "platform/Language.h"
#include "platform/ScopeExit.h"
#include "platform/Settings.h"

TMainForm* MainForm = nullptr;

namespace {

constexpr int VK_RETURN = 13, VK_ESCAPE = 27, VK_UP = 38, VK_DOWN = 40;

std::string Num(int64_t v) { return std::to_string(v); }

}  // namespace

TMainForm::TMainForm() : TDXForm(texts::Get(texts::TextId::MainCaption), 800, 600) {
    MainForm = this;
    SetGameHost(this);

    DXDraw = std::make_unique<TDXDraw>(this);
    DXDraw->AutoInitialize = true;
    DXDraw->AutoSize = false;
    DXDraw->Display().SetWidth(800);
    DXDraw->Display().SetHeight(600);
    DXDraw->Display().FixedBitCount = true;
    DXDraw->Display().FixedRatio = true;
    DXDraw->Display().FixedSize = false;
    DXDraw->SetSurfaceWidth(800);
    DXDraw->SetSurfaceHeight(600);
    DXDraw->SetOptions({doFlip, doSelectDriver});
    DXDraw->OnInitialize = [this] { DXTimer->SetEnabled(true); };
    DXDraw->OnFinalize = [this] { DXTimer->SetEnabled(false); };

    ImageList = std::make_unique<TDXImageList>(this);
    BuildImageCatalogue();
    ImageList->SetDXDraw(DXDraw.get());

    DXSound = std::make_unique<TDXSound>(this);
    DXSound->AutoInitialize = true;
    DXWaveList = std::make_unique<TDXWaveList>(this);
    BuildWaveList();
    DXWaveList->SetDXSound(DXSound.get());

    Mp1 = std::make_unique<TMediaPlayer>(this, "Mp1");
    Mp1->FileName = "Data\\All_mp3\\Music.MP3";
    Mp1->Visible = false;
    Mp1->OnNotify = [this](TMediaPlayer&) { Mp1Notify(); };

    DXInput = std::make_unique<TDXInput>(this);

    DXSpriteEngine = std::make_unique<TDXSpriteEngine>(this);
    DXSpriteEngine->SetDXDraw(DXDraw.get());

    Timer1 = std::make_unique<TTimer>(this, 100, true);
    Timer1->OnTimer = [this] { Timer1Timer(); };

    DXTimer = std::make_unique<TDXTimer>(this);
    DXTimer->BeginLoading();
    DXTimer->SetActiveOnly(false);
    DXTimer->SetInterval(0);
    DXTimer->SetEnabled(true);
    DXTimer->OnTimer = [this](TDXTimer*, int lag) { DXTimerTimer(lag); };
    DXTimer->OnActivate = [this](TDXTimer*) { DXTimerActivate(); };
    DXTimer->OnDeactivate = [this](TDXTimer*) { DXTimerDeactivate(); };

    FormCreate();

    // The design data has been read: devices open and the frame timer starts.
    ApplyVolumes();
    DXSound->Loaded();
    DXInput->ApplyGameSettings();
    DXTimer->Loaded();
    InstallPadHooks();
}

TMainForm::~TMainForm() {
    RemovePadHooks();
    // The display finalises in its own destructor, after the timer is gone.
    DXDraw->OnInitialize = nullptr;
    DXDraw->OnFinalize = nullptr;
    DXTimer->SetEnabled(false);
    // Sprites go before the pictures they show.
    DXSpriteEngine.reset();
    if (MainForm == this) MainForm = nullptr;
    if (GameHost() == this) SetGameHost(nullptr);
}

void TMainForm::BuildImageCatalogue() {
    TPictureCollection& items = ImageList->Items();
    for (const ImageEntry& e : ImageTable()) {
        TPictureCollectionItem* item = items.Add(e.Name);
        item->SetTransparent(e.Transparent);
        item->SetTransparentColor(e.TransparentColor);
        item->SetPatternWidth(e.PatternWidth);
        item->SetPatternHeight(e.PatternHeight);
    }
    assets::Blob au1 = assets::Au1Jpeg(platform::LanguageCode(platform::CurrentLanguage()));
    if (au1.Data) items.Find("Au1")->SetPictureFromBytes(std::vector<uint8_t>(au1.Data, au1.Data + au1.Size));
}

void TMainForm::BuildWaveList() {
    TWaveCollection& items = DXWaveList->Items();
    for (const std::string& name : assets::WaveNames()) {
        TWaveCollectionItem* item = items.Add();
        item->SetName(name);
        assets::Blob riff = assets::Wave(name);
        if (riff.Data) item->Wave().LoadFromBytes(riff.Data, riff.Size);
    }
}

// ---------------------------------------------------------------------------------------
// Start-up

void TMainForm::FormCreate() {
    ShieldTime = 0;
    AssetsLoaded = false;
    TickCount = 0;
    CheatMode = false;
    Weapon = 1;
    TargetY = 300.0;
    DXDraw->SetCursor(crNone);
    Score = 0;
    Energy = 100.0;
    FireReady = true;
    ImageList->Items().BuildColorTable();
    DXDraw->ColorTable = ImageList->Items().ColorTable;
    DXDraw->DefaultColors = ImageList->Items().ColorTable;
    DXDraw->UpdatePalette();
    MenuIndex = 1;
}

void TMainForm::DoShow() { DXDraw->FormShown(); }

void TMainForm::RequestClose() {
    failed_ = true;
    platform::Message m;
    m.Kind = platform::MsgKind::Close;
    m.Window = Handle();
    platform::Current().Windows->PostMessage(m);
}

void TMainForm::FormActivate() {
    DXTimer->SetEnabled(true);
    DXDraw->SetCursor(crNone);
    Timer1->SetEnabled(true);
    const bool startUp = !AssetsLoaded;
    if (startUp) {
        try {
            StartUp();
        } catch (const std::exception& e) {
            // A half-loaded game cannot be played: report and end.
            Application().ShowException(e);
            failed_ = true;
            Close();
            return;
        }
    }
    // Also after a missing file's close request: the table gets its check either way, so a
    // tampered one is reported too.
    if (Application().Terminated()) return;
    VerifyScoreTable(startUp);
}

void TMainForm::VerifyScoreTable(bool startUp) {
    int32_t check = 0;
    TScoreTable table;
    try {
        table = ReadScoreTable(ScoreFileName, check);
    } catch (const std::exception& e) {
        Application().ShowException(e);
        // At start-up the game cannot begin without its table. Later a table that cannot be
        // read (taken away, half edited) is no reason to end a running game: it keeps the
        // table it has, and the next activation looks again.
        if (startUp) {
            failed_ = true;
            Close();
        }
        return;
    }
    for (int i = 0; i < 10; ++i) {
        ScoreNames[i + 1] = table.Names[i];
        ScoreValues[i + 1] = table.Values[i];
    }
    if (check != ScoreSum(table)) {
        failed_ = true;
        platform::Current().Windows->ShowMessageBox(Application().Title(), texts::Get(texts::TextId::ScoreTampered));
        Close();
    }
}

void TMainForm::StartUp() {
    AssetsLoaded = true;
    GameState = gsMenu;
    HudPanelY = -1000.0;
    SetPosition(-1000, -1000);

    if (Form1) {
        Form1->Show();
        Form1->Repaint();
    }
    platform::Current().Clock->Sleep(50);

    auto check = [this](const std::string& name) {
        if (!platform::FileExists(name)) {
            platform::Current().Windows->ShowMessageBox(Application().Title(),
                                                        texts::Format(texts::TextId::MissingFile, {name}));
            RequestClose();
        }
    };
    for (const ImageEntry* e : RequiredImages()) check(e->File);
    check("data\\all_mp3\\music.mp3");
    check("data\\all_qrx\\res.qrx");

    TScoreTable table = ReadScoreTable(ScoreFileName);
    for (int i = 0; i < 10; ++i) {
        ScoreNames[i + 1] = table.Names[i];
        ScoreValues[i + 1] = table.Values[i];
    }

    LoadImages('A', 'I');
    MusicOn = true;
    Mp1->Open();
    LoadImages('J', 'J');

    TOptions opts = ReadOptions("data\\all_qrx\\opt.qrx");
    for (int i = 0; i < 10; ++i) Options[i + 1] = opts[i];
    if (FullScreenForThisRun) Options[5] = *FullScreenForThisRun ? 1 : 0;

    if (Form1) Form1->Close();
    Show();

    DXDraw->Finalize();
    DXDraw->SetCursor(crNone);
    DXDraw->Display().SetBitCount(Options[4]);
    if (Options[5] == 1) {
        DXDraw->SetOptions(DXDraw->Options() + TDXDrawOptions{doFullScreen});
    } else {
        platform::Size screen = platform::Current().Windows->ScreenSize();
        SetPosition((screen.Width - 800) / 2, (screen.Height - 600) / 2);
    }
    DXDraw->Initialize();
    if (Window()) Window()->Focus();
    Button2Click();
}

void TMainForm::LoadImages(char firstStep, char lastStep) {
    TPictureCollection& items = ImageList->Items();
    for (const ImageLoadRound& round : ImageLoadRounds()) {
        if (round.Step < firstStep || round.Step > lastStep) continue;
        for (const ImageEntry* e : round.Entries) items.Find(e->Name)->LoadPictureFromFile(e->File);
        if (Form1) Form1->AddProgress(round.Progress);
    }
}

// ---------------------------------------------------------------------------------------
// Frame step and game clock

void TMainForm::DXTimerTimer(int lagCount) {
    // The result-entry window runs a nested loop inside a frame; with both timers stopped
    // no frame can start there, and this guard keeps it so whatever happens meanwhile.
    if (inFrame_) return;
    if (!DXDraw->ReadyToDraw()) return;
    inFrame_ = true;
    platform::ScopeExit guard([this] { inFrame_ = false; });

    DXInput->Update();
    DXSpriteEngine->Move(lagCount);
    DXSpriteEngine->Sweep();
    TDirectDrawSurface* surface = DXDraw->Surface();
    if (!surface) return;
    surface->Fill(0);
    DXSpriteEngine->Draw();

    TDirectDrawSurfaceCanvas& canvas = surface->Canvas();
    canvas.Brush().Style = bsClear;
    canvas.Font().Color = clWhite;
    canvas.Font().Size = 12;
    canvas.Font().Name = "Times New Roman";
    if (CheatMode) canvas.TextOut(0, 12, "CHEAT!!!!!!!!");
    if (Options[1] == 0) canvas.TextOut(0, 0, "FPS: " + Num(DXTimer->MeasuredFps()));

    canvas.Font().Size = 16;
    canvas.Font().Color = clYellow;
    const int y = static_cast<int>(RoundHalfEven(HudPanelY)) + 37;
    canvas.TextOut(60, y, Num(RoundHalfEven(Energy)));
    canvas.TextOut(170, y, Num(Score));
    if (GameState != gsMenu && GameState != gsScores) {
        canvas.TextOut(480, y, Num(Ammo[1]));
        canvas.TextOut(600, y, Num(Ammo[2]));
        canvas.TextOut(700, y, Num(Ammo[3]));
    }

    canvas.Font().Size = 18;
    canvas.Font().Name = "Times New Roman";
    if (GameState == gsMenu || GameState == gsScores) {
        for (int i = 1; i <= 10; ++i) {
            canvas.Font().Color = clYellow;
            canvas.TextOut(ScoresPanelX + 100, i * 46 + 10, ScoreNames[i]);
            canvas.TextOut(ScoresPanelX + 250, i * 46 + 10, Num(ScoreValues[i]));
        }
    }
    canvas.Font().Color = clYellow;
    canvas.Font().Size = 50;
    canvas.TextOut(static_cast<int>(RoundHalfEven(LevelPanelX)) + 245, 270, Num(Level));

    canvas.Release();
    DXDraw->Flip();
    ++framesDrawn_;
}

void TMainForm::Timer1Timer() {
    if (Energy > 100) Energy = Energy - 0.01;
    if (Options[2] == 1) {
        MusicOn = false;
        MusicStop();
    }
    AnimFrame = AnimFrame + 1;
    if (ShieldTime >= 0) ShieldTime = ShieldTime - 1;
    if (SwitchDelay < 2) SwitchDelay = SwitchDelay + 1;
    if (AnimFrame >= 4) AnimFrame = 1;
    FireReady = true;
    TickCount = TickCount + 1;
    if (TickCount == 10 && !EnemyFireOn) EnemyFireOn = true;
    if (Energy > 100) Energy = Energy - 0.25;
}

void TMainForm::DXTimerActivate() {
    SetCaption(Application().Title());
    if (musicLowered_) {
        musicLowered_ = false;
        Mp1->SetVolume(platform::CurrentSettings().GetInt("music_volume"));
    }
}

void TMainForm::DXTimerDeactivate() {
    SetCaption(Application().Title() + " [Pause]");
    // Play goes on in the background unless the player asked otherwise.
    if (!platform::CurrentSettings().GetBool("pause_on_focus_loss")) return;
    musicLowered_ = true;
    Mp1->SetVolume(platform::CurrentSettings().GetInt("music_volume") * FocusLostMusicPercent / 100);
    // The same step as Escape in play (it does nothing in any other state).
    FormKeyDown(VK_ESCAPE, 0);
}

void TMainForm::ApplyVolumes() {
    const platform::TSettings& settings = platform::CurrentSettings();
    if (platform::IAudioSystem* audio = platform::Current().Audio)
        audio->SetEffectsVolume(settings.GetInt("effects_volume"));
    Mp1->SetVolume(settings.GetInt("music_volume"));
}

void TMainForm::Mp1Notify() {
    if (MusicOn) Mp1->Play();
}

void TMainForm::DoClose(TCloseAction&) { DXTimer->SetEnabled(false); }

void TMainForm::DoMouseMove(int, int) { DXDraw->SetCursor(crNone); }

void TMainForm::HandleMessage(const platform::Message& msg) {
    if (msg.Kind == platform::MsgKind::FullScreenChange) FullScreenChanged(msg.Param != 0);
    TDXForm::HandleMessage(msg);
}

void TMainForm::FullScreenChanged(bool on) {
    try {
        const TOptions written = WriteFullScreenOption(OptionsFileName, on);
        Options[5] = written[4];
    } catch (const std::exception& e) {
        // The switch itself happened; only remembering it failed. Play goes on.
        Options[5] = on ? 1 : (Options[5] == 1 ? 0 : Options[5]);
        std::fprintf(stderr, "Starbreaker: full screen not remembered: %s\n", e.what());
    }
}

// ---------------------------------------------------------------------------------------
// Keys

void TMainForm::FormKeyDown(int key, uint32_t) {
    const bool menuKey = key == VK_UP || key == VK_DOWN || key == VK_RETURN;
    if (GameState == gsMenu) {
        if (key == VK_DOWN) MenuIndex = MenuIndex + 1;
        if (key == VK_UP) MenuIndex = MenuIndex - 1;
        if (menuKey) PlayCue("Menu");
        if (MenuIndex <= 0) MenuIndex = 6;
        if (MenuIndex >= 7) MenuIndex = 1;
        if (key == VK_RETURN) {
            switch (MenuIndex) {
                case 4: GameState = gsScreenAu; break;
                case 5: GameState = gsScreenRead; break;
                case 2: GameState = gsScores; break;
                case 3: GameState = gsScreenRb5; break;
                case 6: Close(); break;
                case 1: NewGame(); break;
                default: break;
            }
        }
    }
    if (GameState == gsPauseMenu) {
        if (key == VK_DOWN) MenuIndex = MenuIndex + 1;
        if (key == VK_UP) MenuIndex = MenuIndex - 1;
        if (menuKey) PlayCue("Menu");
        if (MenuIndex <= 0) MenuIndex = 3;
        if (MenuIndex >= 4) MenuIndex = 1;
        if (key == VK_RETURN) {
            if (MenuIndex == 3) {
                Close();
            } else if (MenuIndex == 2) {
                GameState = gsMenu;
                Mp1->Stop();
                MusicOn = false;
                CheatMode = false;
            } else if (MenuIndex == 1) {
                if (Energy > 0) GameState = gsPlaying;
            }
        }
    }
    if (GameState == gsLevelDone && key == VK_RETURN && LevelPanelX == 0.0) {
        GameState = gsPlaying;
        Energy = 100.0;
        Button1Click();
    }
    if (GameState == gsScreenAu && key == VK_RETURN && AuPanelGap >= 0) GameState = gsMenu;
    if (GameState == gsScores && key == VK_RETURN && ScoresPanelX == 400) GameState = gsMenu;
    if (GameState == gsScreenRb5 && key == VK_RETURN && Rb5PanelGap == 0) GameState = gsMenu;
    if (GameState == gsScreenRead && key == VK_RETURN && ReadPanelGap == 0) GameState = gsMenu;
    if (GameState == gsPlaying && key == VK_ESCAPE) {
        GameState = gsPauseMenu;
        MenuIndex = 1;
    }
}

void TMainForm::FormKeyPress(const std::string& ch) {
    if (ch.size() != 1) return;
    const char c = ch[0];
    if (c == CheatKey) {
        Level = 8;
        Score = 8000;
        CheatMode = true;
    } else if (c >= '1' && c <= '3') {
        Weapon = c - '0';
    }
}

void TMainForm::NewGame() {
    GameState = gsPlaying;
    Timer1->SetEnabled(true);
    if (!DXTimer->Enabled()) DXTimer->SetEnabled(true);
    CheatMode = false;
    Ammo[1] = 0;
    Ammo[2] = 0;
    Ammo[3] = 0;
    TargetY = 300.0;
    MusicOn = true;
    Level = 1;
    Mp1->Play();
    Score = 0;
    Energy = 100.0;
    Button1Click();
}

void TMainForm::Button1Click() { BuildWave(); }
void TMainForm::Button2Click() { BuildScene(); }

// ---------------------------------------------------------------------------------------
// What the sprites use

TPictureCollectionItem* TMainForm::FindImage(std::string_view name) { return ImageList->Items().Find(name); }

void TMainForm::PlayCue(std::string_view name) {
    if (Options[3] != 0) return;
    DXWaveList->Items().Find(name)->Play(false);
    DXInput->Joystick()->Effects()->Find("eff1")->Start();
}

bool TMainForm::InputHeld(int state) { return DXInput->States.Contains(static_cast<TInputState>(state)); }
int TMainForm::JoystickX() { return DXInput->Joystick()->X(); }
int TMainForm::JoystickY() { return DXInput->Joystick()->Y(); }
TSpriteEngine* TMainForm::SpriteEngine() { return DXSpriteEngine->Engine(); }
void TMainForm::MusicStop() { Mp1->Stop(); }

void TMainForm::StopTimers() {
    Timer1->SetEnabled(false);
    DXTimer->SetEnabled(false);
}

void TMainForm::ShowResultEntry() {
    if (Form2) Form2->ShowModal();
}
