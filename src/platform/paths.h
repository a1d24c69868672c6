// Where the game's files live. The mode is chosen once, at start:
//  - portable: the working folder holds data/. The sounds and hiscore.dat are
//    in data/, the settings in ../config/settings.cfg, all relative to the
//    working folder, as the game has always run (and as the simulator runs).
//  - installed: no data/ in the working folder. The sounds come from the
//    installed data folder, found relative to the program itself; the best score
//    and the player's other files live in $XDG_DATA_HOME/vexaloid, the settings
//    in $XDG_CONFIG_HOME/vexaloid. Nothing is written anywhere else.
#pragma once

#include <optional>
#include <string>

namespace vx {

enum class RunMode { portable, installed };

struct Paths {
    RunMode mode = RunMode::portable;
    // The folder of the sound files.
    std::string sounds = "data";
    // The shared settings file (only ever read); "" when there is none to read.
    std::string settings = "../config/settings.cfg";
    // The folder of the player's own files (best score, replays); "" when the
    // machine gives no usable home, and then `nohome` says why.
    std::string userdata = "data";
    std::string nohome;

    std::string sound(const std::string& file) const { return sounds + "/" + file; }
    // The best-score file; "" when the best score cannot be kept.
    std::string hiscore() const { return userdata.empty() ? "" : userdata + "/hiscore.dat"; }
    // Makes the user data folder (and its parents, private to the user) when it
    // is missing, in installed mode only: a portable run folder is never
    // changed. Returns the reason when it cannot.
    std::optional<std::string> makeuserdata() const;
};

// What the choice of paths reads from the machine; an empty string stands for
// an unset or empty variable.
struct Machine {
    bool datahere = false;  // the working folder holds a data/ folder
    std::string exedir;     // the folder of the running program ("" if unknown)
    std::string home, xdgdatahome, xdgconfighome;
};

// The paths for a machine, with no look at the file system.
Paths choosepaths(const Machine& m);
// This machine: the working folder, the program's own location, the
// environment; a home whose user data folder could not be made counts as no
// usable home.
Paths findpaths();
// True when `dir` exists as a folder or could be made: its nearest existing
// ancestor is a folder the user may write into.
bool canmakefolder(const std::string& dir);

}  // namespace vx
