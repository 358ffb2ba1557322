// Key names and the virtual-key codes they stand for.
#include "platform/KeyNames.h"

#include <algorithm>

#include "platform/AsciiText.h"

namespace platform {

namespace {

struct NamedKey {
    const char* Name;
    int Code;
};

// Keys whose virtual-key code is the same whether the keyboard is read as scan codes through
// our translation table or as the window system's key state: letters, digits, the function
// keys, the navigation block, the keypad and the modifiers. Punctuation keys differ between
// the two paths (and between layouts), so they are not offered.
constexpr NamedKey kNamed[] = {
    {"A", 65},         {"B", 66},         {"C", 67},         {"D", 68},         {"E", 69},         {"F", 70},
    {"G", 71},         {"H", 72},         {"I", 73},         {"J", 74},         {"K", 75},         {"L", 76},
    {"M", 77},         {"N", 78},         {"O", 79},         {"P", 80},         {"Q", 81},         {"R", 82},
    {"S", 83},         {"T", 84},         {"U", 85},         {"V", 86},         {"W", 87},         {"X", 88},
    {"Y", 89},         {"Z", 90},         {"0", 48},         {"1", 49},         {"2", 50},         {"3", 51},
    {"4", 52},         {"5", 53},         {"6", 54},         {"7", 55},         {"8", 56},         {"9", 57},
    {"F1", 112},       {"F2", 113},       {"F3", 114},       {"F4", 115},       {"F5", 116},       {"F6", 117},
    {"F7", 118},       {"F8", 119},       {"F9", 120},       {"F10", 121},      {"F11", 122},      {"F12", 123},
    {"Up", 38},        {"Down", 40},      {"Left", 37},      {"Right", 39},     {"Home", 36},      {"End", 35},
    {"Page Up", 33},   {"Page Down", 34}, {"Insert", 45},    {"Delete", 46},    {"Space", 32},     {"Enter", 13},
    {"Tab", 9},        {"Backspace", 8},  {"Escape", 27},    {"Shift", 16},     {"Ctrl", 17},      {"Alt", 18},
    {"Keypad 0", 96},  {"Keypad 1", 97},  {"Keypad 2", 98},  {"Keypad 3", 99},  {"Keypad 4", 100}, {"Keypad 5", 101},
    {"Keypad 6", 102}, {"Keypad 7", 103}, {"Keypad 8", 104}, {"Keypad 9", 105}, {"Keypad *", 106}, {"Keypad +", 107},
    {"Keypad -", 109}, {"Keypad .", 110}, {"Keypad /", 111},
};

// Names compare with letters folded to lower case and blanks dropped, so "page up", "PageUp"
// and "Page Up" meet. The table is folded once and a name once per look-up: the settings
// check every key list they read, the set-up window shows them, and fuzzing calls this a
// great many times.
constexpr size_t kMaxFolded = 15;  // longer than any name in the table

struct FoldedName {
    std::string_view Text;
    int Code;
};

size_t Fold(std::string_view s, char* out) {
    size_t n = 0;
    for (char c : s) {
        if (c == ' ' || c == '\t') continue;
        if (n == kMaxFolded) return kMaxFolded + 1;
        out[n++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return n;
}

const std::vector<FoldedName>& FoldedTable() {
    static const std::vector<FoldedName> table = [] {
        static char text[std::size(kNamed)][kMaxFolded];
        std::vector<FoldedName> t;
        for (size_t i = 0; i < std::size(kNamed); ++i)
            t.push_back({std::string_view(text[i], Fold(kNamed[i].Name, text[i])), kNamed[i].Code});
        std::sort(t.begin(), t.end(), [](const FoldedName& a, const FoldedName& b) { return a.Text < b.Text; });
        return t;
    }();
    return table;
}

}  // namespace

std::optional<int> KeyCodeFromName(std::string_view name) {
    char buffer[kMaxFolded];
    const size_t n = Fold(name, buffer);
    if (n == 0 || n > kMaxFolded) return std::nullopt;
    const std::string_view folded(buffer, n);
    const auto& table = FoldedTable();
    const auto it = std::lower_bound(table.begin(), table.end(), folded,
                                     [](const FoldedName& k, std::string_view name) { return k.Text < name; });
    if (it != table.end() && it->Text == folded) return it->Code;
    return std::nullopt;
}

std::string KeyNameFromCode(int code) {
    for (const NamedKey& k : kNamed)
        if (k.Code == code) return k.Name;
    return {};
}

std::vector<std::string> AllKeyNames() {
    std::vector<std::string> names;
    for (const NamedKey& k : kNamed) names.emplace_back(k.Name);
    return names;
}

std::string KeyReservedReason(int code) {
    switch (code) {
        case 27: return "Escape opens the pause menu";
        case 49:
        case 50:
        case 51: return "1, 2 and 3 choose the special weapon";
        case 67: return "C is the game's cheat key";
        case 122: return "F11 switches full screen";
        default: return {};
    }
}

std::string ParseKeyList(std::string_view value, std::vector<int>& codes) {
    codes.clear();
    value = TrimBlanks(value);
    if (value.empty()) return {};
    while (true) {
        const size_t comma = value.find(',');
        const std::string_view name = TrimBlanks(value.substr(0, comma));
        if (name.empty()) return "an empty key name";
        const auto code = KeyCodeFromName(name);
        if (!code) return "\"" + std::string(name) + "\" is not a key name (e.g. W, Up, Space, Keypad 8, F5)";
        if (std::string why = KeyReservedReason(*code); !why.empty())
            return "\"" + std::string(name) + "\" cannot be bound: " + why;
        for (int c : codes)
            if (c == *code) return "\"" + std::string(name) + "\" is listed twice";
        codes.push_back(*code);
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    if (codes.size() > MaxKeysPerState) return "at most three keys";
    return {};
}

std::string KeyListText(const std::vector<int>& codes) {
    std::string out;
    for (int c : codes) {
        if (!out.empty()) out += ", ";
        out += KeyNameFromCode(c);
    }
    return out;
}

}  // namespace platform
