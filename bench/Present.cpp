// Cost of one presentation of the 800 x 600 back buffer on the real window system: upload,
// the scaled draw and the present, at 1x, 2x and 3x windows and in full screen (a fractional
// fit on most screens). Unpaced, so only the work is timed; once with one pixel changed a
// frame, once with every pixel changed. Every size runs each way in the same run: drawn into
// the window's framebuffer by our scaler; through the renderer (a streaming texture, our
// scaler writing the final-size picture, copied 1:1); and for fractional fits the renderer
// scaling itself (nearest to a whole multiple, then smoothed down).
//
// Runs on whatever SDL finds: under Xvfb (DISPLAY set) the real X11 path; start the server
// with a screen of at least 2400 x 1800 to have room for 3x.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/Settings.h"
#include "platform/sdl/SdlWindowSystem.h"

namespace {

double ThreadMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// Median wall-clock time of fn, and the median processor time this thread spent in it (on a
// loaded machine the wall clock also counts the waits for a processor).
struct Timing {
    double Wall, Cpu;
};
Timing Median(int n, const std::function<void()>& fn) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < n; ++i) {
        const auto a = std::chrono::steady_clock::now();
        const double c = ThreadMicros();
        fn();
        cpu.push_back(ThreadMicros() - c);
        wall.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - a).count());
    }
    std::nth_element(wall.begin(), wall.begin() + n / 2, wall.end());
    std::nth_element(cpu.begin(), cpu.begin() + n / 2, cpu.end());
    return {wall[n / 2], cpu[n / 2]};
}

platform::Bitmap Frame(uint32_t salt) {
    platform::Bitmap b(800, 600, 32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) b.SetPixel(x, y, (static_cast<uint32_t>((x * 7) ^ (y * 13)) + salt) & 0xFFFFFF);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    platform::CurrentSettings().Set("pacing", "unlimited");
    platform::Bitmap pic = Frame(0), other = Frame(0x010101);
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
    std::printf("present in us, wall clock / this thread's processor time (not the X server's)\n");
    std::printf("%-16s %-12s %-9s %16s %16s\n", "window", "presented by", "scaling", "1 pixel changed", "all changed");
    // Each size three ways: drawn into the window's framebuffer (only what changed), through
    // the renderer with our scaler, through the renderer scaling (fractional fits only).
    enum class Way { Framebuffer, Renderer, RendererScaling };
    for (int k = 1; k <= 4; ++k)
        for (Way way : {Way::Framebuffer, Way::Renderer, Way::RendererScaling}) {
            const bool full = k == 4;
            if (!full && way == Way::RendererScaling) continue;  // whole multiples: the same copy
            // A program display size that makes the window system choose scale k for 800 x 600.
            platform::Size design =
                full ? platform::Size{800, 600} : platform::Size{screen.Width / k, screen.Height / k};
            if (!full && (800 * k > screen.Width || 600 * k > screen.Height)) {
                if (way == Way::Framebuffer) std::printf("%dx               (screen too small)\n", k);
                continue;
            }
            platform::sdl::SdlWindowSystem ws(design);
            ws.UseWindowSurfaces(way == Way::Framebuffer);
            ws.UseRendererScaling(way == Way::RendererScaling);
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
            const Timing onePixel = Median(frames, [&] {
                ++tick;
                pic.SetPixel(static_cast<int>(tick % 800), 0, tick);
                w->Present(pic, 0, 0);
            });
            const Timing whole = Median(frames, [&] { w->Present(++tick % 2 ? other : pic, 0, 0); });
            char label[32];
            if (full) std::snprintf(label, sizeof label, "full %dx%d", screen.Width, screen.Height);
            else std::snprintf(label, sizeof label, "%dx", ws.WindowScaleFactor());
            std::printf("%-16s %-12s %-9s %8.0f / %5.0f %8.0f / %5.0f\n", label, ws.RendererName().c_str(),
                        k == 1                                                           ? "none"
                        : way == Way::RendererScaling || (!full && way == Way::Renderer) ? "renderer"
                                                                                         : "ours",
                        onePixel.Wall, onePixel.Cpu, whole.Wall, whole.Cpu);
        }
    return 0;
}
