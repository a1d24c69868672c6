// Sound effects and music: the fourteen effect slots, the music channel and
// the two play operations.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_out.h"

namespace vx {

struct Game;

enum Sfx {
    shotsnd,
    hyperspsnd,
    gstartsnd,
    endwavesnd,
    bhitsnd,
    bhit1snd,
    lswarmsnd,
    sswarmsnd,
    sbhitsnd,
    sbdiesnd,
    shipdiesnd,
    flyawaysnd,
    beewarpsnd,
    hscoresnd,
    kSfxCount
};
extern const char* const kSfxNames[kSfxCount];
// File names in the sound folder.
extern const char* const kSfxFiles[kSfxCount];
// The music tracks by number: each normal wave kind and the bonus round have
// their own, the splash and the title screen share the fourth.
constexpr int kNormalTrackA = 0;
constexpr int kNormalTrackB = 1;
constexpr int kBonusTrack = 2;
constexpr int kTitleTrack = 3;
constexpr int kMusicTracks = 4;
extern const char* const kMusicFiles[kMusicTracks];

// Decodes a RIFF WAVE file of 8- or 16-bit PCM, mono or stereo; nothing for
// anything else. Never reads outside the given bytes.
std::shared_ptr<const Pcm> readwav(const uint8_t* data, size_t size);

// The one channel that music plays on.
class MusicChannel {
  public:
    void attach(AudioOut* out) { out_ = out; }
    void play(std::shared_ptr<const Pcm> pcm, float volume);  // replaces the channel
    void stop();
    void pause();
    void resume();
    void setvolume(float v);
    bool playing() const { return playing_; }

  private:
    AudioOut* out_ = nullptr;
    uint32_t voice_ = 0;
    bool playing_ = false;
};

// What was played since the last picture, for the simulator's trace.
struct AudioLog {
    bool enabled = false;
    std::vector<Sfx> sfx;
    std::vector<std::string> music;
    void clear() {
        sfx.clear();
        music.clear();
    }
};

struct Audio {
    std::shared_ptr<const Pcm> slot[kSfxCount];
    MusicChannel musicchan;
    AudioLog log;
};

// Loads the effect slots from the sound folder (a missing or rejected file
// plays silence).
void loadsounds(Game& g);
void playsfx(Game& g, Sfx s);
void playmusic(Game& g, int track);
// Music channel operations that the screens use, recorded for the trace.
void stopmusic(Game& g);
void pausemusic(Game& g);
void resumemusic(Game& g);
void setmusicvolume(Game& g, float v);

}  // namespace vx
