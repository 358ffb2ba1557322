// The named image list the game draws from: entries cut into patterns, their surfaces, the
// colour table, and the component that follows the display's lifecycle.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Colors.h"
#include "engine/DXClass.h"
#include "engine/Display.h"
#include "engine/DrawErrors.h"
#include "engine/Surface.h"
#include "platform/Picture.h"
#include "platform/Platform.h"

class TForm;

class TPictureCollection;
class TCustomDXImageList;

struct TPictureCollectionItemPattern {
    TDirectDrawSurface* Surface = nullptr;
    platform::Rect Rect;
};

class TPictureCollectionItem : public THashCollectionItem {
public:
    explicit TPictureCollectionItem(TPictureCollection* collection);
    ~TPictureCollectionItem() override;

    TPictureCollection* PictureCollection() const;

    int Width() const;
    int Height() const;
    int NumPatterns() const { return static_cast<int>(patterns_.size()); }
    platform::Rect PatternBoxes(int i) const;
    TDirectDrawSurface* PatternSheets(int i) const;
    void Draw(TDirectDrawSurface* dest, int x, int y, int patternIndex);

    bool Initialized() const { return initialized_; }
    void Initialize();
    void Finalize();
    void Restore();

    // Copies another entry's settings and picture; rebuilds when initialised.
    void Assign(const TPictureCollectionItem& other);

    int PatternWidth() const { return patternWidth_; }
    int PatternHeight() const { return patternHeight_; }
    int SkipWidth() const { return skipWidth_; }
    int SkipHeight() const { return skipHeight_; }
    void SetPatternWidth(int v) { patternWidth_ = v < 0 ? 0 : v; }
    void SetPatternHeight(int v) { patternHeight_ = v < 0 ? 0 : v; }
    void SetSkipWidth(int v) { skipWidth_ = v < 0 ? 0 : v; }
    void SetSkipHeight(int v) { skipHeight_ = v < 0 ? 0 : v; }
    bool SystemMemory() const { return systemMemory_; }
    void SetSystemMemory(bool on) { systemMemory_ = on; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on) { transparent_ = on; }
    TColor TransparentColor() const { return transparentColor_; }
    // Stores the colour and re-keys every surface the entry has.
    void SetTransparentColor(TColor color);

    // The picture; changing it does not rebuild the surfaces (the next restore does).
    platform::Picture& Picture() { return picture_; }
    const platform::Picture& Picture() const { return picture_; }
    void SetPicture(platform::Picture picture) { picture_ = std::move(picture); }
    // Loads a picture file named the program's way (backslashes, any letter case).
    void LoadPictureFromFile(std::string_view programName);
    // Decodes a BMP or JPEG held in memory.
    void SetPictureFromBytes(const std::vector<uint8_t>& bytes);

    // Surfaces the entry made and owns.
    int SurfaceCount() const { return static_cast<int>(surfaces_.size()); }
    TDirectDrawSurface* Surfaces(int i) const { return surfaces_.at(static_cast<size_t>(i)).get(); }

private:
    void ClearSurfaces();
    TDirectDrawSurface* MakeSurface(const platform::Rect& pictureRect);

    int patternWidth_ = 0, patternHeight_ = 0, skipWidth_ = 0, skipHeight_ = 0;
    bool systemMemory_ = false;
    bool transparent_ = true;
    TColor transparentColor_ = clBlack;
    platform::Picture picture_;
    bool initialized_ = false;
    std::vector<TPictureCollectionItemPattern> patterns_;
    std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces_;
};

class TPictureCollection : public THashCollection {
public:
    explicit TPictureCollection(TCustomDXImageList* owner = nullptr) : owner_(owner) {}
    ~TPictureCollection() override;

    TCustomDXImageList* Owner() const { return owner_; }
    TPictureCollectionItem* Items(int i) const;
    TPictureCollectionItem* Add();  // a new entry with the empty name
    TPictureCollectionItem* Add(const std::string& name);
    // Raises EPictureCollectionError "Image '%s' not found".
    TPictureCollectionItem* Find(std::string_view name) const;

    TCustomDXDraw* DXDraw() const { return dxdraw_; }
    bool Initialized() const { return dxdraw_ && dxdraw_->Initialized(); }
    void Initialize(TCustomDXDraw* dxdraw);
    void Finalize();
    void Restore();

    TRGBQuads ColorTable{};
    void BuildColorTable();

private:
    friend class TCustomDXImageList;
    TCustomDXImageList* owner_;
    TCustomDXDraw* dxdraw_ = nullptr;
};

class TCustomDXImageList {
public:
    explicit TCustomDXImageList(TForm* owner = nullptr);
    virtual ~TCustomDXImageList();
    TCustomDXImageList(const TCustomDXImageList&) = delete;
    TCustomDXImageList& operator=(const TCustomDXImageList&) = delete;

    TPictureCollection& Items() { return items_; }
    TCustomDXDraw* DXDraw() const { return dxdraw_; }
    // Unregisters from the old display and registers with the new one.
    void SetDXDraw(TCustomDXDraw* dxdraw);
    TForm* Owner() const { return owner_; }

private:
    void DXDrawNotifyEvent(TDXDrawNotifyType kind);
    TForm* owner_;
    TPictureCollection items_{this};
    TCustomDXDraw* dxdraw_ = nullptr;
};

class TDXImageList : public TCustomDXImageList {
public:
    using TCustomDXImageList::TCustomDXImageList;
};
