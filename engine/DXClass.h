// Library basics shared by the image list and the wave list: the named collection with
// its 256-bucket case-insensitive lookup, and the game window's base class.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Forms.h"

class THashCollection;

// A named entry. Created with its collection, which owns it from then on (the
// constructor appends it; deleting an item removes it from its collection).
class THashCollectionItem {
public:
    explicit THashCollectionItem(THashCollection* collection);
    virtual ~THashCollectionItem();
    THashCollectionItem(const THashCollectionItem&) = delete;
    THashCollectionItem& operator=(const THashCollectionItem&) = delete;

    const std::string& Name() const { return name_; }
    // A new name re-files the entry at the head of its bucket: among equal names the one
    // named last wins. Writing the name it already has changes nothing.
    void SetName(const std::string& name);
    int Index() const { return index_; }
    THashCollection* Collection() const { return collection_; }

private:
    friend class THashCollection;
    THashCollection* collection_;
    std::string name_;
    int index_ = -1;
    THashCollectionItem* nextInBucket_ = nullptr;
};

class THashCollection {
public:
    THashCollection() = default;
    virtual ~THashCollection();
    THashCollection(const THashCollection&) = delete;
    THashCollection& operator=(const THashCollection&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    THashCollectionItem* GetItem(int index) const;  // std::out_of_range outside 0..Count-1
    // Index of the entry named `name` ignoring letter case, or -1.
    int IndexOf(std::string_view name) const;
    void Delete(int index);
    void Clear();

    // The bucket of a name: (len * 16 + (len >= 2 ? s[len-2] + s[0] : 0)) mod 256 over the
    // lower-cased name.
    static int HashOf(std::string_view name);

private:
    friend class THashCollectionItem;
    void Link(THashCollectionItem* item);
    void Unlink(THashCollectionItem* item);
    void Renumber();
    int Lookup(std::string_view name) const;
    std::vector<THashCollectionItem*> items_;
    THashCollectionItem* buckets_[256] = {};
    bool clearing_ = false;

    // Recent answers of IndexOf by exact spelling (sprites look their pictures up every
    // frame). Every change of names, order or membership moves version_ on, which voids
    // them all. Not for lookups from several threads at once.
    struct TRecent {
        std::string Name;
        int Index = -1;
        uint64_t Version = 0;
    };
    static constexpr size_t kRecent = 256;
    mutable std::vector<TRecent> recent_;
    uint64_t version_ = 1;
};

// Lower-casing and comparison used for names: ASCII plus the Cyrillic letters of UTF-8.
std::string LowerName(std::string_view s);
bool SameName(std::string_view a, std::string_view b);

// The game window's base class.
class TDXForm : public TForm {
public:
    using TForm::TForm;
};
