#include "game/files/OptionsFile.h"

#include "game/files/ScoreFile.h"
#include "platform/Files.h"

#include <vector>

TOptions DefaultOptions() { return {1, 0, 0, 32, 0, 0, 0, 0, 0, 0}; }

TOptions ParseOptions(std::string_view bytes, std::string_view fileName) {
    TTextFileReader reader(bytes, fileName);
    TOptions options{};
    for (auto& option : options) {
        option = reader.ReadNumber();
        reader.NextLine();
    }
    return options;
}

std::string FormatOptions(const TOptions& options) {
    std::string out;
    for (int32_t option : options) out += std::to_string(option) + "\r\n";
    return out;
}

TOptions ReadOptions(std::string_view programName) {
    const auto bytes = platform::ReadFileBytes(programName);
    return ParseOptions(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), programName);
}

void WriteOptions(std::string_view programName, const TOptions& options) {
    const std::string text = FormatOptions(options);
    platform::WriteFileAtomic(programName, std::vector<uint8_t>(text.begin(), text.end()));
}

TOptions WriteFullScreenOption(std::string_view programName, bool fullScreen) {
    TOptions options;
    try {
        const TOptions fromFile = ReadOptions(programName);
        options = fromFile;
    } catch (const std::exception&) {
        // Unreadable or damaged: the defaults, with the player's choice.
        options = DefaultOptions();
    }
    if (fullScreen) options[4] = 1;
    else if (options[4] == 1) options[4] = 0;
    WriteOptions(programName, options);
    return options;
}
