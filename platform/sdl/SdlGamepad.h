// Game pads through SDL's game-controller layer: the mapping database, hot-plug, rumble,
// and the pads' events turned into the program's messages.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string_view>

#include "platform/Input.h"
#include "platform/Platform.h"

union SDL_Event;

namespace platform::sdl {

// The program's own mapping file, beside the settings file.
inline constexpr std::string_view GamepadMappingFileName = "data\\all_qrx\\gamecontrollerdb.txt";

class SdlGamepadSystem : public IGamepadSystem {
public:
    // Starts SDL's game-controller part (a failure leaves a system without pads), adds the
    // mappings of the program's mapping file when there is one (a bad file is a warning on
    // warn) and opens every pad already connected. SDL's own database and the
    // SDL_GAMECONTROLLERCONFIG variable are read by SDL itself.
    explicit SdlGamepadSystem(std::ostream& warn);
    ~SdlGamepadSystem() override;
    SdlGamepadSystem(const SdlGamepadSystem&) = delete;
    SdlGamepadSystem& operator=(const SdlGamepadSystem&) = delete;

    std::vector<IGamepad*> Pads() override;

    // One SDL event from the window system's pump: pads connected and removed are opened and
    // closed, and each press and release becomes a message handed to post (once per press,
    // never repeated). Events of other kinds are ignored.
    void HandleEvent(const SDL_Event& e, const std::function<void(Message)>& post);

    bool Available() const { return ok_; }

private:
    struct Pad;
    void Open(int deviceIndex, const std::function<void(Message)>* post);
    std::vector<std::unique_ptr<Pad>> pads_;
    bool ok_ = false;
};

}  // namespace platform::sdl
