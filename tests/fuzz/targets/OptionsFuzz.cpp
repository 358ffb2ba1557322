// The options reader: any bytes give ten numbers or a file format error, and the numbers
// write back to a file that reads to the same ten.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/files/OptionsFile.h"
#include "game/files/ScoreFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TOptions options;
    try {
        options = ParseOptions(bytes, "opt.qrx");
    } catch (const EFileFormatError&) { return 0; }
    const std::string text = FormatOptions(options);
    if (ParseOptions(text, "opt.qrx") != options) std::abort();
    return 0;
}
