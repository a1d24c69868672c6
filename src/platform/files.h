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
// The whole file, or nothing when it cannot be read (missing, a folder, no permission).
std::optional<std::vector<uint8_t>> readall(const std::string& path);
// Replaces the file safely: a temporary file in the same folder, flushed to disk,
// then renamed over the old one. On failure the old file is untouched and the
// reason is returned.
std::optional<std::string> replacefile(const std::string& path, const std::vector<uint8_t>& bytes);

// Makes a folder and its missing parents (each private to the user); the
// reason when it cannot.
std::optional<std::string> makefolders(const std::string& path);

}  // namespace vx::files
