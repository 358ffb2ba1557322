// The sprite tree: ordering, passes, collision walk, animation, kill and sweep.
#include "engine/DXSprite.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/DXDraws.h"

namespace {

// Records what the passes do to it, in one log shared by a test.
class TLogSprite : public TImageSprite {
public:
    TLogSprite(TSprite* parent, std::string name, std::vector<std::string>* log)
        : TImageSprite(parent), Name(std::move(name)), Log(log) {}
    ~TLogSprite() override {
        if (Log) Log->push_back("free " + Name);
    }
    void DrawSelf() override { Log->push_back("draw " + Name); }
    void Advance(int elapsed) override {
        Log->push_back("move " + Name);
        TImageSprite::Advance(elapsed);
        if (OnAdvance) OnAdvance(this);
    }
    void HitBy(TSprite* sprite, bool& done) override {
        auto* other = dynamic_cast<TLogSprite*>(sprite);
        Log->push_back("hit " + Name + "<-" + (other ? other->Name : std::string("?")));
        if (OnHit) OnHit(this, sprite, done);
    }
    std::string Name;
    std::vector<std::string>* Log;
    std::function<void(TLogSprite*)> OnAdvance;
    std::function<void(TLogSprite*, TSprite*, bool&)> OnHit;
};

class SpriteTree : public ::testing::Test {
protected:
    TLogSprite* Make(TSprite* parent, const std::string& name, double x = 0, double y = 0, int w = 10, int h = 10) {
        auto* s = new TLogSprite(parent, name, &log);
        s->X = x;
        s->Y = y;
        s->Width = w;
        s->Height = h;
        return s;
    }
    std::vector<std::string> Take() {
        auto r = std::move(log);
        log.clear();
        return r;
    }
    std::vector<std::string> DrawOrder(TSprite* parent) {
        std::vector<std::string> names;
        for (int i = 0; i < parent->DrawCount(); ++i)
            names.push_back(static_cast<TLogSprite*>(parent->DrawItems(i))->Name);
        return names;
    }

