// The set-up window on SDL: the rows of TSetupModel drawn in the game's colours (yellow and
// white on black, the lit row in the menus' blue), driven by the keyboard or a game pad.
#include "tools/setup/SetupWindow.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <memory>

#include "game/assets/Assets.h"
#include "game/texts/Texts.h"
#include "platform/Audio.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/sdl/KeyMap.h"
#include "platform/sdl/SdlGamepad.h"
#include "platform/sdl/SdlPtrs.h"
#include "platform/sdl/SdlText.h"
#include "platform/sdl/SdlVideoDriver.h"
#include "platform/sdl/SdlWindow.h"
#include "tools/setup/SetupModel.h"

namespace setup {

namespace {

constexpr int kWidth = 640, kHeight = 640;
constexpr const char* kSetupAppId = "starbreaker-setup";
constexpr int kTop = 64, kRowHeight = 23;

// The keypad digits are the keypad's whatever Num Lock says, as the game's keyboard reads them.
int CodeOfKey(const SDL_Keysym& key) {
    switch (key.scancode) {
        case SDL_SCANCODE_KP_0: return 96;
        case SDL_SCANCODE_KP_1: return 97;
        case SDL_SCANCODE_KP_2: return 98;
        case SDL_SCANCODE_KP_3: return 99;
        case SDL_SCANCODE_KP_4: return 100;
        case SDL_SCANCODE_KP_5: return 101;
        case SDL_SCANCODE_KP_6: return 102;
        case SDL_SCANCODE_KP_7: return 103;
        case SDL_SCANCODE_KP_8: return 104;
        case SDL_SCANCODE_KP_9: return 105;
        case SDL_SCANCODE_KP_PERIOD: return 110;
        default: return platform::sdl::VirtualKeyFromSdl(key);
    }
}

// A short sound at the chosen effect volume, so the player hears the level being set.
class Preview {
public:
    Preview() {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return;
        }
        open_ = true;
        const assets::Blob wave = assets::Wave("Menu");
        if (wave.Data) chunk_.reset(Mix_LoadWAV_RW(SDL_RWFromConstMem(wave.Data, static_cast<int>(wave.Size)), 1));
    }
    ~Preview() {
        chunk_.reset();
        if (open_) {
            Mix_CloseAudio();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    void Play(int percent) {
        if (!chunk_) return;
        Mix_VolumeChunk(chunk_.get(), static_cast<int>(MIX_MAX_VOLUME * platform::VolumeAmplitude(percent) + 0.5));
        Mix_HaltChannel(0);
        Mix_PlayChannel(0, chunk_.get(), 0);
    }

private:
    bool open_ = false;
    platform::sdl::ChunkPtr chunk_;
};

void Draw(platform::Bitmap& canvas, platform::sdl::SdlTextRenderer& text, const TSetupModel& model) {
    const platform::RGB yellow{255, 255, 0}, white{255, 255, 255}, grey{150, 150, 170}, red{255, 90, 90};
    canvas.Fill(0);
    // A few stars, as behind the game's menus.
    for (int i = 0; i < 90; ++i) {
        const int x = (i * 7919) % kWidth, y = (i * 104729 + 31) % kHeight;
        canvas.SetPixel(x, y, (i % 3) ? 0x606060 : 0xC0C0C0);
    }
    platform::FontSpec title{"Times New Roman", 22, false, yellow};
    text.DrawText(canvas, 24, 14, texts::Get(texts::TextId::SetupTitle), title);

    const auto rows = model.Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        const int y = kTop + static_cast<int>(i) * kRowHeight;
        const bool lit = static_cast<int>(i) == model.Selected();
        if (lit) {
            const uint32_t bar = model.Capturing() ? 0x803070 : 0x203090;
            for (int yy = y; yy < y + kRowHeight - 2 && yy < kHeight; ++yy)
                for (int x = 16; x < kWidth - 16; ++x) canvas.SetPixel(x, yy, bar);
        }
        platform::FontSpec label{"Times New Roman", 13, false, lit ? white : (rows[i].Action ? yellow : grey)};
        text.DrawText(canvas, 28, y + 2, rows[i].Label, label);
        platform::FontSpec value{"Times New Roman", 13, false, yellow};
        if (!rows[i].Value.empty()) text.DrawText(canvas, 340, y + 2, rows[i].Value, value);
    }
    platform::FontSpec status{"Times New Roman", 11, false, model.StatusIsError() ? red : white};
    const int statusY = kTop + static_cast<int>(rows.size()) * kRowHeight + 12;
    text.DrawText(canvas, 24, statusY, model.Status(), status);
}

}  // namespace

int RunSetupWindow(const std::string& dataDir, std::ostream& err, const std::function<void(int call)>& idle,
                   std::optional<platform::TLanguage> language) {
    // The window's own X class and Wayland app id, so scripts and desktops can tell it from
    // the game.
    setenv("SDL_VIDEO_X11_WMCLASS", kSetupAppId, 0);
    platform::sdl::PrepareVideoDriver(kSetupAppId);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) {
        err << "starbreaker-setup: no window can be opened (" << SDL_GetError()
            << "); use the command-line actions, see --help\n";
        return 1;
    }
    platform::sdl::VideoDriverStarted(kSetupAppId);
    int status = 0;
    {
        // In real pixels on a scaled desktop: the copy below enlarges with nearest pixels.
        platform::sdl::WindowPtr window(SDL_CreateWindow("Starbreaker", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                                         kWidth, kHeight, SDL_WINDOW_ALLOW_HIGHDPI));
        platform::sdl::RendererPtr renderer;
        platform::sdl::TexturePtr texture;
        // On Wayland SDL's software renderer would draw through OpenGL anyway: SDL's own
        // choice there.
        if (window)
            renderer.reset(SDL_CreateRenderer(
                window.get(), platform::sdl::OnWayland() ? -1 : platform::sdl::SoftwareRendererIndex(), 0));
        if (renderer)
            texture.reset(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kWidth,
                                            kHeight));
        if (!texture) {
            err << "starbreaker-setup: no window can be opened (" << SDL_GetError()
                << "); use the command-line actions, see --help\n";
            status = 1;
        } else {
            // The same folders as the game's (and as the command-line actions').
            const platform::DataFolders folders =
                platform::PickDataFolders(dataDir, platform::InstalledDataCandidates(), platform::UserDataFolder());
            platform::SeedUserFolder(folders, err);
            const platform::DataFoldersScope inForce(folders);
            // The pads the game knows by the player's own mapping file, this window knows too.
            if (platform::FileExists(platform::sdl::GamepadMappingFileName) &&
                SDL_GameControllerAddMappingsFromFile(
                    platform::ResolvePath(platform::sdl::GamepadMappingFileName).c_str()) < 0)
                err << "starbreaker-setup: the pad mapping file was not read (" << SDL_GetError() << ")\n";
            // The language row switches the language in force; the caller's comes back after.
            const platform::LanguageScope languageKept(platform::CurrentLanguage());
            TSetupModel model(language);
            Preview preview;
            model.OnVolume = [&](const std::string& key, int percent) {
                if (key == "effects_volume") preview.Play(percent);
            };
            platform::sdl::SdlTextRenderer text;
            platform::Bitmap canvas(kWidth, kHeight, 32);
            std::vector<platform::sdl::GameControllerPtr> pads;  // closed first when the window goes
            bool dirty = true;
            int idleCalls = 0;
            while (!model.Done()) {
                if (dirty) {
                    SDL_SetWindowTitle(window.get(), texts::Get(texts::TextId::SetupTitle).c_str());
                    Draw(canvas, text, model);
                    SDL_UpdateTexture(texture.get(), nullptr, canvas.Data(), canvas.Pitch());
                    SDL_RenderClear(renderer.get());
                    SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr);
                    SDL_RenderPresent(renderer.get());
                    dirty = false;
                }
                SDL_Event e;
                if (!SDL_PollEvent(&e)) {
                    if (idle) idle(idleCalls++);
                    if (!SDL_WaitEventTimeout(&e, 250)) continue;
                }
                dirty = true;
                switch (e.type) {
                    case SDL_QUIT:
                        model.Command(TCommand::Back);
                        if (!model.Done()) model.Command(TCommand::Back);
                        break;
                    case SDL_KEYDOWN: {
                        const SDL_Keycode k = e.key.keysym.sym;
                        if (model.Capturing() && k != SDLK_RETURN && k != SDLK_KP_ENTER && k != SDLK_ESCAPE) {
                            if (!e.key.repeat) model.CapturedKey(CodeOfKey(e.key.keysym));
                            break;
                        }
                        if (k == SDLK_UP) model.Command(TCommand::Up);
                        else if (k == SDLK_DOWN) model.Command(TCommand::Down);
                        else if (k == SDLK_LEFT) model.Command(TCommand::Left);
                        else if (k == SDLK_RIGHT) model.Command(TCommand::Right);
                        else if (k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_SPACE)
                            model.Command(TCommand::Enter);
                        else if (k == SDLK_ESCAPE) model.Command(TCommand::Back);
                        break;
                    }
                    case SDL_CONTROLLERDEVICEADDED:
                        if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) pads.emplace_back(pad);
                        break;
                    case SDL_CONTROLLERBUTTONDOWN:
                        switch (e.cbutton.button) {
                            case SDL_CONTROLLER_BUTTON_DPAD_UP: model.Command(TCommand::Up); break;
                            case SDL_CONTROLLER_BUTTON_DPAD_DOWN: model.Command(TCommand::Down); break;
                            case SDL_CONTROLLER_BUTTON_DPAD_LEFT: model.Command(TCommand::Left); break;
                            case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: model.Command(TCommand::Right); break;
                            case SDL_CONTROLLER_BUTTON_A:
                            case SDL_CONTROLLER_BUTTON_START: model.Command(TCommand::Enter); break;
                            case SDL_CONTROLLER_BUTTON_B:
                            case SDL_CONTROLLER_BUTTON_BACK: model.Command(TCommand::Back); break;
                            default: break;
                        }
                        break;
                    default: break;
                }
            }
        }
    }
    SDL_Quit();
    return status;
}

}  // namespace setup
