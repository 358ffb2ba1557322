// The letter choice of the result-entry window for a player on a pad: a row of items
// (OK, delete, the Cyrillic and Latin letters, digits, a space) walked with the D-pad.
#pragma once

#include <string>
#include <vector>

class TLetterChoice {
public:
    enum TKind { lkOk, lkDelete, lkLetter };
    struct TItem {
        TKind Kind;
        std::string Upper, Lower;  // UTF-8; the same for digits, space and the two commands
    };

    TLetterChoice();

    const std::vector<TItem>& Items() const { return items_; }
    int Cursor() const { return cursor_; }
    const TItem& Current() const { return items_[static_cast<size_t>(cursor_)]; }
    // What an item shows (and types) now.
    const std::string& Label(const TItem& item) const { return upper_ ? item.Upper : item.Lower; }
    bool UpperCase() const { return upper_; }

    // Back to the start: the cursor on OK, so the name offered is taken with one press.
    void Reset(bool nameEmpty);
    // One item left or right (wrapping round).
    void Move(int step);
    // To the first item of the previous or next group: commands, Cyrillic, Latin, digits.
    void Jump(int direction);
    void ToggleCase() { upper_ = !upper_; }
    // After the name changed: a name starts with a capital, the rest is lower case.
    void NameChanged(bool nameEmpty) { upper_ = nameEmpty; }

private:
    std::vector<TItem> items_;
    std::vector<int> groups_;
    int cursor_ = 0;
    bool upper_ = true;
};
