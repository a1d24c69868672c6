// vexaloid-sim: the game on a headless platform, for tests and bug reports.
#include <cstdio>

#include "sim.h"

int main(int argc, char** argv) {
    vx::sim::Options opt;
    std::string error;
    if (!vx::sim::parseargs(argc, argv, opt, error)) {
        std::fprintf(stderr,
                     "vexaloid-sim: %s\nusage: vexaloid-sim [--dir DIR] [--seed S] [--frames N] "
                     "[--input FILE | --replay FILE.vxr] [--trace FILE] [--audio FILE.wav] "
                     "[--entities] [--draws] [--shot N:FILE.png]... "
                     "[--autopilot] [--check] [--record DIR]\n",
                     error.c_str());
        return 2;
    }
    int status = vx::sim::run(opt, error);
    if (!error.empty()) std::fprintf(stderr, "vexaloid-sim: %s\n", error.c_str());
    return status;
}
