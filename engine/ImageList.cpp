// The named image list: entries cut into patterns, their surfaces, the colour table.
#include <algorithm>

#include "engine/ImageList.h"
#include "platform/ScopeExit.h"

// ---------------------------------------------------------------------------------------
// TPictureCollectionItem

TPictureCollectionItem::TPictureCollectionItem(TPictureCollection* collection) : THashCollectionItem(collection) {}

TPictureCollectionItem::~TPictureCollectionItem() { ClearSurfaces(); }

TPictureCollection* TPictureCollectionItem::PictureCollection() const {
    return static_cast<TPictureCollection*>(Collection());
}

int TPictureCollectionItem::Width() const { return patternWidth_ > 0 ? patternWidth_ : picture_.Width(); }
int TPictureCollectionItem::Height() const { return patternHeight_ > 0 ? patternHeight_ : picture_.Height(); }

platform::Rect TPictureCollectionItem::PatternBoxes(int i) const {
    if (i < 0 || i >= NumPatterns()) return {};
    return patterns_[static_cast<size_t>(i)].Rect;
}

TDirectDrawSurface* TPictureCollectionItem::PatternSheets(int i) const {
    if (i < 0 || i >= NumPatterns()) return nullptr;
    return patterns_[static_cast<size_t>(i)].Surface;
}

void TPictureCollectionItem::Draw(TDirectDrawSurface* dest, int x, int y, int patternIndex) {
    if (!initialized_ || !dest || patternIndex < 0 || patternIndex >= NumPatterns()) return;
    const auto& p = patterns_[static_cast<size_t>(patternIndex)];
    dest->Draw(x, y, p.Rect, p.Surface, transparent_);
}

void TPictureCollectionItem::ClearSurfaces() {
    patterns_.clear();
    surfaces_.clear();
}

void TPictureCollectionItem::Initialize() {
    Finalize();
    TPictureCollection* c = PictureCollection();
    initialized_ = c && c->Initialized();
}

void TPictureCollectionItem::Finalize() {
    if (!initialized_) return;
    initialized_ = false;
    ClearSurfaces();
}

TDirectDrawSurface* TPictureCollectionItem::MakeSurface(const platform::Rect& pictureRect) {
    TCustomDXDraw* dxdraw = PictureCollection()->DXDraw();
    // Same format as the back buffer, so keyed copies onto it need no conversion.
    const int bits = dxdraw->Surface() ? dxdraw->Surface()->BitCount() : dxdraw->Display().BitCount();
    auto s = std::make_unique<TDirectDrawSurface>(pictureRect.Width(), pictureRect.Height(), bits);
    if (bits == 8) s->SetPalette(dxdraw->Surface() ? dxdraw->Surface()->Bitmap().Palette() : dxdraw->PaletteColors());
    s->SetSystemMemory(systemMemory_);
    s->LoadFromBitmap(picture_.Image, pictureRect);
    s->SetTransparentColor(transparentColor_);
    surfaces_.push_back(std::move(s));
    return surfaces_.back().get();
}

void TPictureCollectionItem::Restore() {
    if (picture_.Empty()) return;
    if (!initialized_) {
        TPictureCollection* c = PictureCollection();
        if (c && c->Initialized()) Initialize();
        if (!initialized_) return;
    }
    ClearSurfaces();

    const int w = Width(), h = Height();
    const int sw = w + skipWidth_, sh = h + skipHeight_;
    const int W = picture_.Width(), H = picture_.Height();

    if (w == W && h == H) {
        TDirectDrawSurface* s = MakeSurface({0, 0, W, H});
        patterns_.push_back({s, {0, 0, W, H}});
        return;
    }
    if (sw <= 0 || sh <= 0) return;

    const int columns = (W + skipWidth_) / sw;
    const int rows = (H + skipHeight_) / sh;

    if (systemMemory_) {
        TDirectDrawSurface* s = MakeSurface({0, 0, W, H});
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) patterns_.push_back({s, {c * sw, r * sh, c * sw + w, r * sh + h}});
        return;
    }

    // Tiles of about 512 pixels that hold whole pattern strides.
    const int tw = std::min(((sw + 511) / sw) * sw, columns * sw);
    const int th = std::min(((sh + 511) / sh) * sh, rows * sh);
    if (tw <= 0 || th <= 0) return;
    const int tilesX = (W + tw - 1) / tw;
    const int tilesY = (H + th - 1) / th;
    std::vector<TDirectDrawSurface*> tiles;
    tiles.reserve(static_cast<size_t>(tilesX) * tilesY);
    for (int ty = 0; ty < tilesY; ++ty)
        for (int tx = 0; tx < tilesX; ++tx)
            tiles.push_back(MakeSurface({tx * tw, ty * th, std::min(W, (tx + 1) * tw), std::min(H, (ty + 1) * th)}));

    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int px = c * sw, py = r * sh;
            TDirectDrawSurface* s = tiles[static_cast<size_t>(px / tw + tilesX * (py / th))];
            const int lx = px % tw, ly = py % th;
            patterns_.push_back({s, {lx, ly, lx + w, ly + h}});
        }
    }
}

void TPictureCollectionItem::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    for (auto& s : surfaces_) {
        try {
            s->SetTransparentColor(color);
        } catch (...) {
            // One surface refusing its key must not stop the others.
        }
    }
}

