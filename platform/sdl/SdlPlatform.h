// The real machine: every SDL-backed service created and installed together.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace platform::sdl {

class SdlPlatform {
public:
    // Creates the clock, window system, text renderer, sound, music and joysticks and
    // installs them as the current services. Sound and joysticks are optional: a machine
    // without them gets a silent game without a stick.
    SdlPlatform();
    ~SdlPlatform();
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    const Services& Get() const { return services_; }

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    Services services_;
};

}  // namespace platform::sdl
