// A private copy of the generated data folder (SB_DATA_DIR, else ./data) made the current
// folder, as a player's portable copy. Removed, and the old current folder restored, when it
// goes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

class TPlayFolder {
public:
    explicit TPlayFolder(const std::string& prefix) {
        static int serial = 0;
        const char* data = std::getenv("SB_DATA_DIR");
        const std::filesystem::path source = data ? std::filesystem::path(data) : std::filesystem::current_path() / "data";
        if (!std::filesystem::is_directory(source))
            throw std::runtime_error("no generated data folder at " + source.string() + " (set SB_DATA_DIR)");
        path_ = std::filesystem::temp_directory_path() /
                (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::copy(source, path_ / "data", std::filesystem::copy_options::recursive);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~TPlayFolder() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(path_);
    }
    TPlayFolder(const TPlayFolder&) = delete;
    TPlayFolder& operator=(const TPlayFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Replaces a file of the copy (a name relative to it) with the given bytes.
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path path_, old_;
};
