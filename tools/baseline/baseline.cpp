// The floor to measure the game against: an empty window with an OpenGL
// context, cleared and presented at 60 frames a second with the game's pacing.
// Escape or the window's close request ends it.
#include "platform/sdl/sdl_platform.h"

int main() {
    auto pf = vx::makesdlplatform(false);  // no sound: no audio device
    pf->settitle("Vexaloid baseline");
    if (!pf->opendisplay()) return 1;
    while (!pf->quitrequested() && !pf->input.hit(vx::Key::escape)) {
        pf->gfx.cls();
        pf->flip();
    }
    return 0;
}
