#include "audio/audio.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

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

// Says something about a sound file once per run, however often it is loaded.
void tell(Game& g, const std::string& what) {
    std::string line = "vexaloid: " + what + "; it plays as silence\n";
    auto& told = g.snd.told;
    if (std::find(told.begin(), told.end(), line) != told.end()) return;
    told.push_back(line);
    std::fputs(line.c_str(), stderr);
}

// A sound file that is missing or not accepted plays silence.
std::shared_ptr<const Pcm> loadwav(Game& g, const std::string& path) {
    int error = 0;
    auto bytes = files::readall(path, kMaxSoundBytes, &error);
    if (!bytes) {
        if (error == EFBIG)
            tell(g, path + " is larger than " + std::to_string(kMaxSoundBytes >> 20) + " MiB");
        else
            tell(g, std::string("cannot read ") + path + " (" +
                        (error == EISDIR ? "not a regular file" : std::strerror(error)) + ")");
        return nullptr;
    }
    const char* why = nullptr;
    std::shared_ptr<const Pcm> pcm;
    try {
        pcm = readwav(bytes->data(), bytes->size(), &why);
    } catch (const std::bad_alloc&) {
        why = "needs more memory than there is";
    }
    if (!pcm) tell(g, path + " " + why);
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
    for (int i = 0; i < kSfxCount; ++i) g.snd.slot[i] = loadwav(g, g.paths.sound(kSfxFiles[i]));
}

void playsfx(Game& g, Sfx s) {
    if (g.snd.log.enabled) g.snd.log.sfx.push_back(s);
    if (g.snd.slot[s]) g.pf.audio().start(g.snd.slot[s], clampvolume(g.sfxvol), false, false);
}

void playmusic(Game& g, int track) {
    if (g.snd.log.enabled) g.snd.log.music.push_back("play " + std::to_string(track));
    g.snd.musicchan.play(loadwav(g, g.paths.sound(kMusicFiles[track])), g.musicvol);
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
