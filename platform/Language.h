// The language the player reads: the game's own Russian, or English.
//
// Chosen once at start-up (the "language" setting, or --lang for one run) and read by the
// file-name mapping (which picks a picture's English version) and by the table of texts.
#pragma once

#include <optional>
#include <string_view>

namespace platform {

enum class TLanguage { Ru, En };

// "ru" or "en", letter case ignored; nothing for any other text.
std::optional<TLanguage> ParseLanguage(std::string_view code);
// "ru" or "en".
std::string_view LanguageCode(TLanguage language);

// The language in force; Russian until told otherwise.
TLanguage CurrentLanguage();
void SetCurrentLanguage(TLanguage language);

// Puts a language in force for its lifetime (the set-up window's own switch, tests).
class LanguageScope {
public:
    explicit LanguageScope(TLanguage language);
    ~LanguageScope();
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    TLanguage saved_;
};

}  // namespace platform
