// The sound device component, the wave list and its voice pool, on the recording fake device.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/DXSounds.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeWindowSystem.h"

namespace snd = platform::sound;
using platform::fake::FakeAudioSystem;
using platform::fake::FakeSoundBuffer;

namespace {

template <class E>
std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) { return e.what(); }
    return "(nothing thrown)";
}

void SetWave(TWaveCollectionItem* item, size_t bytes, uint32_t rate = 22050) {
    item->Wave().SetPCMFormat(rate, 8, 1);
    item->Wave().SetSize(static_cast<int>(bytes));
}

class SoundFixture : public ::testing::Test {
protected:
    SoundFixture() : ws(clock) {
        platform::Install({.Clock = &clock, .Windows = &ws, .Audio = &audio});
        form = std::make_unique<TForm>("Main", 800, 600);
        sound = std::make_unique<TDXSound>(form.get());
        list = std::make_unique<TDXWaveList>(form.get());
        list->SetDXSound(sound.get());
        for (const char* name : {"snd", "Shoot", "Menu", "shoot1"}) {
            auto* item = list->Items().Add();
            item->SetName(name);
            SetWave(item, 2205);
        }
    }
    ~SoundFixture() override {
        list.reset();
        sound.reset();
        form.reset();
        platform::Install({});
    }

    TWaveCollectionItem* Item(const char* name) { return list->Items().Find(name); }
    FakeSoundBuffer* Fake(TDirectSoundBuffer* b) {
        // Fake buffers are numbered in creation order; find the one behind b by identity.
        for (auto* f : audio.Buffers())
            if (&b->IBuffer() == f) return f;
        return nullptr;
    }
    std::vector<FakeSoundBuffer*> VoicesOf(TWaveCollectionItem* item) {
        std::vector<FakeSoundBuffer*> v;
        for (int i = 0; i < item->VoiceCount(); ++i) v.push_back(Fake(item->Voice(i)));
        return v;
    }

    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem ws;
    FakeAudioSystem audio;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TDXSound> sound;
    std::unique_ptr<TDXWaveList> list;
};

}  // namespace

TEST_F(SoundFixture, FindIgnoresCaseAndNamesTheMissingWave) {
    EXPECT_EQ(Item("shoot")->Name(), "Shoot");
    EXPECT_EQ(Item("SHOOT1")->Name(), "shoot1");
    EXPECT_EQ(MessageOf<EWaveCollectionError>([&] { list->Items().Find("boom"); }), "Wave 'boom' not found");
}

TEST_F(SoundFixture, InitializeLoadsEveryEntryIntoItsOwnBuffer) {
    sound->Loaded();
    ASSERT_TRUE(sound->Initialized());
    EXPECT_EQ(audio.Calls("level"), std::vector<std::string>{"level " + std::to_string(form->Handle()) + " 1"});
    EXPECT_EQ(audio.Calls("create").size(), 4u);
    for (int i = 0; i < list->Items().Count(); ++i) {
        auto* item = list->Items().Items(i);
        ASSERT_NE(item->Buffer(), nullptr);
        auto* f = Fake(item->Buffer());
        EXPECT_EQ(f->Samples->Bytes.size(), 2205u);
        EXPECT_FALSE(f->Playing);  // loaded, never played itself
        EXPECT_EQ(item->VoiceCount(), 0);
    }
    EXPECT_EQ(audio.Calls("create #2").at(0), "create #2 flags=0xe0 bytes=2205");
}

TEST_F(SoundFixture, OverlappingPlaysGetVoicesThatAreReusedInListOrder) {
    sound->Loaded();
    auto* snd = Item("snd");
    int buffer = Fake(snd->Buffer())->Id;
    snd->Play(false);
    snd->Play(false);
    snd->Play(false);
    auto voices = VoicesOf(snd);
    ASSERT_EQ(voices.size(), 3u);
    for (auto* v : voices) {
        EXPECT_TRUE(v->Playing);
        EXPECT_FALSE(v->Looping);
        EXPECT_EQ(v->SourceId, buffer);                       // duplicates of the entry's buffer
        EXPECT_EQ(v->Samples, Fake(snd->Buffer())->Samples);  // sharing its sample memory
    }
    EXPECT_EQ(audio.Calls("fill").size(), 4u);  // sample bytes copied once per entry only

    // The middle one ends: the next play takes it where it stands.
    voices[1]->End();
    audio.ClearLog();
    snd->Play(false);
    EXPECT_EQ(VoicesOf(snd), voices);
    std::string id = std::to_string(voices[1]->Id);
    EXPECT_EQ(audio.Log(),
              (std::vector<std::string>{"stop #" + id, "position #" + id + " 0", "frequency #" + id + " 0",
                                        "pan #" + id + " 0", "volume #" + id + " 0", "play #" + id + " once"}));

    // All ended: the first voice again, still three.
    audio.EndAll();
    snd->Play(false);
    EXPECT_EQ(VoicesOf(snd), voices);
    EXPECT_TRUE(voices[0]->Playing);
    EXPECT_FALSE(voices[2]->Playing);
}

