// The set-up window's rows: values shown in Russian, changed a step at a time, written at once.
#include "tools/setup/SetupModel.h"

#include <algorithm>
#include <exception>
#include <sstream>

#include "game/files/ScoreFile.h"
#include "platform/AsciiText.h"
#include "platform/Files.h"
#include "platform/KeyNames.h"

namespace setup {

namespace {

struct Choice {
    const char* Value;
    const char* Shown;
};

// The settings with a fixed set of values, as the window names them.
const std::vector<Choice>* ChoicesOf(const std::string& key) {
    static const std::vector<Choice> fullscreen{{"desktop", "на весь рабочий стол"},
                                                {"exclusive", "смена режима экрана"}};
    static const std::vector<Choice> scaling{{"auto", "авто"}, {"integer", "только целый"}, {"off", "нет (1:1)"}};
    static const std::vector<Choice> pacing{
        {"display", "по частоте дисплея"}, {"fixed", "постоянная"}, {"unlimited", "без ограничения"}};
    static const std::vector<Choice> onOff{{"on", "вкл"}, {"off", "выкл"}};
    if (key == "fullscreen_mode") return &fullscreen;
    if (key == "scaling") return &scaling;
    if (key == "pacing") return &pacing;
    if (key == "rumble" || key == "pause_on_focus_loss") return &onOff;
    return nullptr;
}

// Frame rates offered by the arrows; a hand-written value in between steps to its neighbour.
constexpr int kFrameRates[] = {10, 24, 30, 50, 60, 75, 90, 100, 120, 144, 165, 200, 240, 300, 500, 1000};

}  // namespace

TSetupModel::TSetupModel()
    : optionsName_(OptionsFileName), scoresName_(ScoreFileName), settingsName_(platform::SettingsFileName) {
    options_ = DefaultOptions();
    try {
        options_ = ReadOptions(optionsName_);
    } catch (const std::exception& e) {
        Say(std::string("opt.qrx: ") + e.what() + " — показаны значения по умолчанию", true);
    }
    std::ostringstream warn;
    if (platform::FileExists(settingsName_)) settings_ = platform::TSettings::Load(settingsName_, warn);
    if (!warn.str().empty() && status_.empty()) {
        std::string first = warn.str().substr(0, warn.str().find('\n'));
        Say(first, true);
    }

    items_ = {
        {Kind::Option, "Полный экран", 5, ""},
        {Kind::Setting, "Вид полного экрана", 0, "fullscreen_mode"},
        {Kind::Setting, "Масштаб", 0, "scaling"},
        {Kind::Setting, "Смена кадров", 0, "pacing"},
        {Kind::Setting, "Кадров в секунду (постоянная)", 0, "frame_rate"},
        {Kind::Option, "Глубина цвета", 4, ""},
        {Kind::Option, "Строка FPS", 1, ""},
        {Kind::Option, "Музыка", 2, ""},
        {Kind::Option, "Звуковые эффекты", 3, ""},
        {Kind::Setting, "Громкость музыки", 0, "music_volume"},
        {Kind::Setting, "Громкость эффектов", 0, "effects_volume"},
        {Kind::Setting, "Вибрация джойстика", 0, "rumble"},
        {Kind::Setting, "Пауза, когда окно неактивно", 0, "pause_on_focus_loss"},
        {Kind::Keys, "Вверх", 0, "keys_up"},
        {Kind::Keys, "Вниз", 0, "keys_down"},
        {Kind::Keys, "Влево", 0, "keys_left"},
        {Kind::Keys, "Вправо", 0, "keys_right"},
        {Kind::Keys, "Огонь", 0, "keys_fire"},
        {Kind::Keys, "Спецоружие", 0, "keys_special"},
        {Kind::Keys, "Следующее спецоружие", 0, "keys_next"},
        {Kind::ResetScores, "Обнулить результаты", 0, ""},
        {Kind::Quit, "Выход", 0, ""},
    };
    if (status_.empty()) Say("↑↓ — выбор, ←→ — изменить, Enter — клавиши и действия, Esc — выход");
}

std::vector<TSetupModel::Row> TSetupModel::Rows() const {
    std::vector<Row> rows;
    for (const Item& item : items_)
        rows.push_back({item.Label, ValueText(item), item.K == Kind::ResetScores || item.K == Kind::Quit});
    return rows;
}

std::string TSetupModel::ValueText(const Item& item) const {
    switch (item.K) {
        case Kind::Option: {
            const int32_t v = options_[item.Option - 1];
            switch (item.Option) {
                case 1: return v == 0 ? "показана" : "скрыта";
                case 2: return v == 1 ? "выкл" : "вкл";
                case 3: return v == 0 ? "вкл" : "выкл";
                case 4: return std::to_string(v) + " бит";
                case 5: return v == 1 ? "да" : "нет (окно)";
                default: return std::to_string(v);
            }
        }
        case Kind::Setting: {
            const std::string& v = settings_.Get(item.Key);
            if (const auto* choices = ChoicesOf(item.Key)) {
                for (const Choice& c : *choices)
                    if (platform::AsciiLower(v) == c.Value) return c.Shown;
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
            return v.empty() ? "нет клавиш" : v;
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
            Say("Клавиши не изменены");
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
                    Say("Нажмите до трёх клавиш для «" + item.Label + "», Enter — готово, Esc — отмена");
                    break;
                case Kind::ResetScores:
                    if (!confirmReset_) {
                        confirmReset_ = true;
                        Say("Все результаты будут стёрты. Enter ещё раз — обнулить", true);
                        break;
                    }
                    confirmReset_ = false;
                    try {
                        WriteScoreTable(scoresName_, EmptyScoreTable());
                        Say("Результаты обнулены");
                    } catch (const std::exception& e) {
                        Say(std::string("Не удалось записать res.qrx: ") + e.what(), true);
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
    SaveSettings();
}

void TSetupModel::CapturedKey(int code) {
    if (!capturing_) return;
    const std::string name = platform::KeyNameFromCode(code);
    if (name.empty()) {
        Say("Эту клавишу назначить нельзя", true);
        return;
    }
    if (std::string why = platform::KeyReservedReason(code); !why.empty()) {
        Say("«" + name + "» занята игрой: " + why, true);
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
        Say("Клавиши не изменены");
        return;
    }
    if (std::string why = settings_.Set(key, platform::KeyListText(captured_)); !why.empty()) {
        // A key already serving another action: the binding is refused as a whole.
        Say("Не назначено: " + why, true);
        return;
    }
    SaveSettings();
}

void TSetupModel::SaveOptions() {
    try {
        WriteOptions(optionsName_, options_);
        Say("Сохранено в opt.qrx");
    } catch (const std::exception& e) { Say(std::string("Не удалось записать opt.qrx: ") + e.what(), true); }
}

void TSetupModel::SaveSettings() {
    try {
        settings_.Save(settingsName_);
        Say("Сохранено в settings.ini");
    } catch (const std::exception& e) { Say(std::string("Не удалось записать settings.ini: ") + e.what(), true); }
}

}  // namespace setup
