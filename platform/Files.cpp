// The program's file names on the real file system.
#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Language.h"

// Set by the build from the install layout; these stand in for a build that does not say.
#ifndef SB_INSTALLED_DATA_DIR
#define SB_INSTALLED_DATA_DIR "/usr/local/share/starbreaker/data"
#endif
#ifndef SB_DATA_FROM_BIN_DIR
#define SB_DATA_FROM_BIN_DIR "../share/starbreaker/data"
#endif

namespace platform {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of dir whose name equals name ignoring case; the smallest such name when
// several do, so the choice does not depend on the directory's order. Empty when none.
std::string FindIgnoringCase(const std::string& dir, std::string_view name) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return {};
    std::string found;
    while (dirent* e = ::readdir(d)) {
        std::string_view entry(e->d_name);
        if (SameIgnoringCase(entry, name) && (found.empty() || entry < found)) found = entry;
    }
    ::closedir(d);
    return found;
}

std::string Quote(std::string_view programName) { return "\"" + std::string(programName) + "\""; }

std::string Reason(int err) { return std::strerror(err); }

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int Get() const { return fd_; }
    // Closes now so that its error can be reported.
    int Close() {
        int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

}  // namespace

namespace {

// Appends name's components to start, each matched against the real listing (see
// ResolvePath).
std::string ResolveFrom(std::string result, std::string_view name) {
    size_t pos = 0;
    bool searching = true;
    while (pos <= name.size()) {
        size_t end = name.find('/', pos);
        if (end == std::string_view::npos) end = name.size();
        std::string component(name.substr(pos, end - pos));
        pos = end + 1;
        if (component.empty()) continue;  // doubled or trailing separators

        std::string base = result;
        if (!base.empty() && base.back() != '/') base += '/';
        if (searching && component != "." && component != ".." && !Exists(base + component)) {
            std::string real = FindIgnoringCase(result, component);
            if (real.empty()) searching = false;  // nothing below a missing folder can exist either
            else component = real;
        }
        result = base + component;
    }
    return result;
}

// The first component of a relative name, and the rest after its separator(s).
std::string_view FirstComponent(std::string_view name, std::string_view& rest) {
    size_t slash = name.find('/');
    std::string_view first = name.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : name.substr(slash + 1);
    while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    return first;
}

DataFolders& Folders() {
    static DataFolders folders;
    return folders;
}

}  // namespace

void SetDataFolders(DataFolders folders) { Folders() = std::move(folders); }
const DataFolders& CurrentDataFolders() { return Folders(); }

DataFoldersScope::DataFoldersScope(DataFolders folders) : saved_(Folders()) { SetDataFolders(std::move(folders)); }
DataFoldersScope::~DataFoldersScope() { SetDataFolders(std::move(saved_)); }