void TPictureCollectionItem::Assign(const TPictureCollectionItem& other) {
    if (&other == this) return;
    patternWidth_ = other.patternWidth_;
    patternHeight_ = other.patternHeight_;
    skipWidth_ = other.skipWidth_;
    skipHeight_ = other.skipHeight_;
    systemMemory_ = other.systemMemory_;
    transparent_ = other.transparent_;
    transparentColor_ = other.transparentColor_;
    picture_ = other.picture_;
    if (initialized_) Restore();
}

void TPictureCollectionItem::LoadPictureFromFile(std::string_view programName) {
    picture_ = platform::LoadPicture(programName);
}

void TPictureCollectionItem::SetPictureFromBytes(const std::vector<uint8_t>& bytes) {
    picture_ = platform::DecodePicture(bytes);
}

// ---------------------------------------------------------------------------------------
// TPictureCollection

TPictureCollection::~TPictureCollection() {
    try {
        Finalize();
    } catch (...) {}
    Clear();
}

TPictureCollectionItem* TPictureCollection::Items(int i) const {
    return static_cast<TPictureCollectionItem*>(GetItem(i));
}

TPictureCollectionItem* TPictureCollection::Add() { return new TPictureCollectionItem(this); }

TPictureCollectionItem* TPictureCollection::Add(const std::string& name) {
    TPictureCollectionItem* item = Add();
    item->SetName(name);
    return item;
}

TPictureCollectionItem* TPictureCollection::Find(std::string_view name) const {
    const int i = IndexOf(name);
    if (i < 0) throw EPictureCollectionError("Image '" + std::string(name) + "' not found");
    return Items(i);
}

void TPictureCollection::Initialize(TCustomDXDraw* dxdraw) {
    Finalize();
    dxdraw_ = dxdraw;
    if (!Initialized()) throw EPictureCollectionError("TPictureCollection cannot be initialized");
    for (int i = 0; i < Count(); ++i) Items(i)->Initialize();
}

void TPictureCollection::Finalize() {
    platform::ScopeExit forget([this] { dxdraw_ = nullptr; });
    for (int i = 0; i < Count(); ++i) Items(i)->Finalize();
}

void TPictureCollection::Restore() {
    for (int i = 0; i < Count(); ++i) Items(i)->Restore();
}

void TPictureCollection::BuildColorTable() {
    ColorTable = TRGBQuads{};
    bool used[256] = {};
    const struct {
        int Slot;
        uint8_t R, G, B;
    } fixed[16] = {{0, 0, 0, 0},         {1, 128, 0, 0},     {2, 0, 128, 0},     {3, 128, 128, 0},
                   {4, 0, 0, 128},       {5, 128, 0, 128},   {6, 0, 128, 128},   {7, 192, 192, 192},
                   {248, 128, 128, 128}, {249, 255, 0, 0},   {250, 0, 255, 0},   {251, 255, 255, 0},
                   {252, 0, 0, 255},     {253, 255, 0, 255}, {254, 0, 255, 255}, {255, 255, 255, 255}};
    for (const auto& f : fixed) {
        ColorTable[f.Slot] = RGBQuad(f.R, f.G, f.B);
        used[f.Slot] = true;
    }
    int usedCount = 16;

    auto offer = [&](const platform::RGB& c) {
        const TRGBQuad q = RGBQuad(c.R, c.G, c.B);
        for (int i = 0; i < 256; ++i)
            if (used[i] && ColorTable[i] == q) return;
        for (int i = 0; i < 256; ++i) {
            if (!used[i]) {
                ColorTable[i] = q;
                used[i] = true;
                ++usedCount;
                return;
            }
        }
    };

    for (int i = 0; i < Count() && usedCount < 256; ++i) {
        const platform::Picture& p = Items(i)->Picture();
        if (p.Empty()) continue;
        if (p.IndexedDIB || p.HasPalette) {
            for (const auto& c : p.Image.Palette()) offer(c);
        }
    }
}

// ---------------------------------------------------------------------------------------
// TCustomDXImageList

TCustomDXImageList::TCustomDXImageList(TForm* owner) : owner_(owner) {}

TCustomDXImageList::~TCustomDXImageList() {
    try {
        SetDXDraw(nullptr);
    } catch (...) {}
}

void TCustomDXImageList::SetDXDraw(TCustomDXDraw* dxdraw) {
    if (dxdraw == dxdraw_) return;
    if (dxdraw_) {
        TCustomDXDraw* old = dxdraw_;
        dxdraw_ = nullptr;
        old->RemoveListener(this);
        items_.Finalize();
    }
    dxdraw_ = dxdraw;
    if (dxdraw_) dxdraw_->AddListener(this, [this](TDXDrawNotifyType kind) { DXDrawNotifyEvent(kind); });
}

void TCustomDXImageList::DXDrawNotifyEvent(TDXDrawNotifyType kind) {
    switch (kind) {
        case dxntDestroying: dxdraw_ = nullptr; break;
        case dxntInitialize: items_.Initialize(dxdraw_); break;
        case dxntFinalize: items_.Finalize(); break;
        case dxntRestore: items_.Restore(); break;
        default: break;
    }
}