    std::vector<std::string> log;
    // Declared after the log: the engine frees its sprites (which log) first.
    std::unique_ptr<TSpriteEngine> engine = std::make_unique<TSpriteEngine>();
    using V = std::vector<std::string>;
};

TEST_F(SpriteTree, CreateLinksCountsAndIndexes) {
    EXPECT_EQ(engine->Engine(), nullptr);
    EXPECT_EQ(engine->Count(), 0);
    auto* a = Make(engine.get(), "a");
    auto* b = Make(engine.get(), "b");
    auto* c = Make(a, "c");
    EXPECT_EQ(a->Engine(), engine.get());
    EXPECT_EQ(c->Engine(), engine.get());
    EXPECT_EQ(c->Parent(), a);
    EXPECT_TRUE(c->Visible && c->MoveEnabled && c->CollisionEnabled);
    EXPECT_EQ(engine->TotalSprites(), 3);
    EXPECT_EQ(engine->Items(0), a);
    EXPECT_EQ(engine->Items(1), b);

    try {
        b->Items(0);
        FAIL();
    } catch (const ESpriteError& e) { EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (0)"); }
    try {
        engine->Items(2);
        FAIL();
    } catch (const std::out_of_range& e) { EXPECT_STREQ(e.what(), "List index out of bounds (2)"); }
    EXPECT_THROW(engine->Items(-1), std::out_of_range);

    delete a;  // takes c along
    EXPECT_EQ(engine->TotalSprites(), 1);
    EXPECT_EQ(engine->Count(), 1);
    EXPECT_EQ(DrawOrder(engine.get()), V{"b"});
    EXPECT_EQ(Take(), (V{"free a", "free c"}));
}

TEST_F(SpriteTree, EqualDepthGoesBeneathAndSetZRefiles) {
    auto* a = Make(engine.get(), "a");
    auto* b = Make(engine.get(), "b");
    auto* c = Make(engine.get(), "c");
    EXPECT_EQ(DrawOrder(engine.get()), (V{"c", "b", "a"}));  // last created is drawn first

    a->SetZ(5);
    b->SetZ(-1);
    EXPECT_EQ(DrawOrder(engine.get()), (V{"b", "c", "a"}));
    c->SetZ(5);  // lands beneath a, which already had 5
    EXPECT_EQ(DrawOrder(engine.get()), (V{"b", "c", "a"}));
    b->SetZ(5);
    EXPECT_EQ(DrawOrder(engine.get()), (V{"b", "c", "a"}));
    c->SetZ(5);  // unchanged: keeps its place
    EXPECT_EQ(DrawOrder(engine.get()), (V{"b", "c", "a"}));
    c->SetZ(4);
    c->SetZ(5);
    EXPECT_EQ(DrawOrder(engine.get()), (V{"c", "b", "a"}));
    // Creation order is untouched by depth.
    EXPECT_EQ(engine->Items(0), a);
    EXPECT_EQ(engine->Items(2), c);
}

TEST_F(SpriteTree, MoveIsPreOrderInCreationOrderAndHonoursMoveEnabled) {
    auto* a = Make(engine.get(), "a");
    Make(a, "a1");
    auto* b = Make(engine.get(), "b");
    Make(b, "b1");
    Make(engine.get(), "c");
    a->SetZ(10);  // depth does not matter for moving
    // A sprite made during the pass waits for the next one.
    bool made = false;
    a->OnAdvance = [&](TLogSprite*) {
        if (!made) Make(engine.get(), "late");
        made = true;
    };
    b->MoveEnabled = false;
    engine->Move(16);
    EXPECT_EQ(Take(), (V{"move a", "move a1", "move c"}));
    engine->Move(16);
    EXPECT_EQ(Take(), (V{"move a", "move a1", "move c", "move late"}));
}

TEST_F(SpriteTree, DrawCullsAgainstTheSurfaceButVisitsChildren) {
    TDirectDrawSurface surface(100, 50, 32);
    engine->SetSurface(&surface);
    EXPECT_EQ(engine->SurfaceBox(), (platform::Rect{0, 0, 100, 50}));
    EXPECT_EQ(engine->Width, 100);
    EXPECT_EQ(engine->Height, 50);

    auto* left = Make(engine.get(), "left", -10, 0);  // right edge touches x = 0: not drawn
    Make(left, "inner", 15, 0);                       // its child at x = 5 is
    Make(engine.get(), "edge", 100, 0);               // starts at the right edge
    Make(engine.get(), "corner", -9.9, -9.9);         // Trunc: (-9, -9), one pixel inside
    auto* hidden = Make(engine.get(), "hidden", 10, 10);
    Make(hidden, "hiddenchild", 0, 0);
    hidden->Visible = false;
    auto* top = Make(engine.get(), "top", 20, 20);
    top->SetZ(-1);
    Make(top, "overtop", 0, 0)->SetZ(-100);  // a parent is beneath its children anyway

    engine->Draw();
    EXPECT_EQ(Take(), (V{"draw top", "draw overtop", "draw corner", "draw inner"}));
    EXPECT_EQ(engine->DrawnSprites(), 4);

    engine->SetSurface(nullptr);  // keeps the old box
    EXPECT_EQ(engine->SurfaceBox(), (platform::Rect{0, 0, 100, 50}));
}

TEST(SpriteGeometry, HitBoxTruncatesTowardZero) {
    TSpriteEngine engine;
    auto* s = new TSprite(&engine);
    s->Width = 4;
    s->Height = 3;
    const struct {
        double x, y;
        int left, top;
    } cases[] = {{-0.7, -0.5, 0, 0}, {-1.2, 2.9, -1, 2}, {10.99, -3.01, 10, -3}};
    for (const auto& c : cases) {
        s->X = c.x;
        s->Y = c.y;
        EXPECT_EQ(s->HitBox(), (platform::Rect{c.left, c.top, c.left + 4, c.top + 3})) << c.x;
    }
    // Positions add up through the parents.
    engine.X = 0.5;
    auto* child = new TSprite(s);
    child->X = 0.6;
    s->X = 1.0;
    EXPECT_DOUBLE_EQ(child->AbsX(), 2.1);
    EXPECT_EQ(child->HitBox().Left, 2);
}

TEST(SpriteGeometry, WrapAroundTilesOnSurfacePlusSize) {
    TDirectDrawSurface surface(800, 600, 16);
    TSpriteEngine engine;
    engine.SetSurface(&surface);
    auto* s = new TImageSprite(&engine);
    s->Width = 50;
    s->Height = 20;
    s->WrapAround = true;
    const struct {
        double x;
        int left;
    } cases[] = {{0, 0},     {800, 800}, {801, -49},  {850, 0},   {-10, -10},
                 {-50, 800}, {-51, 799}, {-900, 800}, {1700.5, 0}};
    for (const auto& c : cases) {
        s->X = c.x;
        EXPECT_EQ(s->HitBox().Left, c.left) << c.x;
        EXPECT_EQ(s->HitBox().Right, c.left + 50) << c.x;
    }
    s->X = 0;
    s->Y = 610;
    EXPECT_EQ(s->HitBox().Top, -10);
    s->WrapAround = false;
    EXPECT_EQ(s->HitBox().Top, 610);
}

TEST(SpriteAnimation, NonLoopedStopsOnLastFrameLoopedWraps) {
    TSpriteEngine engine;
    auto* s = new TImageSprite(&engine);
    s->CycleLength = 5;
    s->CycleSpeed = 0.5;
    s->CycleStart = 7;
    s->Advance(3);
    EXPECT_DOUBLE_EQ(s->CyclePos, 1.5);
    EXPECT_EQ(s->ShownPattern(), 8);
    for (int i = 0; i < 10; ++i) s->Advance(1);
    EXPECT_DOUBLE_EQ(s->CyclePos, 4.0);
    EXPECT_DOUBLE_EQ(s->CycleSpeed, 0.0);
    EXPECT_EQ(s->ShownPattern(), 11);

    s->CycleSpeed = -1;  // running backwards stops on frame 0
    s->Advance(10);
    EXPECT_DOUBLE_EQ(s->CyclePos, 0.0);
    EXPECT_DOUBLE_EQ(s->CycleSpeed, 0.0);

    s->CycleLength = 0;  // the game's usual case: never leaves frame 0
    s->CycleSpeed = 0.3;
    s->Advance(16);
    EXPECT_DOUBLE_EQ(s->CyclePos, 0.0);
    EXPECT_EQ(s->ShownPattern(), 7);

    s->CycleLoops = true;
    s->CycleLength = 4;
    s->CyclePos = 3.5;
    s->CycleSpeed = 1.0;
    s->Advance(1);
    EXPECT_DOUBLE_EQ(s->CyclePos, 0.5);
    s->CycleSpeed = -1.0;
    s->Advance(1);
    EXPECT_DOUBLE_EQ(s->CyclePos, 3.5);  // wraps to the top of the range
    EXPECT_DOUBLE_EQ(s->CycleSpeed, -1.0);
    s->CycleLength = 0;
    s->Advance(1);
    EXPECT_DOUBLE_EQ(s->CyclePos, 0.0);
    EXPECT_DOUBLE_EQ(s->CycleSpeed, -1.0);
}

TEST_F(SpriteTree, CollisionFlagsAndTouchingEdges) {
    auto* s = Make(engine.get(), "s", 0, 0);
    Make(engine.get(), "touch", 10, 0);  // shares the edge x = 10 only
    auto* off = Make(engine.get(), "off", 5, 5);
    Make(off, "offchild", 1, 1);
    off->CollisionEnabled = false;  // takes its child out as well
    auto* on = Make(engine.get(), "on", 9, 9);
    Make(on, "own", -9, -9);
    Make(s, "mine", 0, 0);  // the asker's own child is a candidate too
    EXPECT_EQ(s->CheckHits(), 3);
    EXPECT_EQ(Take(), (V{"hit s<-mine", "hit s<-on", "hit s<-own"}));

    s->CollisionEnabled = false;
    EXPECT_EQ(s->CheckHits(), 0);
    EXPECT_TRUE(Take().empty());
}

TEST_F(SpriteTree, KillQueuesOnceAndDeadAskersFindNothing) {
    auto* a = Make(engine.get(), "a");
    auto* b = Make(engine.get(), "b");
    b->Kill();
    b->Kill();
    EXPECT_TRUE(b->MarkedDead());
    EXPECT_EQ(engine->KillList().size(), 1u);
    EXPECT_EQ(b->CheckHits(), 0);
    EXPECT_TRUE(Take().empty());
    // Still live for everyone else until the sweep.
    EXPECT_EQ(a->CheckHits(), 1);
    engine->Move(1);
    EXPECT_EQ(Take(), (V{"hit a<-b", "move a", "move b"}));

    TSprite loose(nullptr);  // no engine: Kill does nothing
    loose.Kill();
    EXPECT_FALSE(loose.MarkedDead());
}

TEST_F(SpriteTree, SweepFreesInReverseMarkingOrderWithChildren) {
    auto* a = Make(engine.get(), "a");
    auto* b = Make(engine.get(), "b");
    auto* b1 = Make(b, "b1");
    Make(b, "b2");
    Make(engine.get(), "c");
    a->Kill();
    b1->Kill();
    b->Kill();
    engine->Sweep();
    // The log is written as each destructor starts, before the children go.
    EXPECT_EQ(Take(), (V{"free b", "free b2", "free b1", "free a"}));
    EXPECT_TRUE(engine->KillList().empty());
    EXPECT_EQ(engine->TotalSprites(), 1);
    EXPECT_EQ(engine->Count(), 1);

    // A marked sprite freed directly leaves the kill list too.
    auto* d = Make(engine.get(), "d");
    d->Kill();
    delete d;
    EXPECT_TRUE(engine->KillList().empty());
    Take();

    Make(engine.get(), "e");
    engine->Clear();
    EXPECT_EQ(Take(), (V{"free e", "free c"}));
    EXPECT_EQ(engine->TotalSprites(), 0);
}

// In a one-level tree a sprite that dies (or says Done) on its first hit is still told
// about the second one.
TEST_F(SpriteTree, DoneDoesNotStopLaterSiblings) {
    const struct {
        const char* how;
        std::function<void(TLogSprite*, TSprite*, bool&)> onHit;
    } cases[] = {
        {"kill", [](TLogSprite* s, TSprite*, bool&) { s->Kill(); }},
        {"done", [](TLogSprite*, TSprite*, bool& done) { done = true; }},
        {"disable", [](TLogSprite* s, TSprite*, bool&) { s->CollisionEnabled = false; }},
    };
    for (const auto& c : cases) {
        engine->Clear();
        auto* shot = Make(engine.get(), "shot", 0, 0, 20, 20);
        Make(engine.get(), "e1", 5, 5);
        Make(engine.get(), "e2", 8, 8);
        shot->OnHit = c.onHit;
        Take();
        EXPECT_EQ(shot->CheckHits(), 2) << c.how;
        EXPECT_EQ(Take(), (V{"hit shot<-e1", "hit shot<-e2"})) << c.how;
    }
}

TEST_F(SpriteTree, DoneStopsDescentAfterItIsSet) {
    // shot overlaps p, p's child pc, q and q's child qc; the first hit sets Done.
    auto* shot = Make(engine.get(), "shot", 0, 0, 50, 50);
    auto* p = Make(engine.get(), "p", 5, 5);
    Make(p, "pc", 1, 1);
    auto* q = Make(engine.get(), "q", 20, 20);
    Make(q, "qc", 1, 1);
    shot->OnHit = [](TLogSprite*, TSprite*, bool& done) { done = true; };
    EXPECT_EQ(shot->CheckHits(), 2);
    EXPECT_EQ(Take(), (V{"hit shot<-p", "hit shot<-q"}));

    // Set on the child: the parent's later siblings are tested but not descended into.
    shot->OnHit = [](TLogSprite*, TSprite* t, bool& done) {
        if (static_cast<TLogSprite*>(t)->Name == "pc") done = true;
    };
    EXPECT_EQ(shot->CheckHits(), 3);
    EXPECT_EQ(Take(), (V{"hit shot<-p", "hit shot<-pc", "hit shot<-q"}));
}

TEST_F(SpriteTree, AskerBoxIsTakenOnceAndHitsMayCreateSprites) {
    auto* s = Make(engine.get(), "s", 0, 0);
    Make(engine.get(), "a", 5, 0);
    Make(engine.get(), "b", 5, 5);
    s->OnHit = [&](TLogSprite* me, TSprite*, bool&) {
        me->X = 500;  // later tests of this walk still use the old box
        Make(engine.get(), "boom", 0, 0);
    };
    EXPECT_EQ(s->CheckHits(), 2);
    EXPECT_EQ(Take(), (V{"hit s<-a", "hit s<-b"}));
    EXPECT_EQ(engine->Count(), 5);
}

// ---------------------------------------------------------------------------------------
// Pixel-exact test

struct DepthCase {
    int bits;
    uint32_t key, opaque;
};

class PixelHitTest : public ::testing::TestWithParam<DepthCase> {};

// Two 4 x 4 patterns, each with a single opaque pixel: the test is true exactly when the
// placement puts those pixels on the same spot.
TEST_P(PixelHitTest, FindsCommonOpaquePixel) {
    const DepthCase d = GetParam();
    TDirectDrawSurface a(8, 4, d.bits), b(4, 4, d.bits);
    a.SetColorKey(d.key);
    b.SetColorKey(d.key);
    a.Bitmap().Fill(d.key);
    b.Bitmap().Fill(d.key);
    a.Bitmap().SetPixel(4 + 3, 2, d.opaque);  // pattern 2 of a, local (3, 2)
    b.Bitmap().SetPixel(0, 0, d.opaque);
    const platform::Rect pa{4, 0, 8, 4}, pb{0, 0, 4, 4};

    EXPECT_TRUE(TImageSprite::PixelHit(&a, pa, 10, 10, &b, pb, 13, 12));
    EXPECT_FALSE(TImageSprite::PixelHit(&a, pa, 10, 10, &b, pb, 12, 12));
    EXPECT_FALSE(TImageSprite::PixelHit(&a, pa, 10, 10, &b, pb, 13, 11));
    EXPECT_FALSE(TImageSprite::PixelHit(&a, pa, 10, 10, &b, pb, 14, 10));  // rectangles only touch
    EXPECT_FALSE(a.Locked());
    EXPECT_FALSE(b.Locked());

    // Both patterns on one surface.
    a.Bitmap().SetPixel(1, 1, d.opaque);
    EXPECT_TRUE(TImageSprite::PixelHit(&a, pa, 0, 0, &a, platform::Rect{0, 0, 4, 4}, 2, 1));
    EXPECT_FALSE(TImageSprite::PixelHit(&a, pa, 0, 0, &a, platform::Rect{0, 0, 4, 4}, 2, 2));
    EXPECT_FALSE(a.Locked());
}

INSTANTIATE_TEST_SUITE_P(Depths, PixelHitTest,
                         ::testing::Values(DepthCase{8, 0, 7}, DepthCase{16, 0xF81F, 0x07E0},
                                           DepthCase{24, 0xFF00FF, 0x00FF00}, DepthCase{32, 0x000000, 0x123456}),
                         [](const auto& info) { return std::to_string(info.param.bits) + "bit"; });

TEST(PixelHit, FailuresAndMixedDepths) {
    TDirectDrawSurface a(4, 4, 16), b(4, 4, 32), c(4, 4, 16);
    const platform::Rect box{0, 0, 4, 4};
    // All transparent (key 0 everywhere) but of different depths: counts as a hit.
    EXPECT_TRUE(TImageSprite::PixelHit(&a, box, 0, 0, &b, box, 1, 1));
    EXPECT_FALSE(TImageSprite::PixelHit(&a, box, 0, 0, &c, box, 1, 1));
    // No surface: the rectangles decide.
    EXPECT_TRUE(TImageSprite::PixelHit(&a, box, 0, 0, nullptr, box, 1, 1));
    EXPECT_FALSE(TImageSprite::PixelHit(&a, box, 0, 0, nullptr, box, 4, 0));
    // A surface that cannot be locked: no hit, nothing left locked.
    c.Bitmap().Fill(1);
    a.Bitmap().Fill(1);
    EXPECT_TRUE(TImageSprite::PixelHit(&a, box, 0, 0, &c, box, 1, 1));
    c.SetLost(true);
    EXPECT_FALSE(TImageSprite::PixelHit(&a, box, 0, 0, &c, box, 1, 1));
    EXPECT_FALSE(a.Locked());
}

TEST(FineTest, OnlyImageSpritesWithExactHitsLookAtPixels) {
    TSpriteEngine engine;
    auto* plain = new TSprite(&engine);
    auto* img = new TImageSprite(&engine);
    EXPECT_TRUE(img->FineTest(plain));
    img->ExactHits = true;
    EXPECT_TRUE(img->FineTest(plain));
    EXPECT_TRUE(plain->FineTest(img));
}

// ---------------------------------------------------------------------------------------
// The component follows the display's lifecycle

class StubWindow : public platform::IWindow {
public:
    explicit StubWindow(platform::Rect r) : bounds_(r) {}
    uint32_t Id() const override { return 77; }
    void SetBounds(const platform::Rect& r) override { bounds_ = r; }
    platform::Rect Bounds() const override { return bounds_; }
    void Show() override { visible_ = true; }
    void Hide() override { visible_ = false; }
    bool Visible() const override { return visible_; }
    void SetCaption(const std::string&) override {}
    std::string Caption() const override { return {}; }
    void SetCursorVisible(bool) override {}
    bool SetFullScreen(bool, const platform::DisplayMode&) override { return false; }
    bool FullScreen() const override { return false; }
    bool Present(const platform::Bitmap&, int, int) override { return true; }
    void Focus() override {}
    bool HasFocus() const override { return false; }

private:
    platform::Rect bounds_;
    bool visible_ = false;
};

class StubWindows : public platform::IWindowSystem {
public:
    std::unique_ptr<platform::IWindow> CreateWindow(const std::string&, const platform::Rect& r) override {
        return std::make_unique<StubWindow>(r);
    }
    bool PeekMessage(platform::Message&) override { return false; }
    void WaitMessage(int) override {}
    void PostMessage(const platform::Message&) override {}
    void SetTimer(uint32_t, int, int) override {}
    void KillTimer(uint32_t, int) override {}
    void ShowMessageBox(const std::string&, const std::string&) override {}
    platform::Size ScreenSize() override { return {1024, 768}; }
    std::vector<platform::DisplayMode> DisplayModes() override { return {}; }
    uint32_t FocusWindow() override { return 0; }
    void GetKeyboardState(uint8_t vk[256]) override { std::fill(vk, vk + 256, 0); }
    void GetScanCodeState(uint8_t sc[256]) override { std::fill(sc, sc + 256, 0); }
};

class OnDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        saved = platform::Current();
        platform::Services services = saved;
        services.Windows = &windows;
        platform::Install(services);
        form = std::make_unique<TForm>("main", 200, 100);
        dxdraw = std::make_unique<TDXDraw>(form.get());
        dxdraw->Display().SetBitCount(16);
        sprites = std::make_unique<TDXSpriteEngine>(form.get());
    }
    void TearDown() override {
        sprites.reset();
        images.reset();
        dxdraw.reset();
        form.reset();
        platform::Install(saved);
    }

