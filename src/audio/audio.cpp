#include "audio/audio.h"

#include <algorithm>
#include <cstdio>

#include "platform/files.h"
#include "shell/game.h"

namespace vx {

const char* const kSfxNames[kSfxCount] = {
    "shotsnd",   "hyperspsnd", "gstartsnd", "endwavesnd", "bhitsnd",    "bhit1snd",   "lswarmsnd",
    "sswarmsnd", "sbhitsnd",   "sbdiesnd",  "shipdiesnd", "flyawaysnd", "beewarpsnd", "hscoresnd"};
const char* const kSfxFiles[kSfxCount] = {
    "shot1.wav",   "hypersp.wav", "gstart.wav",  "endwave.wav", "bhit.wav",
    "bhit1.wav",   "lswarm.wav",  "sswarm.wav",  "sbhit.wav",   "sbdie.wav",
    "shipdie.wav", "flyaway.wav", "beewarp.wav", "hscore.wav"};
const char* const kMusicFiles[kMusicTracks] = {"techno1.wav", "techno4.wav", "techno2.wav",
                                               "techno3.wav"};

namespace {

// A sound file that is missing or not accepted plays silence; say so once.
std::shared_ptr<const Pcm> loadwav(const std::string& path) {
    auto bytes = files::readall(path);
    if (!bytes) {
        std::fprintf(stderr, "vexaloid: cannot read %s; it plays as silence\n", path.c_str());
        return nullptr;
    }
    auto pcm = readwav(bytes->data(), bytes->size());
    if (!pcm)
        std::fprintf(stderr, "vexaloid: %s is not a PCM WAV file; it plays as silence\n",
                     path.c_str());
    return pcm;
}

float clampvolume(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

}  // namespace

void MusicChannel::play(std::shared_ptr<const Pcm> pcm, float volume) {
    // The previous channel is released without being stopped: every caller has
    // stopped it already or knows nothing plays.
    voice_ = (out_ && pcm) ? out_->start(std::move(pcm), clampvolume(volume), true, false) : 0;
    playing_ = true;
}

void MusicChannel::stop() {
    if (out_ && voice_) out_->stop(voice_);
    voice_ = 0;
    playing_ = false;
}

void MusicChannel::pause() {
    if (out_ && voice_) out_->pause(voice_);
}

void MusicChannel::resume() {
    if (out_ && voice_) out_->resume(voice_);
}

void MusicChannel::setvolume(float v) {
    if (out_ && voice_) out_->setvolume(voice_, clampvolume(v));
}

void loadsounds(Game& g) {
    for (int i = 0; i < kSfxCount; ++i) g.snd.slot[i] = loadwav(g.paths.sound(kSfxFiles[i]));
}

void playsfx(Game& g, Sfx s) {
    if (g.snd.log.enabled) g.snd.log.sfx.push_back(s);
    if (g.snd.slot[s]) g.pf.audio().start(g.snd.slot[s], clampvolume(g.sfxvol), false, false);
}

void playmusic(Game& g, int track) {
    if (g.snd.log.enabled) g.snd.log.music.push_back("play " + std::to_string(track));
    g.snd.musicchan.play(loadwav(g.paths.sound(kMusicFiles[track])), g.musicvol);
}

void stopmusic(Game& g) {
    if (g.snd.log.enabled) g.snd.log.music.emplace_back("stop");
    g.snd.musicchan.stop();
}

void pausemusic(Game& g) {
    if (g.snd.log.enabled) g.snd.log.music.emplace_back("pause");
    g.snd.musicchan.pause();
}

void resumemusic(Game& g) {
    if (g.snd.log.enabled) g.snd.log.music.emplace_back("resume");
    g.snd.musicchan.resume();
}

void setmusicvolume(Game& g, float v) {
    if (g.snd.log.enabled) g.snd.log.music.push_back("volume " + floattext(v));
    g.snd.musicchan.setvolume(v);
}

}  // namespace vx
