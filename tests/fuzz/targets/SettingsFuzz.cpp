// The settings file as a player may leave it: any bytes parse to values that each pass their
// key's check, with no key serving two actions; the text written back parses to the same
// values and writes back to the same text.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/KeyNames.h"
#include "platform/Settings.h"

using namespace platform;

namespace {

void CheckValues(const TSettings& s) {
    for (const auto& info : SettingSchema())
        if (!info.Check(s.Get(info.Key)).empty()) std::abort();
    std::vector<int> all, codes;
    for (const auto& b : BoundStates) {
        if (!ParseKeyList(s.Get(b.Key), codes).empty()) std::abort();
        for (int code : codes)
            for (int other : all)
                if (code == other) std::abort();
        all.insert(all.end(), codes.begin(), codes.end());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::ostringstream warn;
    const TSettings first = TSettings::Parse(bytes, "settings.ini", warn);
    CheckValues(first);
    const std::string text = first.Text();
    const TSettings second = TSettings::Parse(text, "settings.ini", warn);
    for (const auto& info : SettingSchema())
        if (second.Get(info.Key) != first.Get(info.Key)) std::abort();
    if (second.Text() != text) std::abort();
    return 0;
}
