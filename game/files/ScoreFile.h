// The score table "data\all_qrx\res.qrx": reading, verifying, inserting a result, safe writing.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

inline constexpr std::string_view ScoreFileName = "data\\all_qrx\\res.qrx";
inline constexpr std::string_view EmptyScoreName = "Игрок";

// A score or option line that does not hold a decimal number in the 32-bit range. The file
// is refused as a whole rather than read as 0: a guessed value would either pass a corrupted
// table off as valid or, rewritten after a result entry, replace what the player had.
class EFileFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Entry 1 (the best) is index 0. Names are UTF-8; the file holds them in Windows-1251.
struct TScoreTable {
    std::array<std::string, 10> Names;
    std::array<int32_t, 10> Values{};
    friend bool operator==(const TScoreTable&, const TScoreTable&) = default;
};

// Reads the line-oriented text of the score and options files the way the game's runtime
// reads a text file: a line ends at CR LF, LF or a lone CR.
class TTextFileReader {
public:
    TTextFileReader(std::string_view bytes, std::string_view fileName);

    // The rest of the current line, raw bytes, without its line end (empty at end of file).
    std::string ReadRest();
    // Skips blanks, tabs and line ends, then takes up to 32 characters up to the next blank or
    // control character as a decimal integer with an optional sign; 0 at end of file.
    // Throws EFileFormatError for anything else.
    int32_t ReadNumber();
    // Discards the rest of the current line and its line end.
    void NextLine();

private:
    int LineAt(size_t pos) const;

    std::string_view Bytes;
    std::string FileName;
    size_t Pos = 0;
};

// Ten "Игрок" entries with score 0: the table the set-up tool resets to.
TScoreTable EmptyScoreTable();

// The ten scores added with 32-bit wrap-around (the check value stored as line 21).
int32_t ScoreSum(const TScoreTable& table);

// The file's bytes read into a table; with `checkValue` also line 21.
TScoreTable ParseScoreTable(std::string_view bytes, std::string_view fileName, int32_t* checkValue = nullptr);
// The 21 lines of the file, CR LF ended, names in Windows-1251.
std::string FormatScoreTable(const TScoreTable& table);

// Names and scores from a program-style name ("data\all_qrx\res.qrx"). Throws
// platform::EInOutError when the file cannot be opened, EFileFormatError for a bad number.
TScoreTable ReadScoreTable(std::string_view programName);
// The same, plus the check value; compare it with ScoreSum to verify the table.
TScoreTable ReadScoreTable(std::string_view programName, int32_t& checkValue);

// Replaces the file as a whole (temporary file in the same folder, flushed, renamed over the
// old one), so a crash or a full disk leaves the previous table intact. Throws
// platform::EInOutError on failure.
void WriteScoreTable(std::string_view programName, const TScoreTable& table);

// Inserts a result: p is the first entry (1..10) whose score is strictly less than `score`;
// entries p..9 move down a place, the old entry 10 drops out and entry p becomes the result.
// A score that beats no entry leaves the table as it was and returns 11.
int InsertScore(TScoreTable& table, const std::string& name, int32_t score);
