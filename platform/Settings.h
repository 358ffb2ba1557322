// The settings file: what a player may tune beyond the ten-line options file.
//
// One human-editable "key = value" file with comments, kept beside the options file
// ("data\all_qrx\settings.ini"). Every key has a default, a documented meaning and a
// validator; an unknown key or a bad value costs a one-line warning and the default, never a
// refusal to start. A missing file is created with every key at its default, commented.
// Lines the program does not know are kept as they are when the file is written back.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr std::string_view SettingsFileName = "data\\all_qrx\\settings.ini";

// One known key.
struct SettingInfo {
    std::string Key;
    std::string Default;
    // What the key means and which values it takes; written above the key in the file.
    std::string Help;
    // Empty when the value is good, else what is wrong with it (one line).
    std::function<std::string(std::string_view)> Check;
};

// The known keys in the order they are written. Consumers add their own keys here, next
// to the others, so the file documents every setting in one place.
const std::vector<SettingInfo>& SettingSchema();
const SettingInfo* FindSetting(std::string_view key);

// Ready-made checks.
std::function<std::string(std::string_view)> OneOf(std::vector<std::string> values);
std::function<std::string(std::string_view)> IntegerIn(long lo, long hi);

class TSettings {
public:
    // Every key at its default.
    TSettings();

    // Parses text; warnings (one line each, naming the source and line) go to warn.
    // Bad values and unknown keys keep the default.
    static TSettings Parse(std::string_view text, std::string_view source, std::ostream& warn);

    // Reads programName (see Files.h for the name mapping). A missing file is created with
    // the defaults (a failure to create it is a warning); an unreadable one is a warning
    // and gives the defaults.
    static TSettings Load(std::string_view programName, std::ostream& warn);

    // The value in force: the file's when it was good, else the default. Throws
    // std::out_of_range for a key that is not in the schema.
    const std::string& Get(std::string_view key) const;
    long GetInt(std::string_view key) const;
    bool GetBool(std::string_view key) const;  // "on", "yes", "true", "1"

    // Sets a known key after checking the value; returns the check's complaint (empty when
    // it was taken). A key list is also refused when one of its keys serves another action.
    std::string Set(std::string_view key, std::string_view value);

    // The file's text: a header, then every known key with its help as comments, then the
    // lines that were not understood, kept as they were.
    std::string Text() const;

    // Writes Text() through the crash-safe writer. Throws EInOutError.
    void Save(std::string_view programName) const;

private:
    // A key bound to two actions stays with the first (in the file's order) and is dropped,
    // with a warning, from the later one.
    void DropKeyConflicts(std::string_view source, std::ostream& warn);

    std::map<std::string, std::string, std::less<>> values_;
    std::vector<std::string> foreign_;
};

// The settings in force for this run: loaded by main() (or set by a test), read by whoever
// needs them. Starts as all defaults.
TSettings& CurrentSettings();

}  // namespace platform