    platform::Services saved;
    StubWindows windows;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TDXDraw> dxdraw;
    std::unique_ptr<TDXImageList> images;
    std::unique_ptr<TDXSpriteEngine> sprites;
    std::vector<std::string> log;
};

TEST_F(OnDisplay, EngineTakesTheBackBufferWhileTheDisplayIsInitialised) {
    auto* s = new TLogSprite(sprites->Engine(), "s", &log);
    s->Width = s->Height = 10;

    sprites->SetDXDraw(dxdraw.get());
    EXPECT_EQ(sprites->Engine()->Surface(), nullptr);
    sprites->Draw();  // not initialised: skipped
    EXPECT_TRUE(log.empty());

    dxdraw->Initialize();
    ASSERT_EQ(sprites->Engine()->Surface(), dxdraw->Surface());
    EXPECT_EQ(sprites->Engine()->SurfaceBox(), (platform::Rect{0, 0, 200, 100}));
    sprites->Move(5);
    s->Kill();
    sprites->Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"move s", "draw s"}));
    sprites->Sweep();
    EXPECT_EQ(sprites->Engine()->TotalSprites(), 0);

    dxdraw->Finalize();
    EXPECT_EQ(sprites->Engine()->Surface(), nullptr);
    dxdraw->Initialize();
    EXPECT_NE(sprites->Engine()->Surface(), nullptr);
    dxdraw.reset();  // the display going away clears the link
    EXPECT_EQ(sprites->DXDraw(), nullptr);
    EXPECT_EQ(sprites->Engine()->Surface(), nullptr);
}

