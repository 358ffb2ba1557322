// The media player on the fake music device: notices through the window queue, looping,
// stop-and-resume.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/MPlayer.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeWindowSystem.h"

namespace {

class MusicFixture : public ::testing::Test {
protected:
    MusicFixture() : ws(clock) {
        platform::Install({.Clock = &clock, .Windows = &ws, .Music = &music});
        form = std::make_unique<TForm>("Main", 800, 600);
        mp = std::make_unique<TMediaPlayer>(form.get());
        mp->FileName = "Data\\All_mp3\\Music.MP3";
        music.PieceLength = 1000;
        // The game's handler: play again while the music is wanted.
        mp->OnNotify = [this](TMediaPlayer& sender) {
            notices.push_back(sender.NotifyValue());
            if (MusicOn) sender.Play();
        };
    }
    ~MusicFixture() override {
        mp.reset();
        form.reset();
        platform::Install({});
    }

    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem ws;
    platform::fake::FakeMusicSystem music;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TMediaPlayer> mp;
    std::vector<TMPNotifyValues> notices;
    bool MusicOn = false;
};

}  // namespace

TEST_F(MusicFixture, OpenResolvesTheNameAndReportsTheDevicesText) {
    EXPECT_EQ(mp->Name(), "Mp1");
    EXPECT_THROW(mp->Play(), EMCIDeviceError);
    try {
        mp->Stop();
        FAIL();
    } catch (const EMCIDeviceError& e) { EXPECT_STREQ(e.what(), "No MCI device open"); }

    music.OpenError = "The specified file cannot be played on the specified MCI device.";
    try {
        mp->Open();
        FAIL();
    } catch (const EMCIDeviceError& e) {
        EXPECT_STREQ(e.what(), "The specified file cannot be played on the specified MCI device.");
    }
    EXPECT_FALSE(mp->Opened());

    music.OpenError.clear();
    mp->Open();
    EXPECT_TRUE(mp->Opened());
    EXPECT_EQ(music.OpenedPath.find('\\'), std::string::npos);
    EXPECT_EQ(mp->Length(), 1000u);
    EXPECT_EQ(mp->Position(), 0u);
}

TEST_F(MusicFixture, EndOfPieceIsAQueuedNoticeThatLoopsFromTheStart) {
    mp->Open();
    MusicOn = true;
    mp->Play();
    music.FinishPiece();
    EXPECT_TRUE(notices.empty());  // not inside the device's call: through the queue
    EXPECT_EQ(ws.PendingMessages(), 1u);
    EXPECT_EQ(mp->Position(), mp->Length());

    music.Log.clear();
    Application().ProcessMessages();
    ASSERT_EQ(notices, std::vector<TMPNotifyValues>{nvSuccessful});
    EXPECT_EQ(music.Log, (std::vector<std::string>{"seek 0", "play"}));  // rewound, then played
    EXPECT_TRUE(music.Playing());
    EXPECT_EQ(mp->Position(), 0u);

    // Once the music is no longer wanted, the next end stays quiet.
    MusicOn = false;
    music.FinishPiece();
    Application().ProcessMessages();
    EXPECT_EQ(notices.size(), 2u);
    EXPECT_FALSE(music.Playing());
}

TEST_F(MusicFixture, StopKeepsThePositionAndTheAbortedNoticeRestartsNothing) {
    mp->Open();
    MusicOn = true;
    mp->Play();
    music.Advance(300);

    // Back to the menu: Stop, then the flag is cleared before the notice is handled.
    mp->Stop();
    MusicOn = false;
    Application().ProcessMessages();
    EXPECT_EQ(notices, std::vector<TMPNotifyValues>{nvAborted});
    EXPECT_EQ(mp->NotifyValue(), nvAborted);
    EXPECT_FALSE(music.Playing());

    // A second Stop while nothing plays gives no notice.
    mp->Stop();
    Application().ProcessMessages();
    EXPECT_EQ(notices.size(), 1u);

    // A new game continues where the music stopped.
    MusicOn = true;
    music.Log.clear();
    mp->Play();
    EXPECT_EQ(music.Log, std::vector<std::string>{"play"});
    EXPECT_EQ(mp->Position(), 300u);
    music.Advance(100);
    EXPECT_EQ(mp->Position(), 400u);
}

TEST_F(MusicFixture, PlayingAgainSupersedesTheWaitingNotice) {
    mp->Open();
    mp->Play();
    mp->Play();
    Application().ProcessMessages();
    EXPECT_EQ(notices, std::vector<TMPNotifyValues>{nvSuperseded});
    music.FinishPiece();
    Application().ProcessMessages();
    EXPECT_EQ(notices, (std::vector<TMPNotifyValues>{nvSuperseded, nvSuccessful}));
}

TEST_F(MusicFixture, WithoutAutoRewindAPlayAtTheEndEndsAtOnce) {
    mp->Open();
    mp->AutoRewind = false;
    mp->Play();
    music.FinishPiece();
    Application().ProcessMessages();
    mp->Play();
    EXPECT_FALSE(music.Playing());
    Application().ProcessMessages();
    EXPECT_EQ(notices, (std::vector<TMPNotifyValues>{nvSuccessful, nvSuccessful}));
    EXPECT_EQ(mp->Position(), 1000u);
}

TEST_F(MusicFixture, NoMusicDeviceInstalledStaysSilent) {
    platform::Install({.Clock = &clock, .Windows = &ws});
    EXPECT_NO_THROW(mp->Open());
    EXPECT_NO_THROW(mp->Play());
    EXPECT_NO_THROW(mp->Stop());
    Application().ProcessMessages();
    EXPECT_TRUE(notices.empty());
}

TEST_F(MusicFixture, RefusedPlayIsOnlyRecorded) {
    mp->Open();
    music.RefusePlay = true;
    EXPECT_NO_THROW(mp->Play());
    EXPECT_NE(mp->Error(), 0);
    music.RefusePlay = false;
    mp->Play();
    EXPECT_EQ(mp->Error(), 0);
}
