// The settings file: parsing, checking, defaults and writing back.
#include "platform/Settings.h"

#include <charconv>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "platform/AsciiText.h"
#include "platform/Files.h"
#include "platform/KeyNames.h"

namespace platform {

namespace {

bool ParseLong(std::string_view text, long& value) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// A key list: up to three known key names, none of them the game's own keys.
std::string KeyListCheck(std::string_view value) {
    std::vector<int> codes;
    return ParseKeyList(value, codes);
}

bool IsKeyList(std::string_view key) {
    for (const auto& b : BoundStates)
        if (key == b.Key) return true;
    return false;
}

std::vector<SettingInfo> MakeSchema() {
    const auto onOff = OneOf({"on", "off"});
    return {
        {"language", "ru",
         "The language of the screens, the messages and the set-up window: ru (Russian) or en\n"
         "(English). The score table is shared by both. --lang ru|en chooses for one run.",
         OneOf({"ru", "en"})},
        {"fullscreen_mode", "desktop",
         "How full screen is made: desktop (cover the desktop at its own resolution, the picture\n"
         "scaled to fit, no mode switch) or exclusive (switch the monitor to an 800 x 600 mode,\n"
         "where the system has one).",
         OneOf({"desktop", "exclusive"})},
        {"scaling", "auto",
         "How the 800 x 600 picture is enlarged: auto (whole multiples in a window; in full screen\n"
         "as large as fits, sharp), integer (whole multiples only, also in full screen) or off\n"
         "(1:1, an 800 x 600 window).",
         OneOf({"auto", "integer", "off"})},
        {"pacing", "display",
         "How often a frame is run and shown: display (sixty a second on any display, each\n"
         "shown at one of its refreshes), fixed (at frame_rate frames a second) or unlimited\n"
         "(as fast as the machine allows; the game's rules count frames, so it plays faster).",
         OneOf({"display", "fixed", "unlimited"})},
        {"frame_rate", "60", "Frames a second when pacing = fixed (10 to 1000).", IntegerIn(10, 1000)},
        {"music_volume", "100",
         "Music volume, 0 (silent) to 100 (full); 50 sounds about half as loud. Option 2 of\n"
         "opt.qrx still switches the music off.",
         IntegerIn(0, 100)},
        {"effects_volume", "100",
         "Sound-effect volume, 0 (silent) to 100 (full); 50 sounds about half as loud. Option 3\n"
         "of opt.qrx still switches the effects off.",
         IntegerIn(0, 100)},
        {"rumble", "on", "Force feedback and pad rumble: on or off (option 3 of opt.qrx also silences it).", onOff},
        {"pause_on_focus_loss", "off",
         "When the game window loses the focus: on opens the pause menu (as Escape does in play)\n"
         "and lowers the music until the window is back in front; off lets play go on.",
         onOff},
        {"keys_up", "W, Up, Keypad 8",
         "Keys that steer up: up to three key names, comma-separated (letters, digits 0 and 4-9,\n"
         "F1-F10, F12, Up, Down, Left, Right, Home, End, Page Up, Page Down, Insert, Delete,\n"
         "Space, Enter, Tab, Backspace, Shift, Ctrl, Alt, Keypad 0-9, Keypad * + - . /).\n"
         "Escape, 1, 2, 3, C and F11 are the game's own keys. One key serves one action only;\n"
         "a key given twice is ignored where it comes second. Empty: no key.",
         KeyListCheck},
        {"keys_down", "S, Down, Keypad 2", "Keys that steer down.", KeyListCheck},
        {"keys_left", "A, Left, Keypad 4", "Keys that steer left.", KeyListCheck},
        {"keys_right", "D, Right, Keypad 6", "Keys that steer right.", KeyListCheck},
        {"keys_fire", "Z, Space, Keypad *", "Keys of the main gun.", KeyListCheck},
        {"keys_special", "X, Shift", "Keys of the special weapon.", KeyListCheck},
        {"keys_next", "Tab", "Keys that choose the next special weapon.", KeyListCheck},
    };
}

}  // namespace

std::function<std::string(std::string_view)> OneOf(std::vector<std::string> values) {
    return [values = std::move(values)](std::string_view v) -> std::string {
        const std::string lv = AsciiLower(v);
        for (const auto& allowed : values)
            if (lv == allowed) return {};
        std::string list;
        for (size_t i = 0; i < values.size(); ++i) list += (i ? ", " : "") + values[i];
        return "expected one of: " + list;
    };
}

std::function<std::string(std::string_view)> IntegerIn(long lo, long hi) {
    return [lo, hi](std::string_view v) -> std::string {
        long n = 0;
        if (!ParseLong(v, n) || n < lo || n > hi)
            return "expected a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
        return {};
    };
}

const std::vector<SettingInfo>& SettingSchema() {
    static const std::vector<SettingInfo> schema = MakeSchema();
    return schema;
}

const SettingInfo* FindSetting(std::string_view key) {
    for (const auto& info : SettingSchema())
        if (info.Key == key) return &info;
    return nullptr;
}

TSettings::TSettings() {
    for (const auto& info : SettingSchema()) values_[info.Key] = info.Default;
}

TSettings TSettings::Parse(std::string_view text, std::string_view source, std::ostream& warn) {
    TSettings s;
    int lineNo = 0;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view raw = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        ++lineNo;
        const std::string_view line = TrimBlanks(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        const auto where = [&] { return std::string(source) + ":" + std::to_string(lineNo) + ": "; };
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            warn << "warning: " << where() << "\"" << line << "\" is not key = value; ignored\n";
            s.foreign_.emplace_back(raw);
            continue;
        }
        const std::string key = AsciiLower(TrimBlanks(line.substr(0, eq)));
        const std::string_view value = TrimBlanks(line.substr(eq + 1));
        const SettingInfo* info = FindSetting(key);
        if (!info) {
            warn << "warning: " << where() << "unknown setting \"" << key << "\"; ignored\n";
            s.foreign_.emplace_back(raw);
            continue;
        }
        if (std::string why = info->Check(value); !why.empty()) {
            warn << "warning: " << where() << key << " = \"" << value << "\": " << why << "; using the default \""
                 << info->Default << "\"\n";
            continue;
        }
        s.values_[key] = std::string(value);
    }
    s.DropKeyConflicts(source, warn);
    return s;
}