TEST_F(SoundFixture, MaxPlayingCountCutsTheOldestAndMovesItLast) {
    sound->Loaded();
    auto* snd = Item("snd");
    snd->SetMaxPlayingCount(2);
    snd->Play(false);
    clock.Advance(10);
    snd->Play(false);
    auto before = VoicesOf(snd);
    ASSERT_EQ(before.size(), 2u);
    before[0]->Position = 700;  // somewhere in its sound
    audio.ClearLog();

    snd->Play(false);
    auto after = VoicesOf(snd);
    EXPECT_EQ(after, (std::vector<FakeSoundBuffer*>{before[1], before[0]}));
    EXPECT_EQ(before[0]->Position, 0u);  // restarted from the beginning
    EXPECT_EQ(audio.Calls("stop"), std::vector<std::string>{"stop #" + std::to_string(before[0]->Id)});
    EXPECT_TRUE(audio.Calls("duplicate").empty());

    // A new limit frees the voices; a negative one means none.
    snd->SetMaxPlayingCount(-3);
    EXPECT_EQ(snd->MaxPlayingCount(), 0);
    EXPECT_EQ(snd->VoiceCount(), 0);
}

TEST_F(SoundFixture, LoopedEntryPlaysItsOwnBufferFromTheStart) {
    sound->Loaded();
    auto* snd = Item("snd");
    snd->SetLooped(true);
    auto* buffer = Fake(snd->Buffer());
    snd->Play(false);
    buffer->Position = 1000;
    audio.ClearLog();
    snd->Play(false);
    std::string id = std::to_string(buffer->Id);
    EXPECT_EQ(audio.Log(),
              (std::vector<std::string>{"stop #" + id, "position #" + id + " 0", "play #" + id + " loop"}));
    EXPECT_TRUE(buffer->Looping);
    EXPECT_EQ(snd->VoiceCount(), 0);

    // Turning the loop off stops it; Stop stops the buffer and every voice.
    snd->SetLooped(false);
    EXPECT_FALSE(buffer->Playing);
    snd->Play(false);
    snd->Stop();
    EXPECT_FALSE(VoicesOf(snd)[0]->Playing);
}

TEST_F(SoundFixture, WithoutADeviceTheGameRunsSilent) {
    audio.OpenResult() = snd::ErrNoDriver;
    EXPECT_NO_THROW(sound->Loaded());
    EXPECT_FALSE(sound->Initialized());
    EXPECT_EQ(Item("shoot")->Name(), "Shoot");
    audio.ClearLog();
    EXPECT_NO_THROW(Item("snd")->Play(false));
    EXPECT_NO_THROW(Item("snd")->Play(true));  // even a waiting play returns at once
    EXPECT_TRUE(audio.Log().empty());
    EXPECT_EQ(MessageOf<EDirectSoundError>([&] { sound->Initialize(); }), "DirectSound cannot be initialized");
}

TEST_F(SoundFixture, DeviceFailuresAndTheirMessages) {
    // Without an owning window.
    TDXSound orphan(nullptr);
    EXPECT_EQ(MessageOf<EDXSoundError>([&] { orphan.Initialize(); }), "Form not found");

    // A refused primary buffer is not absorbed by the automatic start.
    audio.PrimaryResult() = snd::ErrGeneric;
    EXPECT_EQ(MessageOf<EDXSoundError>([&] { sound->Loaded(); }), "Primary Buffer cannot be made");
    EXPECT_FALSE(sound->Initialized());
    EXPECT_EQ(audio.OpenDevices(), 0);
    audio.PrimaryResult() = snd::Ok;

    // An entry buffer refused, or one that cannot be locked (which is then released).
    audio.CreateResult() = snd::ErrOutOfMemory;
    EXPECT_EQ(MessageOf<EDirectSoundBufferError>([&] { sound->Initialize(); }), "Sound Buffer cannot be made");
    EXPECT_NO_THROW(sound->Loaded());  // of the absorbed family
    audio.CreateResult() = snd::Ok;
    audio.FillResult() = snd::ErrGeneric;
    audio.ClearLog();
    EXPECT_EQ(MessageOf<EDirectSoundBufferError>([&] { sound->Initialize(); }), "Sound Buffer cannot be locked");
    EXPECT_EQ(audio.Calls("free #").size(), audio.Calls("create").size() + 1);  // + the old primary
    EXPECT_FALSE(Item("snd")->Buffer()->Made());
    EXPECT_EQ(MessageOf<EDirectSoundBufferError>([&] { Item("snd")->Buffer()->Play(false); }),
              "IDirectSoundBuffer not made");
    EXPECT_NO_THROW(Item("snd")->Play(false));  // silent, not an error
}

