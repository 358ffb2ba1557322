// The program's file names on the real file system.
#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

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

std::string ResolvePath(std::string_view programName) {
    std::string name(programName);
    for (char& c : name)
        if (c == '\\') c = '/';

    std::string result;
    size_t pos = 0;
    if (!name.empty() && name[0] == '/') {
        result = "/";
        pos = 1;
    }
    bool searching = true;
    while (pos <= name.size()) {
        size_t end = name.find('/', pos);
        if (end == std::string::npos) end = name.size();
        std::string component = name.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty()) continue;  // doubled or trailing separators

        std::string base = result;
        if (!base.empty() && base.back() != '/') base += '/';
        if (searching && component != "." && component != ".." && !Exists(base + component)) {
            std::string real = FindIgnoringCase(result, component);
            if (real.empty())
                searching = false;  // nothing below a missing folder can exist either
            else
                component = real;
        }
        result = base + component;
    }
    return result;
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

}  // namespace platform
