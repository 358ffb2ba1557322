// The set-up window's rows: values shown in the player's language, changed a step at a time,
// written at once.
#include "tools/setup/SetupModel.h"

#include <algorithm>
#include <exception>
#include <sstream>

#include "game/files/ScoreFile.h"
#include "game/texts/Texts.h"
#include "platform/AsciiText.h"
#include "platform/Files.h"
#include "platform/KeyNames.h"
#include "platform/Language.h"

namespace setup {

namespace {

using texts::TextId;

struct Choice {
    const char* Value;
    TextId Shown;
};

// The settings with a fixed set of values, as the window names them.
const std::vector<Choice>* ChoicesOf(const std::string& key) {
    static const std::vector<Choice> language{{"ru", TextId::SetupRussian}, {"en", TextId::SetupEnglish}};
    static const std::vector<Choice> fullscreen{{"desktop", TextId::SetupDesktop},
                                                {"exclusive", TextId::SetupExclusive}};
    static const std::vector<Choice> scaling{
        {"auto", TextId::SetupAuto}, {"integer", TextId::SetupIntegerOnly}, {"off", TextId::SetupScalingOff}};
    static const std::vector<Choice> pacing{{"display", TextId::SetupPacingDisplay},
                                            {"fixed", TextId::SetupPacingFixed},
                                            {"unlimited", TextId::SetupPacingUnlimited}};
    static const std::vector<Choice> onOff{{"on", TextId::SetupOn}, {"off", TextId::SetupOff}};
    if (key == "language") return &language;
    if (key == "fullscreen_mode") return &fullscreen;
    if (key == "scaling") return &scaling;
    if (key == "pacing") return &pacing;
    if (key == "rumble" || key == "pause_on_focus_loss") return &onOff;
    return nullptr;
}

// Frame rates offered by the arrows; a hand-written value in between steps to its neighbour.
constexpr int kFrameRates[] = {10, 24, 30, 50, 60, 75, 90, 100, 120, 144, 165, 200, 240, 300, 500, 1000};

}  // namespace

TSetupModel::TSetupModel(std::optional<platform::TLanguage> language)
    : optionsName_(OptionsFileName), scoresName_(ScoreFileName), settingsName_(platform::SettingsFileName) {
    std::ostringstream warn;
    if (platform::FileExists(settingsName_)) settings_ = platform::TSettings::Load(settingsName_, warn);
    // The window speaks the player's language from its first line on.
    platform::SetCurrentLanguage(
        language.value_or(platform::ParseLanguage(settings_.Get("language")).value_or(platform::TLanguage::Ru)));
    options_ = DefaultOptions();
    try {
        options_ = ReadOptions(optionsName_);
    } catch (const std::exception& e) { Say(texts::Format(TextId::SetupDefaultsShown, {e.what()}), true); }
    if (!warn.str().empty() && status_.empty()) {
        std::string first = warn.str().substr(0, warn.str().find('\n'));
        Say(first, true);
    }

    items_ = {
        {Kind::Setting, TextId::SetupLanguage, 0, "language"},
        {Kind::Option, TextId::SetupFullScreen, 5, ""},
        {Kind::Setting, TextId::SetupFullScreenMode, 0, "fullscreen_mode"},
        {Kind::Setting, TextId::SetupScaling, 0, "scaling"},
        {Kind::Setting, TextId::SetupPacing, 0, "pacing"},
        {Kind::Setting, TextId::SetupFrameRate, 0, "frame_rate"},
        {Kind::Option, TextId::SetupColourDepth, 4, ""},
        {Kind::Option, TextId::SetupFpsLine, 1, ""},
        {Kind::Option, TextId::SetupMusic, 2, ""},
        {Kind::Option, TextId::SetupEffects, 3, ""},
        {Kind::Setting, TextId::SetupMusicVolume, 0, "music_volume"},
        {Kind::Setting, TextId::SetupEffectsVolume, 0, "effects_volume"},
        {Kind::Setting, TextId::SetupRumble, 0, "rumble"},
        {Kind::Setting, TextId::SetupPauseOnFocusLoss, 0, "pause_on_focus_loss"},
        {Kind::Keys, TextId::SetupKeysUp, 0, "keys_up"},
        {Kind::Keys, TextId::SetupKeysDown, 0, "keys_down"},
        {Kind::Keys, TextId::SetupKeysLeft, 0, "keys_left"},
        {Kind::Keys, TextId::SetupKeysRight, 0, "keys_right"},
        {Kind::Keys, TextId::SetupKeysFire, 0, "keys_fire"},
        {Kind::Keys, TextId::SetupKeysSpecial, 0, "keys_special"},
        {Kind::Keys, TextId::SetupKeysNext, 0, "keys_next"},
        {Kind::ResetScores, TextId::SetupResetScores, 0, ""},
        {Kind::Quit, TextId::SetupQuit, 0, ""},
    };
    if (status_.empty()) Say(texts::Get(TextId::SetupHint));
}

std::vector<TSetupModel::Row> TSetupModel::Rows() const {
    std::vector<Row> rows;
    for (const Item& item : items_)
        rows.push_back({texts::Get(item.Label), ValueText(item), item.K == Kind::ResetScores || item.K == Kind::Quit});
    return rows;
}

std::string TSetupModel::ValueText(const Item& item) const {
    switch (item.K) {
        case Kind::Option: {
            const int32_t v = options_[item.Option - 1];
            switch (item.Option) {
                case 1: return texts::Get(v == 0 ? TextId::SetupShown : TextId::SetupHidden);
                case 2: return texts::Get(v == 1 ? TextId::SetupOff : TextId::SetupOn);
                case 3: return texts::Get(v == 0 ? TextId::SetupOn : TextId::SetupOff);
                case 4: return texts::Format(TextId::SetupBits, {std::to_string(v)});
                case 5: return texts::Get(v == 1 ? TextId::SetupYes : TextId::SetupNoWindow);
                default: return std::to_string(v);
            }
        }
        case Kind::Setting: {
            const std::string& v = settings_.Get(item.Key);
            if (const auto* choices = ChoicesOf(item.Key)) {
                for (const Choice& c : *choices)
                    if (platform::AsciiLower(v) == c.Value) return texts::Get(c.Shown);
                return v;
            }
            if (item.Key == "music_volume" || item.Key == "effects_volume") return v + " %";
            return v;
        }
        case Kind::Keys: {
            if (capturing_ && items_[static_cast<size_t>(selected_)].Key == item.Key) {
                std::vector<int> codes = captured_;
                return (codes.empty() ? std::string() : platform::KeyListText(codes) + ", ") + "…";
            }
            const std::string& v = settings_.Get(item.Key);
            return v.empty() ? texts::Get(TextId::SetupNoKeys) : v;
        }
        case Kind::ResetScores:
        case Kind::Quit: return {};
    }
    return {};
}

void TSetupModel::Say(std::string text, bool error) {
    status_ = std::move(text);
    statusError_ = error;
}

void TSetupModel::Command(TCommand c) {
    if (capturing_) {
        if (c == TCommand::Enter) FinishCapture();
        if (c == TCommand::Back) {
            capturing_ = false;
            Say(texts::Get(TextId::SetupKeysUnchanged));
        }
        return;
    }
    const Item& item = items_[static_cast<size_t>(selected_)];
    if (c != TCommand::Enter && item.K == Kind::ResetScores) confirmReset_ = false;
    const int count = static_cast<int>(items_.size());
    switch (c) {
        case TCommand::Up:
            selected_ = (selected_ + count - 1) % count;
            confirmReset_ = false;
            break;
        case TCommand::Down:
            selected_ = (selected_ + 1) % count;
            confirmReset_ = false;
            break;
        case TCommand::Left: Change(item, -1); break;
        case TCommand::Right: Change(item, +1); break;
        case TCommand::Back: done_ = true; break;
        case TCommand::Enter:
            switch (item.K) {
                case Kind::Keys:
                    capturing_ = true;
                    captured_.clear();
                    Say(texts::Format(TextId::SetupPressKeys, {texts::Get(item.Label)}));
                    break;
                case Kind::ResetScores:
                    if (!confirmReset_) {
                        confirmReset_ = true;
                        Say(texts::Get(TextId::SetupConfirmReset), true);
                        break;
                    }
                    confirmReset_ = false;
                    try {
                        WriteScoreTable(scoresName_, EmptyScoreTable());
                        Say(texts::Get(TextId::SetupScoresReset));
                    } catch (const std::exception& e) {
                        Say(texts::Format(TextId::SetupCannotWrite, {"res.qrx", e.what()}), true);
                    }
                    break;
                case Kind::Quit: done_ = true; break;
                default: Change(item, +1); break;
            }
            break;
    }
}

void TSetupModel::Change(const Item& item, int step) {
    if (item.K == Kind::Option) ChangeOption(item.Option, step);
    if (item.K == Kind::Setting) ChangeSetting(item.Key, step);
}

void TSetupModel::ChangeOption(int n, int step) {
    int32_t& v = options_[n - 1];
    switch (n) {
        case 1: v = v == 0 ? 1 : 0; break;  // shown <-> hidden
        case 2: v = v == 1 ? 0 : 1; break;  // on <-> off
        case 3: v = v == 0 ? 1 : 0; break;
        case 5: v = v == 1 ? 0 : 1; break;
        case 4: {
            static const int depths[] = {8, 16, 24, 32};
            int i = 3;
            for (int k = 0; k < 4; ++k)
                if (depths[k] == v) i = k;
            v = depths[(i + 4 + step) % 4];
            break;
        }
        default: return;
    }
    SaveOptions();
}

void TSetupModel::ChangeSetting(const std::string& key, int step) {
    if (const auto* choices = ChoicesOf(key)) {
        const int n = static_cast<int>(choices->size());
        int i = 0;
        for (int k = 0; k < n; ++k)
            if (platform::AsciiLower(settings_.Get(key)) == (*choices)[static_cast<size_t>(k)].Value) i = k;
        SetSetting(key, (*choices)[static_cast<size_t>((i + n + step) % n)].Value);
        return;
    }
    const long v = settings_.GetInt(key);
    if (key == "frame_rate") {
        long next = v;
        if (step > 0) {
            for (int r : kFrameRates)
                if (r > v) {
                    next = r;
                    break;
                }
        } else {
            for (int r : kFrameRates)
                if (r < v) next = r;
        }
        SetSetting(key, std::to_string(next));
        return;
    }
    // Volumes: steps of 5.
    const long next = std::clamp<long>(step > 0 ? (v / 5 + 1) * 5 : ((v + 4) / 5 - 1) * 5, 0, 100);
    SetSetting(key, std::to_string(next));
    if (OnVolume) OnVolume(key, static_cast<int>(next));
}

void TSetupModel::SetSetting(const std::string& key, const std::string& value) {
    if (std::string why = settings_.Set(key, value); !why.empty()) {
        Say(why, true);
        return;
    }
    // The window follows the language at once.
    if (key == "language")
        platform::SetCurrentLanguage(platform::ParseLanguage(value).value_or(platform::TLanguage::Ru));
    SaveSettings();
}

void TSetupModel::CapturedKey(int code) {
    if (!capturing_) return;
    const std::string name = platform::KeyNameFromCode(code);
    if (name.empty()) {
        Say(texts::Get(TextId::SetupKeyNotBindable), true);
        return;
    }
    if (std::string why = platform::KeyReservedReason(code); !why.empty()) {
        Say(texts::Format(TextId::SetupKeyReserved, {name, why}), true);
        return;
    }
    if (std::find(captured_.begin(), captured_.end(), code) != captured_.end()) return;
    captured_.push_back(code);
    if (captured_.size() >= platform::MaxKeysPerState) FinishCapture();
}

void TSetupModel::FinishCapture() {
    capturing_ = false;
    const std::string& key = items_[static_cast<size_t>(selected_)].Key;
    if (captured_.empty()) {
        Say(texts::Get(TextId::SetupKeysUnchanged));
        return;
    }
    if (std::string why = settings_.Set(key, platform::KeyListText(captured_)); !why.empty()) {
        // A key already serving another action: the binding is refused as a whole.
        Say(texts::Format(TextId::SetupNotBound, {why}), true);
        return;
    }
    SaveSettings();
}

void TSetupModel::SaveOptions() {
    try {
        WriteOptions(optionsName_, options_);
        Say(texts::Format(TextId::SetupSaved, {"opt.qrx"}));
    } catch (const std::exception& e) { Say(texts::Format(TextId::SetupCannotWrite, {"opt.qrx", e.what()}), true); }
}

void TSetupModel::SaveSettings() {
    try {
        settings_.Save(settingsName_);
        Say(texts::Format(TextId::SetupSaved, {"settings.ini"}));
    } catch (const std::exception& e) {
        Say(texts::Format(TextId::SetupCannotWrite, {"settings.ini", e.what()}), true);
    }
}

}  // namespace setup
