// Game pads through SDL's game-controller layer.
#include "platform/sdl/SdlGamepad.h"

#include <SDL.h>

#include <algorithm>
#include <string>

#include "platform/Files.h"
#include "platform/sdl/SdlPtrs.h"

namespace platform::sdl {

struct SdlGamepadSystem::Pad final : IGamepad {
    GameControllerPtr C;
    int InstanceId = -1;
    // Which stick directions are pressed now (up, down, left, right).
    bool Stick[4] = {false, false, false, false};

    int Id() const override { return InstanceId; }
    std::string Name() const override {
        const char* n = SDL_GameControllerName(C.get());
        return n ? n : "";
    }
    bool Attached() const override { return SDL_GameControllerGetAttached(C.get()) == SDL_TRUE; }
    bool Button(int b) const override {
        if (b < 0 || b >= PadButtonCount || !Attached()) return false;
        return SDL_GameControllerGetButton(C.get(), static_cast<SDL_GameControllerButton>(b)) != 0;
    }
    int Axis(int a) const override {
        if (a < 0 || a >= PadAxisCount || !Attached()) return 0;
        return SDL_GameControllerGetAxis(C.get(), static_cast<SDL_GameControllerAxis>(a));
    }
    bool Rumble(uint16_t low, uint16_t high, uint32_t ms) override {
        return Attached() && SDL_GameControllerRumble(C.get(), low, high, ms) == 0;
    }
};

SdlGamepadSystem::SdlGamepadSystem(std::ostream& warn) {
    // Pads are read whichever window has the focus: the input layer applies its own
    // foreground rule, and a driver without a desktop never tells SDL that ours has it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        warn << "Starbreaker: game pads are not available: " << SDL_GetError() << "\n";
        return;
    }
    ok_ = true;
    if (FileExists(GamepadMappingFileName)) {
        const std::string path = ResolvePath(GamepadMappingFileName);
        int added = SDL_GameControllerAddMappingsFromFile(path.c_str());
        if (added < 0)
            warn << "Starbreaker: " << path << ": pad mappings not read (" << SDL_GetError()
                 << "); SDL's own mappings are used\n";
        else if (added == 0) warn << "Starbreaker: " << path << ": no pad mapping for this system in the file\n";
    }
    // Pads already connected (their "added" events may come too; opening is done once).
    for (int i = 0, n = SDL_NumJoysticks(); i < n; ++i) Open(i, nullptr);
}

SdlGamepadSystem::~SdlGamepadSystem() {
    pads_.clear();
    if (ok_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

std::vector<IGamepad*> SdlGamepadSystem::Pads() {
    std::vector<IGamepad*> out;
    for (auto& p : pads_) out.push_back(p.get());
    return out;
}

void SdlGamepadSystem::Open(int deviceIndex, const std::function<void(Message)>* post) {
    if (!ok_ || !SDL_IsGameController(deviceIndex)) return;
    const int id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0) return;
    for (auto& p : pads_)
        if (p->InstanceId == id) return;
    GameControllerPtr c(SDL_GameControllerOpen(deviceIndex));
    if (!c) return;  // a device that refuses stays unused
    auto pad = std::make_unique<Pad>();
    pad->C = std::move(c);
    pad->InstanceId = id;
    pads_.push_back(std::move(pad));
    if (post) {
        Message m;
        m.Kind = MsgKind::PadAdded;
        m.Param = id;
        (*post)(std::move(m));
    }
}

void SdlGamepadSystem::HandleEvent(const SDL_Event& e, const std::function<void(Message)>& post) {
    if (!ok_) return;
    auto find = [&](int id) -> Pad* {
        for (auto& p : pads_)
            if (p->InstanceId == id) return p.get();
        return nullptr;
    };
    auto send = [&](MsgKind kind, int button, int id) {
        Message m;
        m.Kind = kind;
        m.Button = button;
        m.Param = id;
        post(std::move(m));
    };
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED: Open(e.cdevice.which, &post); return;
        case SDL_CONTROLLERDEVICEREMOVED: {
            const int id = e.cdevice.which;
            auto it = std::find_if(pads_.begin(), pads_.end(), [&](auto& p) { return p->InstanceId == id; });
            if (it == pads_.end()) return;
            pads_.erase(it);
            send(MsgKind::PadRemoved, 0, id);
            return;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            if (!find(e.cbutton.which) || e.cbutton.button >= PadButtonCount) return;
            send(e.type == SDL_CONTROLLERBUTTONDOWN ? MsgKind::PadDown : MsgKind::PadUp, e.cbutton.button,
                 e.cbutton.which);
            return;
        }
        case SDL_CONTROLLERAXISMOTION: {
            Pad* pad = find(e.caxis.which);
            if (!pad) return;
            int first;  // the negative direction's slot; the positive one follows
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) first = 0;
            else if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) first = 2;
            else return;
            const int v = e.caxis.value;
            for (int side = 0; side < 2; ++side) {
                const int along = side == 0 ? -v : v;
                bool& held = pad->Stick[first + side];
                const bool now = held ? along > PadStickRelease : along >= PadStickPress;
                if (now == held) continue;
                held = now;
                send(now ? MsgKind::PadDown : MsgKind::PadUp, PadStickUp + first + side, pad->InstanceId);
            }
            return;
        }
        default: return;
    }
}

}  // namespace platform::sdl
