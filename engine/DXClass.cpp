// Named collections with bucket lookup.
#include "engine/DXClass.h"

#include <algorithm>

std::string LowerName(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out.push_back(static_cast<char>(c + 32));
        } else if ((c == 0xD0) && i + 1 < s.size()) {
            // Cyrillic capitals: U+0410..U+042F are D0 90..D0 AF; U+0401 (Ё) is D0 81.
            unsigned char d = static_cast<unsigned char>(s[i + 1]);
            if (d >= 0x90 && d <= 0x9F) {
                out.push_back(static_cast<char>(0xD0));
                out.push_back(static_cast<char>(d + 0x20));
            } else if (d >= 0xA0 && d <= 0xAF) {
                out.push_back(static_cast<char>(0xD1));
                out.push_back(static_cast<char>(d - 0x20));
            } else if (d == 0x81) {
                out.push_back(static_cast<char>(0xD1));
                out.push_back(static_cast<char>(0x91));
            } else {
                out.push_back(static_cast<char>(c));
                out.push_back(static_cast<char>(d));
            }
            ++i;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() == b.size()) {
        bool plain = true;
        for (size_t i = 0; i < a.size(); ++i) {
            unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
            if (x >= 0x80 || y >= 0x80) { plain = false; break; }
            if (x != y && (x | 0x20) != (y | 0x20)) return false;
            if (x != y && !((x | 0x20) >= 'a' && (x | 0x20) <= 'z')) return false;
        }
        if (plain) return true;
    }
    return LowerName(a) == LowerName(b);
}

int THashCollection::HashOf(std::string_view name) {
    std::string s = LowerName(name);
    const size_t n = s.size();
    unsigned int h = static_cast<unsigned int>(n) * 16;
    if (n >= 2) h += static_cast<unsigned char>(s[n - 2]) + static_cast<unsigned char>(s[0]);
    return static_cast<int>(h % 256);
}

THashCollectionItem::THashCollectionItem(THashCollection* collection) : collection_(collection) {
    if (collection_) {
        index_ = static_cast<int>(collection_->items_.size());
        collection_->items_.push_back(this);
        collection_->Link(this);
    }
}

THashCollectionItem::~THashCollectionItem() {
    if (collection_ && !collection_->clearing_) {
        collection_->Unlink(this);
        auto& v = collection_->items_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        collection_->Renumber();
    }
}

void THashCollectionItem::SetName(const std::string& name) {
    if (collection_) collection_->Unlink(this);
    name_ = name;
    if (collection_) collection_->Link(this);
}

THashCollection::~THashCollection() { Clear(); }

THashCollectionItem* THashCollection::GetItem(int index) const {
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)];
}

int THashCollection::IndexOf(std::string_view name) const {
    for (THashCollectionItem* it = buckets_[HashOf(name)]; it; it = it->nextInBucket_)
        if (SameName(it->name_, name)) return it->index_;
    return -1;
}

void THashCollection::Delete(int index) { delete GetItem(index); }

void THashCollection::Clear() {
    clearing_ = true;
    auto items = std::move(items_);
    items_.clear();
    for (auto& b : buckets_) b = nullptr;
    for (auto it = items.rbegin(); it != items.rend(); ++it) delete *it;
    clearing_ = false;
}

void THashCollection::Link(THashCollectionItem* item) {
    int h = HashOf(item->name_);
    item->nextInBucket_ = buckets_[h];
    buckets_[h] = item;
}

void THashCollection::Unlink(THashCollectionItem* item) {
    int h = HashOf(item->name_);
    for (THashCollectionItem** p = &buckets_[h]; *p; p = &(*p)->nextInBucket_) {
        if (*p == item) {
            *p = item->nextInBucket_;
            item->nextInBucket_ = nullptr;
            return;
        }
    }
}

void THashCollection::Renumber() {
    for (size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i);
}
