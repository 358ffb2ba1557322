// The program's file names on the real file system.
//
// The program names its files relative to the working directory with backslashes, on a
// file system that ignores letter case ("Data\All_mp3\Music.MP3"). These functions map such
// a name onto the real directory entries (data/all_mp3/music.mp3) and read and write whole
// files.
//
// Names under "data\" land in the data folders in force (see DataFolders): by default the
// working directory's data/ for everything; for an installed copy, the installed data for
// pictures and music and the player's own folder for everything under "data\all_qrx\".
// Where the language in force is English (Language.h), a name outside "data\all_qrx\" lands on
// the data's English version of the file, "en/" below the data folder ("data\all_jpg\rm1x.jpg"
// on data/en/all_jpg/rm1x.jpg), when there is one, and on the file itself otherwise.
#pragma once

#include <cstdint>
#include <ostream>
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

// Where the names under "data\" land.
struct DataFolders {
    // Every name under "data\" except those the user folder takes. The default "data" is
    // looked up in the working directory ignoring case, like any other component; any other
    // folder is taken as it stands.
    std::string Game = "data";
    // Names under "data\all_qrx\" (score table, options, settings, pad mappings), without
    // the all_qrx level. Empty: they stay in Game's all_qrx.
    std::string User;

    bool operator==(const DataFolders&) const = default;
};

void SetDataFolders(DataFolders folders);
const DataFolders& CurrentDataFolders();

// Puts the given folders in force for its lifetime (the set-up tool run in-process, tests).
class DataFoldersScope {
public:
    explicit DataFoldersScope(DataFolders folders);
    ~DataFoldersScope();
    DataFoldersScope(const DataFoldersScope&) = delete;
    DataFoldersScope& operator=(const DataFoldersScope&) = delete;

private:
    DataFolders saved_;
};

// Where an installed copy keeps its read-only data: beside the program
// (<program folder>/../share/starbreaker/data, so the install moves with its prefix), then the
// folder compiled in. Only those that exist.
std::vector<std::string> InstalledDataCandidates();

// The player's own folder: $XDG_DATA_HOME/starbreaker when that is an absolute path, else
// $HOME/.local/share/starbreaker (the password database's home when HOME is unset). Empty
// when no home is known.
std::string UserDataFolder();

// The rule that picks the folders, given what the command line said (explicitData, may be
// empty), the installed candidates and the user folder:
//   1. --data DIR: DIR for everything (portable).
//   2. a data/ folder in the working directory holding all_qrx or all_bmp: that folder for
//      everything (portable, as the program has always run).
//   3. an installed data folder: pictures and music from it, "data\all_qrx\..." from the
//      user folder (installed).
//   4. otherwise data/ in the working directory, whose missing files start-up then reports.
DataFolders PickDataFolders(std::string_view explicitData, const std::vector<std::string>& installed,
                            std::string_view userFolder);

// Creates the user folder (mode 0700) and gives it a copy of each of the installed default
// files (the score table and options) it does not have yet. A copy appears whole or not at
// all, and an existing file is never replaced, even by a second program starting at the same
// moment. Problems are one-line warnings: start-up then reports the file it lacks.
void SeedUserFolder(const DataFolders& folders, std::ostream& warn);

// The whole start-up choice: PickDataFolders with the real candidates and user folder, the
// user folder seeded when it is used, and the result put in force. Returns it.
DataFolders SetUpDataFolders(std::string_view explicitData, std::ostream& warn);

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
