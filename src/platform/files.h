// Files and folders. Paths use "/"; the game's "data\x" becomes "data/x".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::files {

std::string cwd();
bool changedir(const std::string& path);
bool exists(const std::string& path);

// At most `limit` bytes from the start of a regular file, or nothing when it
// cannot be read; then *error holds errno's reason (ENOENT: there is no file,
// EISDIR: not a regular file, ENOMEM: no memory for it).
std::optional<std::vector<uint8_t>> readhead(const std::string& path, size_t limit,
                                             int* error = nullptr);
// The whole file when it holds at most `limit` bytes; a larger one is refused
// (EFBIG) without reading it.
std::optional<std::vector<uint8_t>> readall(const std::string& path, size_t limit,
                                            int* error = nullptr);

// Replaces the file safely: a temporary file in the same folder, created anew
// (never through a link or into an existing file; one left by a crash is
// removed first), flushed to disk, then renamed over the old one. On failure
// the old file is untouched and the reason is returned.
std::optional<std::string> replacefile(const std::string& path, const std::vector<uint8_t>& bytes);

// Makes a folder and its missing parents (each private to the user); the
// reason when it cannot.
std::optional<std::string> makefolders(const std::string& path);

// A file written in pieces that allocates nothing once open: the replay of the
// game being played. Errors come back as the reason, with the path.
class Appender {
  public:
    Appender() = default;
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;
    ~Appender();
    // Creates (or empties) the file.
    std::optional<std::string> open(const std::string& path);
    bool isopen() const { return fd_ >= 0; }
    std::optional<std::string> write(const char* data, size_t size);
    // Closes the file and renames it to `path` (no file of that name may exist).
    std::optional<std::string> finish(const std::string& path);
    // Closes and deletes the file.
    void discard();

  private:
    int fd_ = -1;
    std::string path_;
};

// The names of the files in a folder (none when it cannot be read).
std::vector<std::string> listfolder(const std::string& path);
bool removefile(const std::string& path);
// The local date and time as "2026-12-11_10-42-07".
std::string localstamp();
// A name that no other running copy of the game uses ("12345").
std::string processtag();

}  // namespace vx::files
