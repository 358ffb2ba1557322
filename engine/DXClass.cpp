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

namespace {

// The bytes of LowerName(s) one at a time, without building the string. Lower-casing
// keeps the length: a letter pair becomes another pair, everything else stays one byte.
class TLowerBytes {
public:
    explicit TLowerBytes(std::string_view s) : s_(s) {}
    unsigned char Next() {
        if (pending_ >= 0) {
            const unsigned char p = static_cast<unsigned char>(pending_);
            pending_ = -1;
            return p;
        }
        const unsigned char c = static_cast<unsigned char>(s_[i_]);
        if (c >= 'A' && c <= 'Z') {
            ++i_;
            return static_cast<unsigned char>(c + 32);
        }
        if (c == 0xD0 && i_ + 1 < s_.size()) {
            const unsigned char d = static_cast<unsigned char>(s_[i_ + 1]);
            i_ += 2;
            if (d >= 0x90 && d <= 0x9F) {
                pending_ = d + 0x20;
                return 0xD0;
            }
            if (d >= 0xA0 && d <= 0xAF) {
                pending_ = d - 0x20;
                return 0xD1;
            }
            if (d == 0x81) {
                pending_ = 0x91;
                return 0xD1;
            }
            pending_ = d;
            return c;
        }
        ++i_;
        return c;
    }

private:
    std::string_view s_;
    size_t i_ = 0;
    int pending_ = -1;
};

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;  // lower-casing keeps lengths
    bool plain = true;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) {
            plain = false;
            break;
        }
        if (x != y && (x | 0x20) != (y | 0x20)) return false;
        if (x != y && !((x | 0x20) >= 'a' && (x | 0x20) <= 'z')) return false;
    }
    if (plain) return true;
    TLowerBytes la(a), lb(b);
    for (size_t i = 0; i < a.size(); ++i)
        if (la.Next() != lb.Next()) return false;
    return true;
}

int THashCollection::HashOf(std::string_view name) {
    const size_t n = name.size();
    unsigned int h = static_cast<unsigned int>(n) * 16;
    if (n >= 2) {
        // Without a 0xD0 lead byte before the last one, both bytes are lowered alone.
        bool pairs = false;
        for (size_t i = 0; i + 1 < n; ++i) pairs |= static_cast<unsigned char>(name[i]) == 0xD0;
        if (!pairs) {
            auto lower = [](char c) {
                const unsigned char u = static_cast<unsigned char>(c);
                return u >= 'A' && u <= 'Z' ? u + 32u : u;
            };
            h += lower(name[n - 2]) + lower(name[0]);
            return static_cast<int>(h % 256);
        }
        TLowerBytes lower(name);
        const unsigned char first = lower.Next();
        unsigned char beforeLast = first;
        for (size_t i = 1; i <= n - 2; ++i) beforeLast = lower.Next();
        h += beforeLast + first;
    }
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
    // Only a change files the entry anew (another spelling of the same letters is a change).
    if (name == name_) return;
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
    uint32_t h = 2166136261u;
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    if (recent_.empty()) recent_.resize(kRecent);
    TRecent& r = recent_[h % kRecent];
    if (r.Version == version_ && r.Name == name) return r.Index;
    r.Index = Lookup(name);
    r.Name.assign(name);
    r.Version = version_;
    return r.Index;
}

int THashCollection::Lookup(std::string_view name) const {
    // Numbered names share buckets and differ in their last byte, so that is looked at
    // first: two ASCII last bytes that differ after ASCII lower-casing are different after
    // LowerName too, whether or not a lead byte pairs with them.
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    const unsigned char last = name.empty() ? 0 : static_cast<unsigned char>(name.back());
    for (THashCollectionItem* it = buckets_[HashOf(name)]; it; it = it->nextInBucket_) {
        const std::string& n = it->name_;
        if (n.size() != name.size()) continue;
        if (!n.empty()) {
            const unsigned char x = static_cast<unsigned char>(n.back());
            if (x < 0x80 && last < 0x80 && lower(x) != lower(last)) continue;
        }
        if (SameName(n, name)) return it->index_;
    }
    return -1;
}

void THashCollection::Delete(int index) { delete GetItem(index); }

void THashCollection::Clear() {
    ++version_;
    clearing_ = true;
    auto items = std::move(items_);
    items_.clear();
    for (auto& b : buckets_) b = nullptr;
    for (auto it = items.rbegin(); it != items.rend(); ++it) delete *it;
    clearing_ = false;
}

void THashCollection::Link(THashCollectionItem* item) {
    ++version_;
    int h = HashOf(item->name_);
    item->nextInBucket_ = buckets_[h];
    buckets_[h] = item;
}

void THashCollection::Unlink(THashCollectionItem* item) {
    ++version_;
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
    ++version_;
    for (size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i);
}
