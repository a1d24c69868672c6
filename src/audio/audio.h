// Sound effects and music: the fourteen effect slots, the music channel and
// the two play operations.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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

// The sample rates a sound file may have.
constexpr int kMinRate = 4000, kMaxRate = 192000;

// Where a WAV file's samples lie and how: `frames` whole frames of `channels`
// samples of `bits` bits from byte `offset` on (a data chunk that claims more
// than the file holds is cut to what it holds).
struct WavLayout {
    int rate = 0, channels = 0, bits = 0;
    uint64_t offset = 0, frames = 0;
};
// Reads up to n bytes at an offset of the file into out; returns how many it read.
using WavReader = std::function<size_t(uint64_t offset, uint8_t* out, size_t n)>;
// The layout of a RIFF WAVE file of 8- or 16-bit PCM, mono or stereo, of `size`
// bytes; nothing for anything else, with the reason (the end of a sentence
// naming the file, "is not a PCM WAV file") in *why.
std::optional<WavLayout> readwavlayout(const WavReader& read, uint64_t size,
                                       const char** why = nullptr);
// Converts `frames` frames of the layout's samples at p to signed 16 bits.
void decodewav(const WavLayout& w, const uint8_t* p, size_t frames, int16_t* out);
// Decodes a whole RIFF WAVE file held in memory; nothing for anything else.
// Never reads outside the given bytes.
std::shared_ptr<const Pcm> readwav(const uint8_t* data, size_t size, const char** why = nullptr);

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

// The largest sound effect file read: effects are decoded whole into memory.
constexpr size_t kMaxSoundBytes = size_t(64) << 20;

struct Audio {
    std::shared_ptr<const Pcm> slot[kSfxCount];
    MusicChannel musicchan;
    AudioLog log;
    // The messages about sound files said so far: each is said once per run.
    std::vector<std::string> told;
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