std::string ResolvePath(std::string_view programName) {
    std::string name(programName);
    for (char& c : name)
        if (c == '\\') c = '/';
    if (!name.empty() && name[0] == '/') return ResolveFrom("/", std::string_view(name).substr(1));

    const DataFolders& folders = Folders();
    std::string_view rest;
    const bool inData = SameIgnoringCase(FirstComponent(name, rest), "data");
    std::string_view below;
    const bool playersFile = inData && SameIgnoringCase(FirstComponent(rest, below), "all_qrx");
    auto inGameFolder = [&](std::string_view path) {
        if (folders.Game == "data") return ResolveFrom("", "data/" + std::string(path));
        return ResolveFrom(folders.Game, path);
    };
    // English: the data's English version of a file (en/ beside all_bmp, all_jpg ...) where it
    // has one; the game's own file otherwise.
    if (inData && !playersFile && CurrentLanguage() == TLanguage::En) {
        std::string english = inGameFolder("en/" + std::string(rest));
        struct stat st;
        if (::stat(english.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return english;
    }
    if (folders == DataFolders() || !inData) return ResolveFrom("", name);
    if (playersFile && !folders.User.empty()) return ResolveFrom(folders.User, below);
    return inGameFolder(rest);
}

bool FileExists(std::string_view programName) {
    struct stat st;
    return ::stat(ResolvePath(programName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<uint8_t> ReadFileBytes(std::string_view programName) {
    std::string path = ResolvePath(programName);
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) throw EInOutError("Cannot open file " + Quote(programName) + ": " + Reason(errno));
    std::vector<uint8_t> bytes;
    struct stat st;
    if (::fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        bytes.reserve(static_cast<size_t>(st.st_size));
    uint8_t buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EInOutError("Cannot read file " + Quote(programName) + ": " + Reason(errno));
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

void WriteFileAtomic(std::string_view programName, const std::vector<uint8_t>& bytes) {
    std::string path = ResolvePath(programName);
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    auto fail = [&](int err) { throw EInOutError("Cannot write file " + Quote(programName) + ": " + Reason(err)); };
    if (base.empty()) fail(EISDIR);

    // A name of our own in the target's folder, so the rename cannot cross file systems.
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fdNum = -1;
    for (int attempt = 0; attempt < 100 && fdNum < 0; ++attempt) {
        temp = dir + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fdNum = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fdNum < 0 && errno != EEXIST) break;
    }
    if (fdNum < 0) fail(errno);
    FileHandle fd(fdNum);

    auto abandon = [&](int err) {
        if (fd.Get() >= 0) fd.Close();
        ::unlink(temp.c_str());
        fail(err);
    };

    // Keep the old file's permissions; a new file gets the usual ones (0666 less umask).
    struct stat old;
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd.Get(), old.st_mode & 07777);

    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            abandon(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd.Get()) != 0) abandon(errno);
    if (fd.Close() != 0) abandon(errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) abandon(errno);

    // Make the rename itself durable. Some file systems refuse to sync a folder; the new
    // contents are in place by now, so that is no reason to report a failure.
    int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder of the running program, from the kernel's own link to it; empty when unknown.
std::string ProgramFolder() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    std::string path(buffer, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

std::string Canonical(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

// Every missing folder of path, each made with mode; false (errno set) when one cannot be.
bool MakeFolders(const std::string& path, mode_t mode) {
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos < path.size() && path[pos] != '/') continue;
        std::string part = path.substr(0, pos);
        // An existing folder may answer with another error first (a read-only parent).
        if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) {
            const int err = errno;
            if (!IsDirectory(part)) {
                errno = err;
                return false;
            }
        }
    }
    if (!IsDirectory(path)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// Copies source to target unless target exists. The copy is made under a temporary name in
// the target's folder and then linked in: link() refuses to replace an existing name, so a
// copy made by a program starting at the same moment is kept, and no reader ever sees half a
// file. Returns what went wrong, or nothing.
std::string CopyIfAbsent(const std::string& source, const std::string& target) {
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0) return {};
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadFileBytes(source);
    } catch (const EInOutError& e) { return e.what(); }
    size_t slash = target.rfind('/');
    std::string temp =
        target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".new" + std::to_string(::getpid());
    auto failed = [&](int err) { return "cannot create " + Quote(target) + ": " + Reason(err); };
    FileHandle fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.Get() < 0) return failed(errno);
    int err = 0;
    size_t done = 0;
    while (done < bytes.size() && err == 0) {
        ssize_t n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) err = errno;
        if (n > 0) done += static_cast<size_t>(n);
    }
    if (err == 0 && ::fsync(fd.Get()) != 0) err = errno;
    if (fd.Close() != 0 && err == 0) err = errno;
    if (err == 0 && ::link(temp.c_str(), target.c_str()) != 0 && errno != EEXIST) {
        // A file system without hard links: a rename that refuses to replace does the same.
        if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0 && errno != EEXIST)
            err = errno;
    }
    ::unlink(temp.c_str());
    return err ? failed(err) : std::string();
}

}  // namespace

std::vector<std::string> InstalledDataCandidates() {
    std::vector<std::string> found;
    std::string beside = ProgramFolder();
    if (!beside.empty()) {
        beside = Canonical(beside + "/" + SB_DATA_FROM_BIN_DIR);
        if (IsDirectory(beside)) found.push_back(beside);
    }
    std::string built = SB_INSTALLED_DATA_DIR;
    if (IsDirectory(built) && (found.empty() || Canonical(built) != found.front())) found.push_back(built);
    return found;
}

std::string UserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and is ignored.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/starbreaker";
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0] == '/') {
        home = h;
    } else {
        passwd entry, *result = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result && result->pw_dir &&
            result->pw_dir[0] == '/')
            home = result->pw_dir;
    }
    if (home.empty()) return {};
    if (home.size() > 1 && home.back() == '/') home.pop_back();
    return home + "/.local/share/starbreaker";
}

DataFolders PickDataFolders(std::string_view explicitData, const std::vector<std::string>& installed,
                            std::string_view userFolder) {
    if (!explicitData.empty()) return DataFolders{std::string(explicitData), {}};
    {
        DataFoldersScope portable{DataFolders()};
        if (IsDirectory(ResolvePath("data/all_qrx")) || IsDirectory(ResolvePath("data/all_bmp"))) return DataFolders();
    }
    if (!installed.empty() && !userFolder.empty()) return DataFolders{installed.front(), std::string(userFolder)};
    return DataFolders();
}

void SeedUserFolder(const DataFolders& folders, std::ostream& warn) {
    if (folders.User.empty()) return;
    if (!MakeFolders(folders.User, 0700)) {
        warn << "warning: cannot create the folder for scores and options " << Quote(folders.User) << ": "
             << Reason(errno) << "\n";
        return;
    }
    for (const char* name : {"res.qrx", "opt.qrx"}) {
        const std::string source = ResolveFrom(folders.Game, std::string("all_qrx/") + name);
        const std::string target = folders.User + "/" + name;
        if (std::string problem = CopyIfAbsent(source, target); !problem.empty())
            warn << "warning: no first copy of " << name << " for this user: " << problem << "\n";
    }
}

DataFolders SetUpDataFolders(std::string_view explicitData, std::ostream& warn) {
    DataFolders folders = PickDataFolders(explicitData, InstalledDataCandidates(), UserDataFolder());
    SeedUserFolder(folders, warn);
    SetDataFolders(folders);
    return folders;
}

}  // namespace platform
