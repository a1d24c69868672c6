#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/files.h"

#ifndef VEXALOID_SOUNDS_FROM_EXE
#define VEXALOID_SOUNDS_FROM_EXE "../share/games/vexaloid"
#endif
#ifndef VEXALOID_SOUNDS_INSTALLED
#define VEXALOID_SOUNDS_INSTALLED "/usr/share/games/vexaloid"
#endif

namespace vx {

namespace {

bool absolute(const std::string& p) {
    return !p.empty() && p[0] == '/';
}

std::string normal(const std::string& p) {
    std::string s = std::filesystem::path(p).lexically_normal().string();
    if (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// An XDG base folder: the variable when it holds an absolute path (a relative
// one is ignored, as the XDG rules say), otherwise HOME/fallback.
std::string xdgfolder(const std::string& var, const std::string& home, const char* fallback) {
    if (absolute(var)) return normal(var);
    if (absolute(home)) return normal(home + "/" + fallback);
    return "";
}

std::string envvar(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool isfolder(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

Paths choosepaths(const Machine& m) {
    Paths p;
    if (m.datahere) return p;
    p.mode = RunMode::installed;
    // Relative to the program, so a moved install tree still finds its sounds.
    p.sounds = m.exedir.empty() ? std::string(VEXALOID_SOUNDS_INSTALLED)
                                : normal(m.exedir + "/" VEXALOID_SOUNDS_FROM_EXE);
    std::string data = xdgfolder(m.xdgdatahome, m.home, ".local/share");
    std::string config = xdgfolder(m.xdgconfighome, m.home, ".config");
    p.userdata = data.empty() ? "" : data + "/vexaloid";
    p.settings = config.empty() ? "" : config + "/vexaloid/settings.cfg";
    if (data.empty())
        p.nohome =
            m.home.empty() ? "HOME is not set" : "HOME (" + m.home + ") is not an absolute path";
    return p;
}

bool canmakefolder(const std::string& dir) {
    std::filesystem::path p(dir);
    while (!p.empty()) {
        struct stat st;
        if (stat(p.c_str(), &st) == 0)
            return S_ISDIR(st.st_mode) && access(p.c_str(), W_OK | X_OK) == 0;
        if (errno != ENOENT) return false;
        if (p == p.parent_path()) return false;
        p = p.parent_path();
    }
    return false;
}

Paths findpaths() {
    Machine m;
    m.datahere = isfolder("data");
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) m.exedir = exe.parent_path().string();
    m.home = envvar("HOME");
    m.xdgdatahome = envvar("XDG_DATA_HOME");
    m.xdgconfighome = envvar("XDG_CONFIG_HOME");
    Paths p = choosepaths(m);
    // A home the best score cannot be stored in counts as none, said once at start.
    if (p.mode == RunMode::installed && !p.userdata.empty() && !canmakefolder(p.userdata)) {
        p.nohome = p.userdata + " cannot be made or written";
        p.userdata.clear();
    }
    return p;
}

std::optional<std::string> Paths::makeuserdata() const {
    if (mode == RunMode::portable) return std::nullopt;
    if (userdata.empty()) return "no usable home folder";
    return files::makefolders(userdata);
}

}  // namespace vx
