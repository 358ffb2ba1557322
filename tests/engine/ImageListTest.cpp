// The image list: lookup, patterns and tiles, drawing, colour table.
#include <gtest/gtest.h>

#include "engine/DXDraws.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeText.h"
#include "platform/fake/FakeWindowSystem.h"

namespace {

// A 24-bit picture filled with one colour.
platform::Picture SolidPicture(int w, int h, platform::RGB c) {
    platform::Picture p;
    p.Image = platform::Bitmap(w, h, 24);
    p.Image.Fill(p.Image.MapRGB(c));
    return p;
}

class ImageListTest : public ::testing::Test {
protected:
    ImageListTest() : ws(clock) {
        platform::Install({.Clock = &clock, .Windows = &ws, .Text = &text});
        form = std::make_unique<TForm>("Main", 800, 600);
        dx = std::make_unique<TDXDraw>(form.get());
        dx->AutoSize = false;
        dx->SetSurfaceWidth(800);
        dx->SetSurfaceHeight(600);
        dx->Display().SetBitCount(32);
        list = std::make_unique<TDXImageList>(form.get());
    }
    ~ImageListTest() override {
        list.reset();
        dx.reset();
        form.reset();
        platform::Install({});
    }
    TPictureCollection& Items() { return list->Items(); }
    TPictureCollectionItem* Add(const std::string& name, platform::Picture p) {
        TPictureCollectionItem* item = Items().Add(name);
        item->SetPicture(std::move(p));
        return item;
    }
    void Start() {
        list->SetDXDraw(dx.get());
        dx->Initialize();
    }

    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem ws{clock};
    platform::fake::FakeTextRenderer text;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TDXDraw> dx;
    std::unique_ptr<TDXImageList> list;
};

}  // namespace

TEST_F(ImageListTest, FindIgnoresCaseAndTheLaterNamedDuplicateWins) {
    Items().Add("Player1");
    auto* p2 = Items().Add("Player2");
    Items().Add("Star");
    EXPECT_EQ(Items().Find("player2"), p2);
    EXPECT_EQ(Items().Find("PLAYER2"), p2);
    EXPECT_EQ(Items().IndexOf("star"), 2);
    EXPECT_EQ(Items().IndexOf("xyz"), -1);
    try {
        Items().Find("xyz");
        FAIL() << "no exception";
    } catch (const EPictureCollectionError& e) { EXPECT_STREQ(e.what(), "Image 'xyz' not found"); }

    Items().Add("Rm1");
    auto* lower = Items().Add("rm1");
    EXPECT_EQ(Items().Find("RM1"), lower);
}

// Only a change of name files an entry anew; writing the name it has changes nothing.
TEST_F(ImageListTest, WritingTheSameNameAgainKeepsTheLaterNamedEntryWinning) {
    auto* upper = Items().Add("Rm1");
    auto* lower = Items().Add("rm1");
    upper->SetName("Rm1");
    EXPECT_EQ(Items().Find("rm1"), lower);
    upper->SetName("RM1");  // another spelling is another name: named last, it wins
    EXPECT_EQ(Items().Find("rm1"), upper);
    lower->SetName("rm1");
    EXPECT_EQ(Items().Find("rm1"), upper);
}

TEST_F(ImageListTest, PatternGrid) {
    struct Case {
        int W, H, pw, ph, skipW, skipH;
        std::vector<platform::Rect> boxes;
    } cases[] = {
        {100, 50, 0, 0, 0, 0, {{0, 0, 100, 50}}},
        {100, 50, 30, 50, 5, 0, {{0, 0, 30, 50}, {35, 0, 65, 50}, {70, 0, 100, 50}}},
        {40, 40, 20, 15, 0, 5, {{0, 0, 20, 15}, {20, 0, 40, 15}, {0, 20, 20, 35}, {20, 20, 40, 35}}},
        {40, 40, 50, 0, 0, 0, {}},  // a pattern wider than the picture: none
    };
    Start();
    for (const auto& c : cases) {
        auto* item = Add("p", SolidPicture(c.W, c.H, {9, 9, 9}));
        item->SetPatternWidth(c.pw);
        item->SetPatternHeight(c.ph);
        item->SetSkipWidth(c.skipW);
        item->SetSkipHeight(c.skipH);
        item->Restore();
        EXPECT_EQ(item->Width(), c.pw > 0 ? c.pw : c.W);
        EXPECT_EQ(item->Height(), c.ph > 0 ? c.ph : c.H);
        ASSERT_EQ(item->NumPatterns(), static_cast<int>(c.boxes.size())) << c.W << "x" << c.H << " " << c.pw;
        for (size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(item->PatternBoxes(static_cast<int>(i)), c.boxes[i]) << i;
            EXPECT_NE(item->PatternSheets(static_cast<int>(i)), nullptr);
        }
        EXPECT_EQ(item->PatternBoxes(item->NumPatterns()), platform::Rect{});
        EXPECT_EQ(item->PatternBoxes(-1), platform::Rect{});
        EXPECT_EQ(item->PatternSheets(item->NumPatterns()), nullptr);
    }
}

