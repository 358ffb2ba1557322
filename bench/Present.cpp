// Cost of one presentation of the 800 x 600 back buffer on the real window system: upload
// into the streaming texture, the scaled draw and the present, at 1x, 2x and 3x windows and
// in full screen (a fractional fit on most screens). Unpaced, so only the work is timed.
// Every enlarged case runs twice in the same run: with our own scaler (the final-size
// picture written into a streaming texture, copied 1:1) and with the renderer scaling.
//
// Runs on whatever SDL finds: under Xvfb (DISPLAY set) the real X11 path; start the server
// with a screen of at least 2400 x 1800 to have room for 3x.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/Settings.h"
#include "platform/sdl/SdlWindowSystem.h"

namespace {

double MedianMicros(int n, const std::function<void()>& fn) {
    std::vector<double> t;
    t.reserve(n);
    for (int i = 0; i < n; ++i) {
        const auto a = std::chrono::steady_clock::now();
        fn();
        t.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - a).count());
    }
    std::nth_element(t.begin(), t.begin() + n / 2, t.end());
    return t[n / 2];
}

platform::Bitmap Frame() {
    platform::Bitmap b(800, 600, 32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) b.SetPixel(x, y, static_cast<uint32_t>((x * 7) ^ (y * 13)) & 0xFFFFFF);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    platform::CurrentSettings().Set("pacing", "unlimited");
    platform::Bitmap pic = Frame();
    platform::Size screen;
    std::string driver;
    {
        platform::sdl::SdlWindowSystem probe;
        SDL_DisplayMode mode{};
        SDL_GetDesktopDisplayMode(0, &mode);
        screen = {mode.w, mode.h};
        driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "?";
    }
    std::printf("Presentation of an 800 x 600 32-bit frame (upload + scaled draw + present), median of %d\n", frames);
    std::printf("video driver %s, screen %dx%d\n", driver.c_str(), screen.Width, screen.Height);
    std::printf("%-16s %-10s %-9s %12s\n", "window", "renderer", "scaling", "present (us)");
    for (int run = 0; run < 8; ++run) {
        const int k = run / 2 + 1;
        const bool byRenderer = run % 2 == 1;
        if (k < 4 && byRenderer) continue;  // whole multiples are the renderer's either way
        const bool full = k == 4;
        // A program display size that makes the window system choose scale k for 800 x 600.
        platform::Size design = full ? platform::Size{800, 600} : platform::Size{screen.Width / k, screen.Height / k};
        if (!full && (800 * k > screen.Width || 600 * k > screen.Height)) {
            if (!byRenderer) std::printf("%dx               (screen too small)\n", k);
            continue;
        }
        platform::sdl::SdlWindowSystem ws(design);
        ws.UseRendererScaling(byRenderer);
        auto w = ws.CreateWindow("bench", {0, 0, 800, 600});
        w->Show();
        if (full) w->SetFullScreen(true, {800, 600, 32});
        platform::Message m;
        for (int i = 0; i < 10; ++i) {  // settle: the window mapped, its size known
            w->Present(pic, 0, 0);
            while (ws.PeekMessage(m)) {}
            SDL_Delay(10);
        }
        uint32_t tick = 0;
        const double us = MedianMicros(frames, [&] {
            ++tick;
            pic.SetPixel(static_cast<int>(tick % 800), 0, tick);
            w->Present(pic, 0, 0);
        });
        char label[32];
        if (full) std::snprintf(label, sizeof label, "full %dx%d", screen.Width, screen.Height);
        else std::snprintf(label, sizeof label, "%dx", ws.WindowScaleFactor());
        std::printf("%-16s %-10s %-9s %12.0f\n", label, ws.RendererName().c_str(),
                    !full        ? (k == 1 ? "none" : "nearest")
                    : byRenderer ? "renderer"
                                 : "ours",
                    us);
    }
    return 0;
}
