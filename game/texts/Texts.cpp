// The table of texts: each entry in Russian and in English.
#include "game/texts/Texts.h"

#include <array>
#include <cstddef>

namespace texts {

namespace {

struct Entry {
    TextId Id;
    const char* Ru;
    const char* En;
};

using enum TextId;

// In TextId's order, one entry each (the compiler checks it below).
constexpr std::array<Entry, static_cast<size_t>(Count)> kTexts = {{
    {MainCaption, "Starbreaker По - русски !", "Starbreaker"},
    {LoadingCaption, "Loading...", "Loading..."},
    {ResultCaption, "Form2", "New high score"},
    {ResultScoreLabel, "Ваш результат:", "Your score:"},
    {ResultDefaultName, "Игрок", "Player"},
    {MissingFile, "Файл не найден: %s . Не могу запустиься без него.",
     "File not found: %s. The game cannot start without it."},
    {ScoreTampered, "Кто-то взломал очки.Обнулите результаты через Setup и перезапустите игру",
     "Someone has tampered with the scores. Reset them with the set-up tool and start the game again."},

    {SetupTitle, "Starbreaker — настройка", "Starbreaker — set-up"},
    {SetupHint, "↑↓ — выбор, ←→ — изменить, Enter — клавиши и действия, Esc — выход",
     "↑↓ choose, ←→ change, Enter keys and actions, Esc leave"},
    {SetupLanguage, "Язык / Language", "Язык / Language"},
    {SetupFullScreen, "Полный экран", "Full screen"},
    {SetupFullScreenMode, "Вид полного экрана", "Full-screen kind"},
    {SetupScaling, "Масштаб", "Scaling"},
    {SetupPacing, "Смена кадров", "Frame pacing"},
    {SetupFrameRate, "Кадров в секунду (постоянная)", "Frames a second (fixed)"},
    {SetupColourDepth, "Глубина цвета", "Colour depth"},
    {SetupFpsLine, "Строка FPS", "FPS line"},
    {SetupMusic, "Музыка", "Music"},
    {SetupEffects, "Звуковые эффекты", "Sound effects"},
    {SetupMusicVolume, "Громкость музыки", "Music volume"},
    {SetupEffectsVolume, "Громкость эффектов", "Effects volume"},
    {SetupRumble, "Вибрация джойстика", "Controller rumble"},
    {SetupPauseOnFocusLoss, "Пауза, когда окно неактивно", "Pause when the window loses focus"},
    {SetupKeysUp, "Вверх", "Up"},
    {SetupKeysDown, "Вниз", "Down"},
    {SetupKeysLeft, "Влево", "Left"},
    {SetupKeysRight, "Вправо", "Right"},
    {SetupKeysFire, "Огонь", "Fire"},
    {SetupKeysSpecial, "Спецоружие", "Special weapon"},
    {SetupKeysNext, "Следующее спецоружие", "Next special weapon"},
    {SetupResetScores, "Обнулить результаты", "Reset high scores"},
    {SetupQuit, "Выход", "Quit"},
    {SetupRussian, "Русский", "Русский"},
    {SetupEnglish, "English", "English"},
    {SetupDesktop, "на весь рабочий стол", "cover the desktop"},
    {SetupExclusive, "смена режима экрана", "switch display mode"},
    {SetupAuto, "авто", "auto"},
    {SetupIntegerOnly, "только целый", "whole multiples only"},
    {SetupScalingOff, "нет (1:1)", "off (1:1)"},
    {SetupPacingDisplay, "по частоте дисплея", "display refresh"},
    {SetupPacingFixed, "постоянная", "fixed rate"},
    {SetupPacingUnlimited, "без ограничения", "unlimited"},
    {SetupOn, "вкл", "on"},
    {SetupOff, "выкл", "off"},
    {SetupShown, "показана", "shown"},
    {SetupHidden, "скрыта", "hidden"},
    {SetupBits, "%s бит", "%s bits"},
    {SetupYes, "да", "yes"},
    {SetupNoWindow, "нет (окно)", "no (window)"},
    {SetupNoKeys, "нет клавиш", "no keys"},
    {SetupDefaultsShown, "opt.qrx: %s — показаны значения по умолчанию", "opt.qrx: %s — showing the defaults"},
    {SetupKeysUnchanged, "Клавиши не изменены", "Keys unchanged"},
    {SetupPressKeys, "Нажмите до трёх клавиш для «%s», Enter — готово, Esc — отмена",
     "Press up to three keys for “%s”, Enter to finish, Esc to cancel"},
    {SetupConfirmReset, "Все результаты будут стёрты. Enter ещё раз — обнулить",
     "Every high score will be erased. Press Enter again to reset"},
    {SetupScoresReset, "Результаты обнулены", "High scores reset"},
    {SetupCannotWrite, "Не удалось записать %s: %s", "Could not write %s: %s"},
    {SetupKeyNotBindable, "Эту клавишу назначить нельзя", "This key cannot be bound"},
    {SetupKeyReserved, "«%s» занята игрой: %s", "“%s” belongs to the game: %s"},
    {SetupNotBound, "Не назначено: %s", "Not bound: %s"},
    {SetupSaved, "Сохранено в %s", "Saved to %s"},
}};

constexpr bool InOrder() {
    for (size_t i = 0; i < kTexts.size(); ++i)
        if (static_cast<size_t>(kTexts[i].Id) != i) return false;
    return true;
}
static_assert(InOrder(), "the table of texts follows TextId's order, one entry each");

}  // namespace

std::string Get(TextId id, platform::TLanguage language) {
    const Entry& e = kTexts[static_cast<size_t>(id)];
    return language == platform::TLanguage::En ? e.En : e.Ru;
}

std::string Get(TextId id) { return Get(id, platform::CurrentLanguage()); }

std::string Format(TextId id, std::initializer_list<std::string_view> args) {
    std::string s = Get(id);
    size_t from = 0;
    for (std::string_view arg : args) {
        const size_t at = s.find("%s", from);
        if (at == std::string::npos) break;
        s.replace(at, 2, arg);
        from = at + arg.size();
    }
    return s;
}

}  // namespace texts