// A 6 x 6 picture with one opaque 2 x 2 block at (2, 2), black elsewhere (transparent).
TEST_F(OnDisplay, ExactHitsCompareThePixelsWhereTheImagesAreDrawn) {
    images = std::make_unique<TDXImageList>(form.get());
    auto* item = images->Items().Add("dot");
    platform::Picture pic;
    pic.Image = platform::Bitmap(6, 6, 32);
    for (int y = 2; y < 4; ++y)
        for (int x = 2; x < 4; ++x) pic.Image.SetPixel(x, y, 0xFFFFFF);
    item->SetPicture(std::move(pic));
    images->SetDXDraw(dxdraw.get());
    sprites->SetDXDraw(dxdraw.get());
    dxdraw->Initialize();
    ASSERT_EQ(item->NumPatterns(), 1);

    auto* a = new TImageSprite(sprites->Engine());  // 10 x 10: the picture is centred, block at 4..5
    a->Image = item;
    a->Width = a->Height = 10;
    a->ExactHits = true;
    auto* b = new TImageSprite(sprites->Engine());  // picture-sized: block at X + 2
    b->Image = item;
    b->Width = b->Height = 6;
    EXPECT_EQ(a->DrawBox(), (platform::Rect{2, 2, 12, 12}));

    const struct {
        double x, y;
        bool hit;
    } cases[] = {{2, 2, true},   {0, 0, false},   {3, 3, true},  {4, 2, false},
                 {1.9, 2, true}, {0.9, 2, false}, {2, 3.5, true}};
    for (const auto& c : cases) {
        b->X = c.x;
        b->Y = c.y;
        EXPECT_EQ(a->FineTest(b), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(b->FineTest(a), true);                                // b does not look at pixels
        EXPECT_EQ(b->CheckHits(), c.hit ? 1 : 0) << c.x << "," << c.y;  // either side asks for them
    }
}

// A pattern outside the entry (a cycle past its end, an entry without a picture) has the
// empty rectangle, which overlaps nothing: the pixel test finds no hit.
TEST_F(OnDisplay, PatternOutsideTheImageHitsNothing) {
    images = std::make_unique<TDXImageList>(form.get());
    auto* dot = images->Items().Add("dot");
    platform::Picture pic;
    pic.Image = platform::Bitmap(6, 6, 32);
    pic.Image.Fill(0xFFFFFF);
    dot->SetPicture(std::move(pic));
    auto* empty = images->Items().Add("nothing");  // never gets a picture
    images->SetDXDraw(dxdraw.get());
    sprites->SetDXDraw(dxdraw.get());
    dxdraw->Initialize();
    ASSERT_EQ(dot->NumPatterns(), 1);
    ASSERT_EQ(empty->NumPatterns(), 0);

    auto make = [&](TPictureCollectionItem* image) {
        auto* s = new TImageSprite(sprites->Engine());
        s->Image = image;
        s->Width = s->Height = 6;
        s->ExactHits = true;
        return s;
    };
    auto* a = make(dot);
    auto* b = make(dot);
    ASSERT_TRUE(a->FineTest(b));  // the same place, both opaque
    b->CycleStart = 1;            // one past the last pattern
    EXPECT_FALSE(a->FineTest(b));
    EXPECT_FALSE(b->FineTest(a));
    b->CycleStart = -1;
    EXPECT_FALSE(a->FineTest(b));
    b->CycleStart = 0;
    b->Image = empty;
    EXPECT_FALSE(a->FineTest(b));
    EXPECT_EQ(a->CheckHits(), 0);
}

// A new back-buffer size while the display runs makes the surface anew: the engine must
// draw into the new one, never into the freed one.
TEST_F(OnDisplay, EngineFollowsTheBackBufferThroughASizeChange) {
    images = std::make_unique<TDXImageList>(form.get());
    auto* white = images->Items().Add("white");
    platform::Picture pic;
    pic.Image = platform::Bitmap(4, 4, 32);
    pic.Image.Fill(0xFFFFFF);
    white->SetPicture(std::move(pic));
    images->SetDXDraw(dxdraw.get());
    sprites->SetDXDraw(dxdraw.get());
    dxdraw->Initialize();
    for (double x : {10.0, 250.0}) {  // inside the old buffer, and only inside the wider one
        auto* s = new TImageSprite(sprites->Engine());
        s->Image = white;
        s->Width = s->Height = 4;
        s->X = x;
        s->Y = 10;
    }

    for (const auto& [w, h] : {std::pair{300, 100}, std::pair{300, 150}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        dxdraw->SetSurfaceWidth(w);
        dxdraw->SetSurfaceHeight(h);
        ASSERT_EQ(dxdraw->Surface()->Width(), w);
        EXPECT_EQ(sprites->Engine()->Surface(), dxdraw->Surface());
        EXPECT_EQ(sprites->Engine()->SurfaceBox(), (platform::Rect{0, 0, w, h}));
        dxdraw->Surface()->Fill(0);
        sprites->Draw();
        const platform::Bitmap& back = dxdraw->Surface()->Bitmap();
        EXPECT_NE(back.GetPixel(11, 11), 0u);
        EXPECT_NE(back.GetPixel(251, 11), 0u);
    }
}

}  // namespace
