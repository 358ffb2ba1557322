// RIFF WAVE reading and writing, the wave stream's rules and the sample store's growth.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "audio/Wave.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Tag(Bytes& b, const char* t) { b.insert(b.end(), t, t + 4); }

struct Chunk {
    std::string Id;
    Bytes Body;
};

// A RIFF file with the chunks given, in that order, no pad bytes.
Bytes Riff(const std::vector<Chunk>& chunks, const char* riff = "RIFF", const char* wave = "WAVE") {
    Bytes body;
    for (const auto& c : chunks) {
        Tag(body, c.Id.c_str());
        Put32(body, static_cast<uint32_t>(c.Body.size()));
        body.insert(body.end(), c.Body.begin(), c.Body.end());
    }
    Bytes out;
    Tag(out, riff);
    Put32(out, static_cast<uint32_t>(4 + body.size()));
    Tag(out, wave);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Pcm16(uint32_t rate, uint16_t bits, size_t extra = 0) {
    TWave w;
    w.SetPCMFormat(rate, bits, 1);
    Bytes f(w.Format(), w.Format() + 16);
    if (extra) {
        f.push_back(static_cast<uint8_t>(extra));
        f.push_back(0);
        f.insert(f.end(), extra - 2, 0);
    }
    return f;
}

Bytes Samples(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + 3);
    return b;
}

Bytes FormatOf(const TWave& w) { return Bytes(w.Format(), w.Format() + w.FormatSize()); }
Bytes DataOf(const TWave& w) { return Bytes(w.Data(), w.Data() + w.Size()); }

template <class E>
std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) { return e.what(); }
    return "(nothing thrown)";
}

}  // namespace

TEST(Wave, WriteThenReadKeepsEveryByteWithoutPad) {
    struct Case {
        size_t formatExtra;  // 0: a 16-byte block; 4: 20 bytes as the "snd" sound has
        size_t dataSize;
    };
    for (Case c : {Case{0, 1}, Case{0, 3}, Case{0, 4135}, Case{4, 24076}, Case{0, 8097}}) {
        SCOPED_TRACE(c.dataSize);
        Bytes format = Pcm16(22050, 8, c.formatExtra);
        Bytes data = Samples(c.dataSize);
        Bytes file = Riff({{"fmt ", format}, {"data", data}});
        TWave w;
        w.LoadFromBytes(file.data(), file.size());
        Bytes saved = w.SaveToBytes();
        const size_t F = format.size(), D = data.size();
        ASSERT_EQ(saved.size(), 28 + F + D);  // nothing follows an odd data chunk
        EXPECT_EQ(saved, file);

        TWave back;
        back.LoadFromBytes(saved.data(), saved.size());
        EXPECT_EQ(FormatOf(back), format);
        EXPECT_EQ(DataOf(back), data);
    }
}

TEST(Wave, ChunksInAnyOrderAndUnknownOnesSkipped) {
    Bytes format = Pcm16(8000, 16);
    Bytes data = Samples(101);
    Bytes odd = Samples(3);  // an odd-length chunk: the next header follows at once
    TWave expected;
    Bytes plain = Riff({{"fmt ", format}, {"data", data}});
    expected.LoadFromBytes(plain.data(), plain.size());

    for (const Bytes& file :
         {Riff({{"data", data}, {"fmt ", format}}),
          Riff({{"fmt ", format}, {"LIST", odd}, {"fact", Samples(4)}, {"data", data}}),
          Riff({{"junk", odd}, {"data", data}, {"cue ", odd}, {"fmt ", format}}),
          // a later chunk of a kind already seen wins
          Riff({{"fmt ", Pcm16(11025, 8)}, {"data", Samples(9)}, {"fmt ", format}, {"data", data}})}) {
        TWave w;
        w.LoadFromBytes(file.data(), file.size());
        EXPECT_EQ(FormatOf(w), FormatOf(expected));
        EXPECT_EQ(DataOf(w), DataOf(expected));
    }
}

TEST(Wave, BadFilesRaiseTheirErrorsAndLeaveTheWaveEmpty) {
    Bytes format = Pcm16(8000, 16);
    Bytes good = Riff({{"fmt ", format}, {"data", Samples(40)}});
    Bytes truncatedData(good.begin(), good.end() - 1);
    Bytes hugeFmt = Riff({{"fmt ", format}});
    hugeFmt[16] = hugeFmt[17] = hugeFmt[18] = hugeFmt[19] = 0xFF;  // fmt claims 4 GB

    struct Case {
        Bytes File;
        const char* Message;
    };
    std::vector<Case> cases = {
        {Riff({{"fmt ", format}}, "RIFX"), "Wave is invalid"},
        {Riff({{"fmt ", format}}, "RIFF", "AVI "), "Wave is invalid"},
        {Bytes{'R', 'I', 'F', 'F'}, "Wave is invalid"},
        {Bytes{}, "Wave is invalid"},
        {truncatedData, "Stream read error"},
        {hugeFmt, "Stream read error"},
    };
    for (const auto& c : cases) {
        TWave w;
        Bytes before = Riff({{"fmt ", format}, {"data", Samples(5)}});
        w.LoadFromBytes(before.data(), before.size());
        EXPECT_EQ(MessageOf<EWaveStreamError>([&] { w.LoadFromBytes(c.File.data(), c.File.size()); }), c.Message);
        EXPECT_EQ(w.Size(), 0);
        EXPECT_EQ(w.FormatSize(), 0);
    }
}

