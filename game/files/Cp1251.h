// Windows-1251 (the score file's code page) to and from UTF-8 (the game's strings in memory).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cp1251 {

// The character a Windows-1251 byte stands for. Byte 0x98 has no assigned character; it maps to
// U+0098 so that any file reads and writes back unchanged.
char32_t ToCodePoint(unsigned char byte);

// The Windows-1251 byte for a character, or nothing when the code page cannot hold it.
std::optional<unsigned char> FromCodePoint(char32_t codePoint);

// Every byte of a Windows-1251 text as UTF-8.
std::string ToUtf8(std::string_view cp1251Text);

// A UTF-8 text in Windows-1251; characters the code page cannot hold and malformed UTF-8
// sequences become `replacement`.
std::string FromUtf8(std::string_view utf8Text, char replacement = '?');

// True when the text is well-formed UTF-8 and every character has a Windows-1251 byte: the
// name edit box refuses anything else as it is typed, so a stored name is never garbled.
bool IsRepresentable(std::string_view utf8Text);

}  // namespace cp1251
