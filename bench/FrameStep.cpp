// The frame step in the busiest scene of a game, at each back-buffer depth, against the
// floor of one clear and one full-frame present measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchWorld.h"

namespace {

struct TResult {
    int Bits;
    double Floor, Frame;
    int Sprites;
};

TResult Measure(int bits, int frames) {
    bench::TWorkDir work(bits);
    bench::TBenchWorld world;
    if (!world.Boot()) {
        std::fprintf(stderr, "start-up failed at %d bits\n", bits);
        return {bits, 0, 0, 0};
    }
    world.BusiestScene(40);
    TDirectDrawSurface* surface = world.Main->DXDraw->Surface();
    platform::IWindow* window = world.Main->Window();
    const double floor = bench::MedianMicros(frames, [&] {
        surface->Fill(0);
        window->Present(surface->Bitmap(), 0, 0);
    });
    const double frame = bench::MedianMicros(frames, [&] {
        world.TopUpShots();
        world.Main->DXTimerTimer(16);
    });
    return {bits, floor, frame, world.Main->SpriteEngine()->Count()};
}

void BM_FrameStep32(benchmark::State& state) {
    bench::TWorkDir work(32);
    bench::TBenchWorld world;
    if (!world.Boot()) {
        state.SkipWithError("start-up failed");
        return;
    }
    world.BusiestScene(40);
    for (auto _ : state) {
        world.TopUpShots();
        world.Main->DXTimerTimer(16);
    }
}
BENCHMARK(BM_FrameStep32)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    std::printf("Frame step, busiest scene (level 9 wave, 40 shots, bonuses, panels, HUD), median of 1000 frames\n");
    std::printf("%5s %8s %12s %12s %7s\n", "bits", "sprites", "floor (us)", "frame (us)", "ratio");
    for (int bits : {8, 16, 24, 32}) {
        TResult r = Measure(bits, 1000);
        std::printf("%5d %8d %12.1f %12.1f %7.2f\n", r.Bits, r.Sprites, r.Floor, r.Frame,
                    r.Floor > 0 ? r.Frame / r.Floor : 0.0);
    }
    std::printf("targets at 32 bits: frame <= 1000 us and ratio <= 3\n\n");
    std::fflush(stdout);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
