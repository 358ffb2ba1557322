// The language in force.
#include "platform/Language.h"

#include "platform/AsciiText.h"

namespace platform {

namespace {
TLanguage& Current() {
    static TLanguage language = TLanguage::Ru;
    return language;
}
}  // namespace

std::optional<TLanguage> ParseLanguage(std::string_view code) {
    const std::string lower = AsciiLower(code);
    if (lower == "ru") return TLanguage::Ru;
    if (lower == "en") return TLanguage::En;
    return std::nullopt;
}

std::string_view LanguageCode(TLanguage language) { return language == TLanguage::En ? "en" : "ru"; }

TLanguage CurrentLanguage() { return Current(); }
void SetCurrentLanguage(TLanguage language) { Current() = language; }

LanguageScope::LanguageScope(TLanguage language) : saved_(Current()) { Current() = language; }
LanguageScope::~LanguageScope() { Current() = saved_; }

}  // namespace platform
