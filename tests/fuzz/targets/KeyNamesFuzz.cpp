// Key lists as a player types them (settings file, set-up tool): a list that is taken holds up
// to three distinct, named keys the game does not keep for itself, and its text written back
// reads to the same keys and writes back the same. The first byte picks an action for the
// set-up tool's path, which must take or refuse the list as the file's check does.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/KeyNames.h"
#include "platform/Settings.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const BoundState& bound = BoundStates[data[0] % BoundStates.size()];
    const std::string_view value(reinterpret_cast<const char*>(data + 1), size - 1);

    // One name alone: a known name gives a code whose own name gives the same code.
    if (const auto code = KeyCodeFromName(value)) {
        const std::string name = KeyNameFromCode(*code);
        if (name.empty() || KeyCodeFromName(name) != code) std::abort();
    }

    std::vector<int> codes, again;
    const bool taken = ParseKeyList(value, codes).empty();
    if (taken) {
        if (codes.size() > MaxKeysPerState) std::abort();
        for (size_t i = 0; i < codes.size(); ++i) {
            if (KeyNameFromCode(codes[i]).empty() || !KeyReservedReason(codes[i]).empty()) std::abort();
            for (size_t j = 0; j < i; ++j)
                if (codes[i] == codes[j]) std::abort();
        }
        const std::string text = KeyListText(codes);
        if (!ParseKeyList(text, again).empty() || again != codes || KeyListText(again) != text) std::abort();
    }

    // The set-up tool's path: with no other keys bound, a list is taken exactly when it reads.
    TSettings settings;
    for (const auto& b : BoundStates) settings.Set(b.Key, "");
    if (settings.Set(bound.Key, value).empty() != taken) std::abort();
    if (taken && settings.Get(bound.Key) != KeyListText(codes)) std::abort();
    return 0;
}
