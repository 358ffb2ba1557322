// The set-up window's rows and what the keys do to them, apart from SDL so the tests can
// drive it: every option of opt.qrx, every setting of settings.ini, the key bindings and the
// score-table reset. Each change is written at once through the crash-safe writers.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/files/OptionsFile.h"
#include "game/texts/Texts.h"
#include "platform/Language.h"
#include "platform/Settings.h"

namespace setup {

enum class TCommand { Up, Down, Left, Right, Enter, Back };

class TSetupModel {
public:
    // Reads the files by their program names, in the data folders in force (see Files.h), and
    // puts the window's language in force: the given one (--lang), else the setting's. The
    // language row changes it at once.
    explicit TSetupModel(std::optional<platform::TLanguage> language = std::nullopt);

    struct Row {
        std::string Label;  // in the language in force, as the window shows it
        std::string Value;  // "" for actions
        bool Action = false;
    };
    std::vector<Row> Rows() const;
    int Selected() const { return selected_; }
    // A line for the player: what happened last, or what to do now.
    const std::string& Status() const { return status_; }
    bool StatusIsError() const { return statusError_; }
    // Keys are being collected for a binding row.
    bool Capturing() const { return capturing_; }
    // The window should close.
    bool Done() const { return done_; }

    void Command(TCommand c);
    // A key pressed while capturing (a virtual-key code; 0 for a key without one).
    void CapturedKey(int code);

    const TOptions& Options() const { return options_; }
    const platform::TSettings& Settings() const { return settings_; }

    // Heard when a volume changes (the window plays a sound at the new level).
    std::function<void(const std::string& key, int percent)> OnVolume;

private:
    enum class Kind { Option, Setting, Keys, ResetScores, Quit };
    struct Item {
        Kind K;
        texts::TextId Label;
        int Option = 0;   // Kind::Option: 1..10
        std::string Key;  // Kind::Setting / Kind::Keys
    };

    std::string ValueText(const Item& item) const;
    void Change(const Item& item, int step);
    void ChangeOption(int n, int step);
    void ChangeSetting(const std::string& key, int step);
    void SetSetting(const std::string& key, const std::string& value);
    void FinishCapture();
    void SaveOptions();
    void SaveSettings();
    void Say(std::string text, bool error = false);

    const std::string optionsName_, scoresName_, settingsName_;
    TOptions options_{};
    platform::TSettings settings_;
    std::vector<Item> items_;
    int selected_ = 0;
    std::string status_;
    bool statusError_ = false;
    bool capturing_ = false;
    std::vector<int> captured_;
    bool confirmReset_ = false;
    bool done_ = false;
};

}  // namespace setup
