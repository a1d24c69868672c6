// The game shell: start-up, the main loop, the screens, the pause and the splash.
#pragma once

namespace vx {

class Platform;
struct Game;
struct ReplayStart;

// Start-up (startup.cpp) up to the main loop (title screen shown, generator
// seeded). False when the display cannot be opened.
bool startup(Game& g);
// Start-up before the splash: the display, the lists, the stars, the images,
// the sounds and the best score. False when the display cannot be opened.
bool setup(Game& g);
// Start-up into a recorded game: the game as its first frame left it.
bool replaystartup(Game& g, const ReplayStart& s);

// The main loop (mainloop.cpp)
// The whole program: start-up, splash, main loop, end. Returns the exit status.
int rungame(Game& g);
// The steps of one frame up to its present: walks, screens, pause, F1, scores.
void framesteps(Game& g);
// One pass of the main loop; false once Escape (or the close request) ends it.
bool mainframe(Game& g);
// Stops the music and stores the best score.
void programend(Game& g);

// Presenting (present.cpp)
void sidebars(Game& g);
// Shows the back buffer at the vertical blank, then waits for the frame timer.
void presentframe(Game& g, const char* screen, bool timerwait = true);
void suspensioncheck(Game& g);

// Screen steps (screens.cpp)
void bonusdecorations(Game& g);
void titlestep(Game& g);
void getreadystep(Game& g);
// The music track of a wave kind.
int wavetrack(int wavetype);
void waveendtest(Game& g);
void wavedonestep(Game& g);
void gameoverstep(Game& g);
void f1step(Game& g);
// The current screen by the flags (title, getready, play, wavedone, gameover).
const char* screenname(const Game& g);

// The pause (pause.cpp)
void pausescreen(Game& g);

// The splash logo (splash.cpp)
void splash(Game& g);

}  // namespace vx
