// The program's file names on the real file system.
//
// The program names its files relative to the working directory with backslashes, on a
// file system that ignores letter case ("Data\All_mp3\Music.MP3"). These functions map such
// a name onto the real directory entries (data/all_mp3/music.mp3) and read and write whole
// files.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A file could not be opened, read or written; what() names the file and the reason.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Backslashes become '/', and each component is matched against the real directory
// listing: an exact match first, else a match ignoring ASCII letter case. From the first
// component that does not exist on, the rest is kept as given.
std::string ResolvePath(std::string_view programName);

// True when the name resolves to a regular file (or a link to one).
bool FileExists(std::string_view programName);

// The whole file. Throws EInOutError when it cannot be opened or read.
std::vector<uint8_t> ReadFileBytes(std::string_view programName);

// Replaces the file's contents so that a crash at any moment leaves either the old or the
// new contents: a temporary file in the same folder is written, flushed to disk and renamed
// over the target. On any failure the temporary file is removed, the old file is left as it
// was, and EInOutError is thrown.
void WriteFileAtomic(std::string_view programName, const std::vector<uint8_t>& bytes);

}  // namespace platform