TEST_F(ImageListTest, LargePicturesAreCutIntoTilesOfAbout512Pixels) {
    Start();
    // 12 patterns of 100 × 100 in a row: tiles of 600 pixels hold six patterns each.
    platform::Picture pic = SolidPicture(1200, 100, {0, 0, 0});
    for (int x = 0; x < 1200; ++x) pic.Image.SetPixel(x, 0, static_cast<uint32_t>(x));
    auto* item = Add("strip", std::move(pic));
    item->SetPatternWidth(100);
    item->Restore();
    ASSERT_EQ(item->NumPatterns(), 12);
    ASSERT_EQ(item->SurfaceCount(), 2);
    EXPECT_EQ(item->Surfaces(0)->Width(), 600);
    EXPECT_EQ(item->PatternSheets(7), item->Surfaces(1));
    EXPECT_EQ(item->PatternBoxes(7), (platform::Rect{100, 0, 200, 100}));
    EXPECT_EQ(item->Surfaces(1)->Bitmap().GetPixel(100, 0), 700u);  // picture x 700

    // The same in system memory: one surface, patterns at picture coordinates.
    item->SetSystemMemory(true);
    item->Restore();
    ASSERT_EQ(item->SurfaceCount(), 1);
    EXPECT_EQ(item->PatternBoxes(7), (platform::Rect{700, 0, 800, 100}));
    EXPECT_TRUE(item->Surfaces(0)->SystemMemory());

    // A pattern stride that does not divide the picture leaves a rest tile at the edge.
    auto* odd = Add("odd", SolidPicture(1100, 600, {1, 2, 3}));
    odd->SetPatternWidth(300);
    odd->SetPatternHeight(300);
    odd->Restore();
    ASSERT_EQ(odd->NumPatterns(), 6);  // 3 columns, 2 rows
    // Tiles 600 × 600 (two strides each way, capped by the rows): 2 across, 1 down.
    ASSERT_EQ(odd->SurfaceCount(), 2);
    EXPECT_EQ(odd->Surfaces(1)->Width(), 500);
    EXPECT_EQ(odd->PatternSheets(2), odd->Surfaces(1));
    EXPECT_EQ(odd->PatternBoxes(2), (platform::Rect{0, 0, 300, 300}));
    EXPECT_EQ(odd->PatternBoxes(4), (platform::Rect{300, 300, 600, 600}));
}

TEST_F(ImageListTest, FollowsTheDisplayLifecycleInTheBackBufferDepth) {
    auto* item = Add("Player1", SolidPicture(10, 8, {200, 100, 50}));
    for (int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        dx->Display().SetBitCount(bits);
        Start();
        ASSERT_TRUE(item->Initialized());
        ASSERT_EQ(item->NumPatterns(), 1);
        EXPECT_EQ(item->PatternSheets(0)->BitCount(), bits);
        dx->Finalize();
        EXPECT_FALSE(item->Initialized());
        EXPECT_EQ(item->NumPatterns(), 0);
        EXPECT_EQ(Items().DXDraw(), nullptr);
    }
}

TEST_F(ImageListTest, DrawsPatternsWithOrWithoutTheTransparentColour) {
    platform::Picture pic = SolidPicture(4, 2, {0, 0, 0});
    pic.Image.SetPixel(1, 0, pic.Image.MapRGB({255, 0, 0}));
    auto* keyed = Add("keyed", pic);
    auto* opaque = Add("opaque", pic);
    opaque->SetTransparent(false);

    keyed->Draw(nullptr, 0, 0, 0);  // before any display: nothing, no fault
    Start();
    TDirectDrawSurface* back = dx->Surface();
    back->Fill(0x00FF00);
    keyed->Draw(back, 10, 10, 0);
    EXPECT_EQ(back->Bitmap().GetPixel(11, 10), 0xFF0000u);
    EXPECT_EQ(back->Bitmap().GetPixel(10, 10), 0x00FF00u);  // black skipped
    opaque->Draw(back, 20, 10, 0);
    EXPECT_EQ(back->Bitmap().GetPixel(20, 10), 0u);

    back->Fill(0x00FF00);
    keyed->Draw(back, 10, 10, keyed->NumPatterns());
    keyed->Draw(back, 10, 10, -1);
    EXPECT_EQ(back->Bitmap().GetPixel(11, 10), 0x00FF00u);

    // A new transparent colour re-keys the existing surfaces.
    keyed->SetTransparentColor(RGBColor(255, 0, 0));
    keyed->Draw(back, 10, 10, 0);
    EXPECT_EQ(back->Bitmap().GetPixel(11, 10), 0x00FF00u);
    EXPECT_EQ(back->Bitmap().GetPixel(10, 10), 0u);
}

