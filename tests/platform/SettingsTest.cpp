// The settings file: defaults, warnings for what is wrong, foreign lines kept, written back.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Settings.h"

namespace fs = std::filesystem;
using platform::TSettings;

namespace {

TEST(SettingsTest, GoodValuesAreTakenAndBadOnesWarnAndKeepTheDefault) {
    struct Case {
        const char* line;
        const char* key;
        const char* expected;
        bool warns;
    };
    const Case cases[] = {
        {"scaling = integer", "scaling", "integer", false},
        {"  Scaling=OFF  ", "scaling", "OFF", false},
        {"scaling = huge", "scaling", "auto", true},
        {"frame_rate = 144", "frame_rate", "144", false},
        {"frame_rate = 5", "frame_rate", "60", true},
        {"frame_rate = 60fps", "frame_rate", "60", true},
        {"music_volume = 101", "music_volume", "100", true},
        {"music_volume = 0", "music_volume", "0", false},
        {"pause_on_focus_loss = on", "pause_on_focus_loss", "on", false},
        {"keys_up = W,,Up", "keys_up", "W, Up, Keypad 8", true},
        {"keys_next = A, B, C, D", "keys_next", "Tab", true},
        {"language = EN", "language", "EN", false},
        {"language = de", "language", "ru", true},
        {"language = english", "language", "ru", true},
    };
    for (const auto& c : cases) {
        std::ostringstream warn;
        const TSettings s = TSettings::Parse(c.line, "test.ini", warn);
        EXPECT_EQ(s.Get(c.key), c.expected) << c.line;
        EXPECT_EQ(!warn.str().empty(), c.warns) << c.line << ": " << warn.str();
        if (c.warns) { EXPECT_NE(warn.str().find("test.ini:1:"), std::string::npos) << warn.str(); }
    }
}

TEST(SettingsTest, UnknownKeysAndJunkWarnOnceEachAndSurviveAWriteBack) {
    std::ostringstream warn;
    TSettings s = TSettings::Parse("# mine\nfoo = 1\n\nnonsense line\nrumble = off\n", "f", warn);
    EXPECT_NE(warn.str().find("unknown setting \"foo\""), std::string::npos);
    EXPECT_NE(warn.str().find("f:4:"), std::string::npos);
    EXPECT_FALSE(s.GetBool("rumble"));
    const std::string text = s.Text();
    EXPECT_NE(text.find("foo = 1\n"), std::string::npos);
    EXPECT_NE(text.find("nonsense line\n"), std::string::npos);

    // The written text reads back to the same values, with only the foreign lines to warn of.
    std::ostringstream again;
    const TSettings back = TSettings::Parse(text, "f", again);
    for (const auto& info : platform::SettingSchema()) EXPECT_EQ(back.Get(info.Key), s.Get(info.Key));
}

TEST(SettingsTest, SetChecksTheValue) {
    TSettings s;
    EXPECT_EQ(s.Set("effects_volume", "40"), "");
    EXPECT_EQ(s.GetInt("effects_volume"), 40);
    EXPECT_NE(s.Set("effects_volume", "-1"), "");
    EXPECT_EQ(s.GetInt("effects_volume"), 40);
    EXPECT_NE(s.Set("no_such_key", "1"), "");
    EXPECT_THROW(s.Get("no_such_key"), std::out_of_range);
}

TEST(SettingsTest, AMissingFileIsCreatedWithCommentedDefaults) {
    char tmpl[] = "/tmp/sb-settings-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const fs::path old = fs::current_path();
    fs::current_path(tmpl);
    fs::create_directories("data/all_qrx");
    std::ostringstream warn;
    TSettings::Load(platform::SettingsFileName, warn);
    EXPECT_EQ(warn.str(), "");
    ASSERT_TRUE(fs::exists("data/all_qrx/settings.ini"));
    std::ifstream in("data/all_qrx/settings.ini");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("# Default: display\npacing = display\n"), std::string::npos);

    // A folder that cannot hold it: a warning, the defaults, no exception.
    fs::remove_all("data");
    std::ostringstream warn2;
    const TSettings s = TSettings::Load(platform::SettingsFileName, warn2);
    EXPECT_NE(warn2.str().find("could not be created"), std::string::npos);
    EXPECT_EQ(s.Get("scaling"), "auto");
    fs::current_path(old);
    fs::remove_all(tmpl);
}

TEST(SettingsTest, KeyListsTakeKnownNamesOnlyAndNeverTheGamesOwnKeys) {
    struct Case {
        const char* value;
        const char* stored;     // what the file keeps when good
        const char* complaint;  // a part of the warning when bad
    };
    const Case cases[] = {
        {"j, PAGEUP, keypad0", "j, PAGEUP, keypad0", nullptr},
        {"Page Up", "Page Up", nullptr},
        {"", "", nullptr},  // no key at all
        {"Foo", nullptr, "\"Foo\" is not a key name"},
        {"Escape", nullptr, "Escape opens the pause menu"},
        {"C", nullptr, "cheat"},
        {"2", nullptr, "choose the special weapon"},
        {"F11", nullptr, "full screen"},
        {"Q, q", nullptr, "listed twice"},
        {"Q, E, R, T", nullptr, "at most three"},
    };
    for (const auto& c : cases) {
        std::ostringstream warn;
        const TSettings s = TSettings::Parse(std::string("keys_next = ") + c.value, "t", warn);
        if (c.stored) {
            EXPECT_EQ(warn.str(), "") << c.value;
            EXPECT_EQ(s.Get("keys_next"), c.stored);
        } else {
            EXPECT_NE(warn.str().find(c.complaint), std::string::npos) << c.value << ": " << warn.str();
            EXPECT_EQ(s.Get("keys_next"), "Tab");
        }
    }
}

TEST(SettingsTest, AKeyOfTwoActionsStaysWithTheFirstFromTheFileAndIsRefusedBySet) {
    std::ostringstream warn;
    TSettings s = TSettings::Parse("keys_fire = W, Q\nkeys_special = Up\n", "f.ini", warn);
    EXPECT_NE(warn.str().find("f.ini: keys_fire: \"W\" is already bound by keys_up; ignored here"), std::string::npos)
        << warn.str();
    EXPECT_NE(warn.str().find("keys_special: \"Up\" is already bound by keys_up"), std::string::npos);
    EXPECT_EQ(s.Get("keys_up"), "W, Up, Keypad 8");
    EXPECT_EQ(s.Get("keys_fire"), "Q");
    EXPECT_EQ(s.Get("keys_special"), "");

    // Set refuses the same, and keeps the old value; a good list is stored in the table's spelling.
    EXPECT_NE(s.Set("keys_down", "up"), "");
    EXPECT_EQ(s.Get("keys_down"), "S, Down, Keypad 2");
    EXPECT_EQ(s.Set("keys_special", "x, shift, keypad 0"), "");
    EXPECT_EQ(s.Get("keys_special"), "X, Shift, Keypad 0");
    EXPECT_EQ(s.Set("keys_fire", "Q"), "");  // its own keys are no conflict
}

}  // namespace
