#include "game/files/ScoreFile.h"

#include "game/files/Cp1251.h"
#include "platform/Files.h"

#include <algorithm>
#include <vector>

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The bytes of a name as they may stand on one line: a line end inside a name would shift
// every later line of the file and wreck the table, so it is written as a blank.
std::string NameLine(const std::string& name) {
    std::string bytes = cp1251::FromUtf8(name);
    std::replace_if(bytes.begin(), bytes.end(), IsLineEnd, ' ');
    return bytes;
}

}  // namespace

TTextFileReader::TTextFileReader(std::string_view bytes, std::string_view fileName)
    : Bytes(bytes), FileName(fileName) {}

std::string TTextFileReader::ReadRest() {
    const size_t start = Pos;
    while (Pos < Bytes.size() && !IsLineEnd(Bytes[Pos])) ++Pos;
    return std::string(Bytes.substr(start, Pos - start));
}

void TTextFileReader::NextLine() {
    while (Pos < Bytes.size() && !IsLineEnd(Bytes[Pos])) ++Pos;
    if (Pos < Bytes.size() && Bytes[Pos] == '\r') {
        ++Pos;
        if (Pos < Bytes.size() && Bytes[Pos] == '\n') ++Pos;  // CR LF is one line end
    } else if (Pos < Bytes.size()) {
        ++Pos;
    }
}

int TTextFileReader::LineAt(size_t pos) const {
    int line = 1;
    for (size_t i = 0; i < pos && i < Bytes.size(); ++i) {
        if (Bytes[i] == '\n' || (Bytes[i] == '\r' && (i + 1 >= Bytes.size() || Bytes[i + 1] != '\n'))) ++line;
    }
    return line;
}

int32_t TTextFileReader::ReadNumber() {
    while (Pos < Bytes.size() && (Bytes[Pos] == ' ' || Bytes[Pos] == '\t' || IsLineEnd(Bytes[Pos]))) ++Pos;
    if (Pos >= Bytes.size()) return 0;

    const size_t start = Pos;
    while (Pos < Bytes.size() && Pos - start < 32 && static_cast<unsigned char>(Bytes[Pos]) > ' ' && Bytes[Pos] != 0x7F)
        ++Pos;
    const std::string_view token = Bytes.substr(start, Pos - start);

    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    const bool digitsOnly =
        i < token.size() && std::all_of(token.begin() + i, token.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digitsOnly)
        throw EFileFormatError(FileName + ", line " + std::to_string(LineAt(start)) + ": \"" + cp1251::ToUtf8(token) +
                               "\" is not a decimal number");

    // At most 32 characters, so stop as soon as the magnitude leaves the 32-bit range.
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t value = 0;
    for (; i < token.size(); ++i) {
        value = value * 10 + (token[i] - '0');
        if (value > limit)
            throw EFileFormatError(FileName + ", line " + std::to_string(LineAt(start)) + ": " + std::string(token) +
                                   " is out of range (-2147483648..2147483647)");
    }
    return static_cast<int32_t>(negative ? -value : value);
}

TScoreTable EmptyScoreTable() {
    TScoreTable table;
    table.Names.fill(std::string(EmptyScoreName));
    table.Values.fill(0);
    return table;
}

int32_t ScoreSum(const TScoreTable& table) {
    uint32_t sum = 0;
    for (int32_t v : table.Values) sum += static_cast<uint32_t>(v);
    return static_cast<int32_t>(sum);
}

TScoreTable ParseScoreTable(std::string_view bytes, std::string_view fileName, int32_t* checkValue) {
    TTextFileReader reader(bytes, fileName);
    TScoreTable table;
    for (int i = 0; i < 10; ++i) {
        table.Names[i] = cp1251::ToUtf8(reader.ReadRest());
        reader.NextLine();
        table.Values[i] = reader.ReadNumber();
        reader.NextLine();
    }
    if (checkValue) {
        *checkValue = reader.ReadNumber();
        reader.NextLine();
    }
    return table;
}

std::string FormatScoreTable(const TScoreTable& table) {
    std::string out;
    for (int i = 0; i < 10; ++i) {
        out += NameLine(table.Names[i]) + "\r\n";
        out += std::to_string(table.Values[i]) + "\r\n";
    }
    out += std::to_string(ScoreSum(table)) + "\r\n";
    return out;
}

TScoreTable ReadScoreTable(std::string_view programName) {
    const auto bytes = platform::ReadFileBytes(programName);
    return ParseScoreTable(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), programName);
}

TScoreTable ReadScoreTable(std::string_view programName, int32_t& checkValue) {
    const auto bytes = platform::ReadFileBytes(programName);
    return ParseScoreTable(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), programName,
                           &checkValue);
}

void WriteScoreTable(std::string_view programName, const TScoreTable& table) {
    const std::string text = FormatScoreTable(table);
    platform::WriteFileAtomic(programName, std::vector<uint8_t>(text.begin(), text.end()));
}

int InsertScore(TScoreTable& table, const std::string& name, int32_t score) {
    int p = 1;
    while (p <= 10 && !(table.Values[p - 1] < score)) ++p;
    if (p <= 10) {
        for (int i = 9; i >= p; --i) {  // entry i moves to i + 1; the old entry 10 drops out
            table.Names[i] = table.Names[i - 1];
            table.Values[i] = table.Values[i - 1];
        }
        table.Names[p - 1] = name;
        table.Values[p - 1] = score;
    }
    return p;
}
