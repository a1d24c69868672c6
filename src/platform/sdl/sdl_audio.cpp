#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "platform/mixer.h"

namespace vx {

namespace {

class SdlAudio final : public AudioOut {
  public:
    ~SdlAudio() override {
        if (device_) SDL_CloseAudioDevice(device_);  // waits for the callback to return
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // Opens the device; false (with SDL's reason) when there is none.
    bool open(std::string& why) {
        SDL_AudioSpec want{};
        want.freq = 44100;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // Opened paused: the callback cannot run before the mixer exists.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device_ == 0) {
            why = SDL_GetError();
            return false;
        }
        mixer_ = std::make_unique<Mixer>(have.freq);
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    uint32_t start(std::shared_ptr<const Pcm> pcm, float volume, bool loop, bool paused) override {
        // A device that went away mixes nothing more: voices started now would
        // never finish, so none are started.
        if (SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
            if (!lost_)
                std::fprintf(stderr,
                             "vexaloid: the audio device is gone; the game runs silently\n");
            lost_ = true;
            return 0;
        }
        return mixer_->start(std::move(pcm), volume, loop, paused);
    }
    void stop(uint32_t voice) override { mixer_->stop(voice); }
    void pause(uint32_t voice) override { mixer_->pause(voice); }
    void resume(uint32_t voice) override { mixer_->resume(voice); }
    void setvolume(uint32_t voice, float volume) override { mixer_->setvolume(voice, volume); }

  private:
    static void callback(void* self, Uint8* stream, int bytes) {
        const int frames = bytes / int(2 * sizeof(float));
        static_cast<SdlAudio*>(self)->mixer_->mix(reinterpret_cast<float*>(stream), frames);
    }

    SDL_AudioDeviceID device_ = 0;
    std::unique_ptr<Mixer> mixer_;
    bool lost_ = false;
};

}  // namespace

namespace {

// ALSA reports a missing sound card on stderr itself, in many lines; the game
// says it once. libasound is loaded by SDL only when needed, so reach it the
// same way.
void ignorealsa(const char*, int, const char*, int, const char*, ...) {}

void quietalsa() {
    void* lib = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!lib) lib = dlopen("libasound.so.2", RTLD_LAZY);
    if (!lib) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(lib, "snd_lib_error_set_handler")))
        set(ignorealsa);
}

}  // namespace

std::unique_ptr<AudioOut> opensdlaudio() {
    quietalsa();
    std::string why;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        auto out = std::make_unique<SdlAudio>();
        if (out->open(why)) return out;
    } else {
        why = SDL_GetError();
    }
    std::fprintf(stderr, "vexaloid: no audio device (%s); the game runs silently\n", why.c_str());
    return std::make_unique<SilentAudio>();
}

}  // namespace vx
