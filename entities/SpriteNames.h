// Picture lookup for the game's sprites: names go through the host's image list, and the
// numbered names ("Ufo1", "bo7", "rm3" …) come from tables built once, so a frame builds
// no strings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/ImageSprite.h"

// The image-list entry of that name (case-insensitive); raises "Image '%s' not found".
TPictureCollectionItem* FindImage(std::string_view name);

// Shows another picture; the sprite keeps its collision size.
inline void SetImage(TImageSprite* sprite, std::string_view name) { sprite->Image = FindImage(name); }

// Shows a picture and takes its size as the sprite's size.
void SetImageAndSize(TImageSprite* sprite, std::string_view name);

// base + n for n in first..last, kept ready; any other n is spelt out on demand.
class TNumberedNames {
public:
    TNumberedNames(std::string_view base, int first, int last);
    const std::string& operator()(int n) const;

private:
    std::string base_;
    int first_;
    std::vector<std::string> names_;
    mutable std::string spare_;
};