TEST_F(SoundFixture, RefusedDuplicateLeavesThePlaySilent) {
    sound->Loaded();
    audio.DuplicateResult() = snd::ErrOutOfMemory;
    EXPECT_NO_THROW(Item("snd")->Play(false));
    EXPECT_EQ(Item("snd")->VoiceCount(), 0);
    EXPECT_EQ(sound->DSound()->DXResult(), snd::ErrOutOfMemory);
    audio.DuplicateResult() = snd::Ok;
    Item("snd")->Play(false);
    EXPECT_EQ(Item("snd")->VoiceCount(), 1);
}

TEST_F(SoundFixture, LostBufferReloadsEveryEntryOnce) {
    sound->Loaded();
    Item("snd")->Play(false);
    int restores = 0;
    sound->OnRestore = [&](TCustomDXSound&) { ++restores; };
    audio.ClearLog();
    audio.FailNextBufferCalls(snd::ErrBufferLost, 1);
    Item("snd")->Play(false);  // the first voice's status answers "lost"
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(audio.Calls("create").size(), 4u);  // every entry made its buffer anew
    EXPECT_EQ(Item("snd")->Buffer()->DXResult(), snd::Ok);
}

TEST_F(SoundFixture, EmptyWaveLoadsNothingAndPlaysNothing) {
    auto* empty = list->Items().Add();
    empty->SetName("noclip");
    sound->Loaded();
    EXPECT_EQ(empty->Buffer(), nullptr);
    EXPECT_TRUE(empty->Initialized());
    audio.ClearLog();
    empty->Play(false);
    empty->SetLooped(true);
    empty->Play(false);
    EXPECT_TRUE(audio.Log().empty());
}

TEST_F(SoundFixture, ListenersHearEventsLastRegisteredFirst) {
    std::vector<std::string> heard;
    int a = 0, b = 0;
    auto recorder = [&](const char* who) {
        return [&heard, who](TCustomDXSound&, TDXSoundNotifyType t) { heard.push_back(who + std::to_string(t)); };
    };
    sound->RegisterNotifyEvent(&a, recorder("A"));
    sound->RegisterNotifyEvent(&b, recorder("B"));
    sound->RegisterNotifyEvent(&a, recorder("A"));  // registering again moves it last
    sound->Initialize();
    // The wave list registered first, so it hears after both.
    EXPECT_EQ(heard, (std::vector<std::string>{"A1", "B1", "A2", "B2", "A4", "B4"}));

    heard.clear();
    int c = 0;
    sound->RegisterNotifyEvent(&c, recorder("C"));  // joining an open device: 2, then 4
    sound->UnRegisterNotifyEvent(&b);               // leaving it: 3
    EXPECT_EQ(heard, (std::vector<std::string>{"C2", "C4", "B3"}));

    heard.clear();
    list.reset();  // the list leaves and drops its sounds
    sound.reset();
    EXPECT_EQ(heard, (std::vector<std::string>{"C3", "A3", "C0", "A0"}));
}

TEST_F(SoundFixture, DestroyingTheDeviceFirstUnbindsTheList) {
    sound->Loaded();
    Item("snd")->Play(false);
    sound.reset();
    EXPECT_EQ(list->DXSound(), nullptr);
    EXPECT_FALSE(Item("snd")->Initialized());
    EXPECT_EQ(Item("snd")->Buffer(), nullptr);
    EXPECT_TRUE(audio.Buffers().empty());
    EXPECT_NO_THROW(Item("snd")->Play(false));
}

TEST_F(SoundFixture, OptionsFlagsAndCooperativeLevel) {
    sound->SetOptions(soGlobalFocus | soExclusive);
    sound->Loaded();
    EXPECT_EQ(audio.Calls("level").back(), "level " + std::to_string(form->Handle()) + " 3");
    EXPECT_EQ(audio.Calls("create #2").at(0), "create #2 flags=0x80e0 bytes=2205");
    // While open, exclusive use keeps its state; sticky focus now shows in new buffers.
    sound->SetOptions(soStickyFocus);
    EXPECT_EQ(sound->NowOptions(), static_cast<TDXSoundOptions>(soStickyFocus | soExclusive));
    audio.ClearLog();
    sound->Restore();
    EXPECT_EQ(audio.Calls("create").at(0).substr(audio.Calls("create").at(0).find("flags")), "flags=0x40e0 bytes=2205");
    sound->Finalize();
    EXPECT_EQ(sound->NowOptions(), static_cast<TDXSoundOptions>(soStickyFocus));
}

TEST_F(SoundFixture, FakeDeviceEndsPlaysAfterTheirLength) {
    sound->Loaded();
    auto* snd = Item("snd");  // 2205 bytes at 22050 bytes a second: 100 ms
    snd->Play(false);
    clock.Advance(60);
    audio.Advance(60);
    snd->Play(false);
    auto voices = VoicesOf(snd);
    ASSERT_EQ(voices.size(), 2u);
    audio.Advance(50);
    EXPECT_FALSE(voices[0]->Playing);
    EXPECT_TRUE(voices[1]->Playing);
    audio.Advance(50);
    EXPECT_FALSE(voices[1]->Playing);
}
