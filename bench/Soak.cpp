// A long scripted run on the fake machine: a bot weaves, fires every weapon, collects
// bonuses and goes through levels and game overs. Sprite count, voice count and memory
// must stay bounded; the figures are printed.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>

#include "BenchWorld.h"
#include "testkit/Bot.h"

namespace {

long ResidentKiB() {
    std::ifstream in("/proc/self/statm");
    long pages = 0, resident = 0;
    in >> pages >> resident;
    return resident * 4;
}

long PeakKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

int Voices(TMainForm& main) {
    int n = 0;
    TWaveCollection& items = main.DXWaveList->Items();
    for (int i = 0; i < items.Count(); ++i) n += items.Items(i)->VoiceCount();
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    const int64_t frames = argc > 1 ? std::atoll(argv[1]) : 200000;
    bench::TWorkDir work(32);
    platform::fake::FakePlatform fake;
    ResetGlobals();
    Application().ResetTerminated();
    TProgramWindows windows;
    TMainForm* main = windows.Main.get();
    main->Show();
    Application().ProcessMessages();
    if (Application().Terminated()) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    TBot bot(*windows.Form2, fake, 15000);
    const long rssStart = ResidentKiB();
    int maxSprites = 0, maxVoices = 0;
    long rssAtTenth = 0;
    auto started = std::chrono::steady_clock::now();
    for (int64_t n = 0; n < frames && !Application().Terminated(); ++n) {
        bot.Act(n);
        fake.Clock.Advance(16);
        fake.Audio.Advance(16);
        Application().ProcessMessages();
        Application().HandleMessage();
        if (n % 1000 == 0) {  // the fakes' own call records are not the game's memory
            fake.Audio.ClearLog();
            fake.Text.ClearCalls();
            fake.Music.Log.clear();
        }
        maxSprites = std::max(maxSprites, main->SpriteEngine()->Count());
        maxVoices = std::max(maxVoices, Voices(*main));
        if (n == frames / 10) rssAtTenth = ResidentKiB();
        if (n % 20000 == 0) {
            std::printf("frame %7lld: sprites %4d, voices %3d, resident %6ld KiB, games %d, levels %d, game overs %d\n",
                        static_cast<long long>(n), main->SpriteEngine()->Count(), Voices(*main), ResidentKiB(),
                        bot.GamesStarted, bot.LevelsCleared, bot.GameOvers);
            std::fflush(stdout);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const long rssEnd = ResidentKiB();
    std::printf("\n%lld frames in %.1f s: games %d, levels cleared %d, game overs %d, records entered %d\n",
                static_cast<long long>(frames), seconds, bot.GamesStarted, bot.LevelsCleared, bot.GameOvers,
                bot.Records);
    std::printf("sprites: at most %d; voices: at most %d\n", maxSprites, maxVoices);
    std::printf("resident: %ld KiB after start-up, %ld KiB at a tenth of the run, %ld KiB at the end, peak %ld KiB\n",
                rssStart, rssAtTenth, rssEnd, PeakKiB());
    bool ok = true;
    // One scene (315), the largest wave (19 + 501), one shot in flight per enemy at most (a
    // shot crosses the screen faster than its enemy fires again: late in level 9 hundreds of
    // enemies hover on screen and fire), and the player's shots and bursts.
    if (maxSprites > 2000) ok = false, std::printf("FAIL: sprite count not bounded\n");
    // Every overlapping play has its own voice and an entry keeps the most it ever needed:
    // the bound is the most sounds that can overlap (every enemy firing at once).
    if (maxVoices > 2048) ok = false, std::printf("FAIL: voice count not bounded\n");
    if (rssAtTenth > 0 && rssEnd - rssAtTenth > 16 * 1024) ok = false, std::printf("FAIL: memory keeps growing\n");
    if (PeakKiB() > 64 * 1024) std::printf("note: peak resident above 64 MB\n");
    return ok ? 0 : 1;
}