TEST(Wave, NoDataChunkGivesAnEmptyWave) {
    Bytes file = Riff({{"fmt ", Pcm16(8000, 16)}});
    TWave w;
    w.LoadFromBytes(file.data(), file.size());
    EXPECT_EQ(w.FormatSize(), 16);
    EXPECT_EQ(w.Size(), 0);
}

TEST(Wave, EmptyWaveWritesNothing) {
    TWave noData;
    noData.SetPCMFormat(8000, 8, 1);
    TWave noFormat;
    noFormat.SetSize(10);
    TWave empty;
    for (const TWave* w : {&noData, &noFormat, &empty}) {
        TMemoryStream s;
        w->SaveToStream(s);
        EXPECT_EQ(s.Size(), 0);
    }
}

TEST(Wave, ReadsAndWritesWhereTheCarrierStands) {
    TWave w;
    w.SetPCMFormat(22050, 8, 1);
    w.SetSize(7);
    Bytes data = Samples(7);
    std::copy(data.begin(), data.end(), w.Data());

    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    w.SaveToStream(s);
    EXPECT_EQ(s.Position(), s.Size());  // back at the end after completion
    ASSERT_EQ(s.Size(), 3 + 28 + 16 + 7);
    const uint8_t* riff = s.Bytes().data() + 3;
    EXPECT_EQ(riff[4] | (riff[5] << 8), 28 + 16 + 7 - 8);  // RIFF length counts from its own start

    s.SetPosition(3);
    TWave back;
    back.LoadFromStream(s);
    EXPECT_EQ(DataOf(back), data);
}

TEST(Wave, SampleStoreGrowsInBlocksOf8096) {
    TWave w;
    struct Step {
        int Size, Capacity;
    };
    for (Step s : {Step{1, 8096}, Step{8096, 8096}, Step{8097, 16192}, Step{100, 8096}, Step{-5, 0}, Step{0, 0}}) {
        w.SetSize(s.Size);
        EXPECT_EQ(w.Capacity(), s.Capacity) << s.Size;
        EXPECT_EQ(w.Size(), std::max(0, s.Size));
    }
    // Growing within and across blocks keeps what is there.
    w.SetSize(10);
    w.Data()[9] = 0x5A;
    w.SetSize(9000);
    EXPECT_EQ(w.Data()[9], 0x5A);

    w.SetFormatSize(-1);
    EXPECT_EQ(w.FormatSize(), 0);

    TWave copy;
    copy.Assign(&w);
    EXPECT_EQ(copy.Size(), 9000);
    EXPECT_EQ(copy.Data()[9], 0x5A);
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Size(), 0);
}

TEST(WaveStream, PositionSeekAndSizeStayInsideTheSamples) {
    Bytes data = Samples(10);
    TMemoryStream carrier(Riff({{"fmt ", Pcm16(8000, 8)}, {"data", data}, {"LIST", Samples(6)}}));
    TWaveStream ws(carrier);
    ws.Open(false);
    EXPECT_EQ(ws.Size(), 10);
    EXPECT_EQ(ws.FormatSize(), 16);

    uint8_t buf[32] = {};
    EXPECT_EQ(ws.Seek(7, TSeekOrigin::soBeginning), 7);
    EXPECT_EQ(ws.Read(buf, 32), 3);  // cut at the data size, never into the next chunk
    EXPECT_EQ(buf[0], data[7]);
    EXPECT_EQ(ws.Seek(-100, TSeekOrigin::soCurrent), 0);
    EXPECT_EQ(ws.Seek(5, TSeekOrigin::soEnd), 10);
    EXPECT_EQ(ws.Seek(-4, TSeekOrigin::soEnd), 6);
    ws.SetSize(2);
    EXPECT_EQ(ws.Size(), 10);
}

TEST(WaveStream, MisuseRaisesItsErrors) {
    TMemoryStream carrier(Riff({{"fmt ", Pcm16(8000, 8)}, {"data", Samples(4)}}));
    uint8_t b[4];
    {
        TWaveStream ws(carrier);
        EXPECT_EQ(MessageOf<EWaveStreamError>([&] { ws.Read(b, 4); }), "Stream not opend");
        EXPECT_EQ(MessageOf<EWaveStreamError>([&] { ws.Write(b, 4); }), "Stream not opend");
        ws.Open(false);
        EXPECT_EQ(MessageOf<EWaveStreamError>([&] { ws.Open(false); }), "Stream has already been opened");
    }
    TMemoryStream out;
    TWaveStream writer(out);
    EXPECT_EQ(MessageOf<EWaveStreamError>([&] { writer.Open(true); }), "Format is invalid");
}
