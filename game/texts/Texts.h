// Every text the program shows in words, in Russian (the game's own texts, exactly as they
// stand) and in English, one entry each. Pictures carry their words themselves (the data
// generator draws each picture in both languages).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Language.h"

namespace texts {

enum class TextId {
    // The game's windows and messages.
    MainCaption,
    LoadingCaption,
    ResultCaption,
    ResultScoreLabel,
    ResultDefaultName,
    MissingFile,  // %s: the file's name as the program spells it
    ScoreTampered,

    // The set-up window.
    SetupTitle,
    SetupHint,
    SetupLanguage,
    SetupFullScreen,
    SetupFullScreenMode,
    SetupScaling,
    SetupPacing,
    SetupFrameRate,
    SetupColourDepth,
    SetupFpsLine,
    SetupMusic,
    SetupEffects,
    SetupMusicVolume,
    SetupEffectsVolume,
    SetupRumble,
    SetupPauseOnFocusLoss,
    SetupKeysUp,
    SetupKeysDown,
    SetupKeysLeft,
    SetupKeysRight,
    SetupKeysFire,
    SetupKeysSpecial,
    SetupKeysNext,
    SetupResetScores,
    SetupQuit,
    // Values.
    SetupRussian,
    SetupEnglish,
    SetupDesktop,
    SetupExclusive,
    SetupAuto,
    SetupIntegerOnly,
    SetupScalingOff,
    SetupPacingDisplay,
    SetupPacingFixed,
    SetupPacingUnlimited,
    SetupOn,
    SetupOff,
    SetupShown,
    SetupHidden,
    SetupBits,  // %s: 8, 16, 24 or 32
    SetupYes,
    SetupNoWindow,
    SetupNoKeys,
    // What happened, what to do.
    SetupDefaultsShown,  // %s: why opt.qrx could not be read
    SetupKeysUnchanged,
    SetupPressKeys,  // %s: the action's row label
    SetupConfirmReset,
    SetupScoresReset,
    SetupCannotWrite,  // %s: file name, %s: reason
    SetupKeyNotBindable,
    SetupKeyReserved,  // %s: key name, %s: why
    SetupNotBound,     // %s: why
    SetupSaved,        // %s: file name

    Count
};

// The text in the language in force.
std::string Get(TextId id);
std::string Get(TextId id, platform::TLanguage language);
// The text in the language in force with its %s replaced by args, in order.
std::string Format(TextId id, std::initializer_list<std::string_view> args);

}  // namespace texts
