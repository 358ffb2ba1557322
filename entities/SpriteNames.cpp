// Picture lookup for the game's sprites.
#include "entities/SpriteNames.h"

#include <stdexcept>

#include "engine/ImageList.h"
#include "game/state/GameHost.h"

TPictureCollectionItem* FindImage(std::string_view name) {
    IGameHost* host = GameHost();
    if (!host) throw std::logic_error("No game host is installed");
    return host->FindImage(name);
}

void SetImageAndSize(TImageSprite* sprite, std::string_view name) {
    TPictureCollectionItem* item = FindImage(name);
    sprite->Image = item;
    sprite->Width = item ? item->Width() : 0;
    sprite->Height = item ? item->Height() : 0;
}

TNumberedNames::TNumberedNames(std::string_view base, int first, int last) : base_(base), first_(first) {
    for (int n = first; n <= last; ++n) names_.push_back(base_ + std::to_string(n));
}

const std::string& TNumberedNames::operator()(int n) const {
    const long i = static_cast<long>(n) - first_;
    if (i >= 0 && i < static_cast<long>(names_.size())) return names_[static_cast<size_t>(i)];
    spare_ = base_ + std::to_string(n);
    return spare_;
}