TEST_F(ImageListTest, EightBitSurfacesTakeTheNearestDisplayColours) {
    dx->Display().SetBitCount(8);
    auto* item = Add("rm1", SolidPicture(2, 2, {4, 10, 104}));
    item->SetTransparent(false);
    item->SetTransparentColor(RGBColor(4, 10, 104));
    for (int i = 0; i < 256; ++i) dx->DefaultColors[i] = dx->ColorTable[i] = RGBQuad(0, 0, static_cast<uint8_t>(i));
    Start();
    TDirectDrawSurface* s = item->PatternSheets(0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->BitCount(), 8);
    EXPECT_EQ(s->Bitmap().GetPixel(1, 1), 104u);  // (0, 0, 104) is the nearest entry
    EXPECT_EQ(s->ColorKey(), 104u);
}

TEST_F(ImageListTest, InitializingWithoutAReadyDisplayFails) {
    try {
        Items().Initialize(nullptr);
        FAIL() << "no exception";
    } catch (const EPictureCollectionError& e) { EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized"); }
    EXPECT_THROW(Items().Initialize(dx.get()), EPictureCollectionError);  // not initialised
    EXPECT_FALSE(Items().Initialized());
}

TEST_F(ImageListTest, PictureLoadedLaterShowsAtTheNextRestore) {
    auto* item = Items().Add("Read");
    Start();
    EXPECT_EQ(item->NumPatterns(), 0);
    item->SetPicture(SolidPicture(5, 5, {1, 1, 1}));
    EXPECT_EQ(item->NumPatterns(), 0);
    dx->Restore();
    EXPECT_EQ(item->NumPatterns(), 1);
}

TEST_F(ImageListTest, LinkFollowsTheDisplay) {
    Add("a", SolidPicture(3, 3, {1, 1, 1}));
    dx->Initialize();
    list->SetDXDraw(dx.get());  // registering late restores at once
    EXPECT_EQ(Items().Items(0)->NumPatterns(), 1);
    list->SetDXDraw(nullptr);
    EXPECT_EQ(Items().Items(0)->NumPatterns(), 0);
    list->SetDXDraw(dx.get());
    dx.reset();  // the display goes away first: the link is cleared
    EXPECT_EQ(list->DXDraw(), nullptr);
}

TEST_F(ImageListTest, BuildColorTable) {
    Items().BuildColorTable();
    TRGBQuads expected{};
    const std::pair<int, TRGBQuad> fixed[] = {
        {0, RGBQuad(0, 0, 0)},        {1, RGBQuad(128, 0, 0)},     {2, RGBQuad(0, 128, 0)},
        {3, RGBQuad(128, 128, 0)},    {4, RGBQuad(0, 0, 128)},     {5, RGBQuad(128, 0, 128)},
        {6, RGBQuad(0, 128, 128)},    {7, RGBQuad(192, 192, 192)}, {248, RGBQuad(128, 128, 128)},
        {249, RGBQuad(255, 0, 0)},    {250, RGBQuad(0, 255, 0)},   {251, RGBQuad(255, 255, 0)},
        {252, RGBQuad(0, 0, 255)},    {253, RGBQuad(255, 0, 255)}, {254, RGBQuad(0, 255, 255)},
        {255, RGBQuad(255, 255, 255)}};
    for (const auto& [slot, q] : fixed) expected[slot] = q;
    EXPECT_EQ(Items().ColorTable, expected);

    // Paletted pictures offer their colours; known ones and 24-bit pictures add nothing.
    platform::Picture indexed;
    indexed.Image = platform::Bitmap(2, 2, 8);
    indexed.Image.Palette()[0] = {0, 0, 0};
    indexed.Image.Palette()[1] = {10, 20, 30};
    indexed.Image.Palette()[2] = {255, 0, 0};
    indexed.Image.Palette()[3] = {40, 50, 60};
    indexed.HasPalette = indexed.IndexedDIB = true;
    Add("true", SolidPicture(2, 2, {1, 2, 3}));
    Add("idx", indexed);
    Items().Add("empty");
    Items().BuildColorTable();
    EXPECT_EQ(Items().ColorTable[8], RGBQuad(10, 20, 30));
    EXPECT_EQ(Items().ColorTable[9], RGBQuad(40, 50, 60));
    EXPECT_EQ(Items().ColorTable[10], TRGBQuad{});
    EXPECT_EQ(Items().ColorTable[249], RGBQuad(255, 0, 0));
}
