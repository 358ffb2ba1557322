// The score table reader: any bytes give a table or a file format error, and a table read
// writes back to a file that reads to the same table with its sum as check value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/files/ScoreFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    int32_t check = 0;
    TScoreTable table;
    try {
        table = ParseScoreTable(bytes, "res.qrx", &check);
    } catch (const EFileFormatError&) { return 0; }
    // Without the check value the same bytes read the same.
    if (ParseScoreTable(bytes, "res.qrx") != table) std::abort();

    const std::string text = FormatScoreTable(table);
    int32_t check2 = 0;
    if (ParseScoreTable(text, "res.qrx", &check2) != table) std::abort();
    if (check2 != ScoreSum(table)) std::abort();
    if (FormatScoreTable(ParseScoreTable(text, "res.qrx")) != text) std::abort();

    // Inserting a result keeps ten entries in order of the old ones.
    TScoreTable inserted = table;
    const int p = InsertScore(inserted, "Игрок", check);
    if (p < 1 || p > 11) std::abort();
    if (p <= 10 && inserted.Values[p - 1] != check) std::abort();
    return 0;
}
