// The letter choice of the result-entry window.
#include "game/LetterChoice.h"

#include <algorithm>

namespace {

std::string Utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

}  // namespace

TLetterChoice::TLetterChoice() {
    groups_.push_back(0);
    items_.push_back({lkOk, " OK ", " OK "});
    items_.push_back({lkDelete, "\u2190", "\u2190"});
    groups_.push_back(static_cast<int>(items_.size()));
    for (char32_t c = U'А'; c <= U'Я'; ++c) {
        items_.push_back({lkLetter, Utf8(c), Utf8(c + 0x20)});
        if (c == U'Е') items_.push_back({lkLetter, "Ё", "ё"});
    }
    groups_.push_back(static_cast<int>(items_.size()));
    for (char32_t c = U'A'; c <= U'Z'; ++c) items_.push_back({lkLetter, Utf8(c), Utf8(c + 0x20)});
    groups_.push_back(static_cast<int>(items_.size()));
    for (char32_t c = U'0'; c <= U'9'; ++c) items_.push_back({lkLetter, Utf8(c), Utf8(c)});
    items_.push_back({lkLetter, " ", " "});
}

void TLetterChoice::Reset(bool nameEmpty) {
    cursor_ = 0;
    upper_ = nameEmpty;
}

void TLetterChoice::Move(int step) {
    const int n = static_cast<int>(items_.size());
    cursor_ = ((cursor_ + step) % n + n) % n;
}

void TLetterChoice::Jump(int direction) {
    // The group the cursor is in.
    int g = 0;
    while (g + 1 < static_cast<int>(groups_.size()) && groups_[g + 1] <= cursor_) ++g;
    const int count = static_cast<int>(groups_.size());
    g = ((g + (direction < 0 ? -1 : 1)) % count + count) % count;
    cursor_ = groups_[static_cast<size_t>(g)];
}