void TSettings::DropKeyConflicts(std::string_view source, std::ostream& warn) {
    // Earlier actions keep their keys; a later one loses the keys already taken.
    std::vector<std::pair<int, const char*>> taken;
    for (const auto& b : BoundStates) {
        std::vector<int> codes, kept;
        ParseKeyList(Get(b.Key), codes);
        for (int code : codes) {
            const char* owner = nullptr;
            for (const auto& [c, k] : taken)
                if (c == code) owner = k;
            if (owner) {
                warn << "warning: " << source << ": " << b.Key << ": \"" << KeyNameFromCode(code)
                     << "\" is already bound by " << owner << "; ignored here\n";
                continue;
            }
            kept.push_back(code);
            taken.emplace_back(code, b.Key);
        }
        if (kept.size() != codes.size()) values_[b.Key] = KeyListText(kept);
    }
}

TSettings TSettings::Load(std::string_view programName, std::ostream& warn) {
    if (!FileExists(programName)) {
        TSettings s;
        try {
            s.Save(programName);
        } catch (const std::exception& e) {
            warn << "warning: the settings file could not be created (" << e.what() << "); using the defaults\n";
        }
        return s;
    }
    try {
        const auto bytes = ReadFileBytes(programName);
        return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                     ResolvePath(programName), warn);
    } catch (const std::exception& e) {
        warn << "warning: the settings file could not be read (" << e.what() << "); using the defaults\n";
        return TSettings();
    }
}

const std::string& TSettings::Get(std::string_view key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) throw std::out_of_range("unknown setting " + std::string(key));
    return it->second;
}

long TSettings::GetInt(std::string_view key) const {
    long n = 0;
    if (!ParseLong(Get(key), n)) ParseLong(FindSetting(key)->Default, n);
    return n;
}

bool TSettings::GetBool(std::string_view key) const {
    const std::string v = AsciiLower(Get(key));
    return v == "on" || v == "yes" || v == "true" || v == "1";
}

std::string TSettings::Set(std::string_view key, std::string_view value) {
    const SettingInfo* info = FindSetting(key);
    if (!info) return "unknown setting \"" + std::string(key) + "\"";
    value = TrimBlanks(value);
    if (std::string why = info->Check(value); !why.empty()) return why;
    if (IsKeyList(info->Key)) {
        // A key serves one action: refuse one that another action already has.
        std::vector<int> codes, others;
        ParseKeyList(value, codes);
        for (const auto& b : BoundStates) {
            if (info->Key == b.Key) continue;
            ParseKeyList(Get(b.Key), others);
            for (int code : codes)
                for (int other : others)
                    if (code == other) return "\"" + KeyNameFromCode(code) + "\" is already bound by " + b.Key;
        }
        // Written back in the table's own spelling.
        values_[info->Key] = KeyListText(codes);
        return {};
    }
    values_[info->Key] = std::string(value);
    return {};
}

std::string TSettings::Text() const {
    std::ostringstream out;
    out << "# Starbreaker settings. Edit with the set-up tool (starbreaker-setup) or by hand:\n"
           "# one \"key = value\" a line; '#' starts a comment. A bad value is reported when the\n"
           "# game starts and the default is used instead. The ten numbers of opt.qrx beside\n"
           "# this file are the game's own options and are kept there.\n";
    for (const auto& info : SettingSchema()) {
        out << "\n";
        std::istringstream help(info.Help);
        for (std::string line; std::getline(help, line);) out << "# " << line << "\n";
        out << "# Default: " << info.Default << "\n";
        out << info.Key << " = " << Get(info.Key) << "\n";
    }
    if (!foreign_.empty()) {
        out << "\n# Lines that were not understood, kept as they were:\n";
        for (const auto& line : foreign_) out << line << "\n";
    }
    return out.str();
}

void TSettings::Save(std::string_view programName) const {
    const std::string text = Text();
    WriteFileAtomic(programName, std::vector<uint8_t>(text.begin(), text.end()));
}

TSettings& CurrentSettings() {
    static TSettings settings;
    return settings;
}

}  // namespace platform
