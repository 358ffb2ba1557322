// A whole scripted game, replayed: any change of behaviour changes the digest of the play
// state and the sprites' places. When a change is intended, the failure prints the new
// digest to record here.
#include "MainFormFixture.h"
#include "testkit/Bot.h"

#include <cinttypes>

namespace {
// Recorded from the scripted run below.
constexpr uint64_t kRecordedDigest = 0x5e7a8681cf1eb54aull;
}  // namespace

TEST_F(MainFormFixture, ScriptedGameReplaysExactly) {
    fake.Clock.Set(1000);
    Boot();
    ASSERT_FALSE(Application().Terminated());
    TBot bot(*form2, fake);
    uint64_t digest = StateDigest(*main);
    for (int64_t n = 0; n < 7000; ++n) {
        bot.Act(n);
        Frame(16);
        if (n % 50 == 0) digest = StateDigest(*main, digest);
    }
    // The script went through the game's stations.
    EXPECT_GE(bot.GamesStarted, 2);
    EXPECT_GE(bot.LevelsCleared, 1);
    EXPECT_GE(bot.GameOvers, 1);
    EXPECT_GE(bot.Records, 1);
    char text[32];
    std::snprintf(text, sizeof text, "0x%016" PRIx64 "ull", digest);
    EXPECT_EQ(digest, kRecordedDigest) << "new digest: " << text;
}
