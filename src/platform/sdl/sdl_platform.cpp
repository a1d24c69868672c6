#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/gl/gl_renderer.h"
#include "platform/pointer.h"
#include "platform/sdl/endings.h"
#include "platform/sdl/frame_stats.h"
#include "platform/sdl/pacer.h"
#include "platform/sdl/sdl_audio.h"

namespace vx {

namespace {

// Notes when a music track starts, so that frame's allocations are not counted.
class TrackedAudio final : public AudioOut {
  public:
    explicit TrackedAudio(std::unique_ptr<AudioOut> out) : out_(std::move(out)) {}
    uint32_t start(std::shared_ptr<const Pcm> pcm, float volume, bool loop, bool paused) override {
        musicstarted |= loop;
        return out_->start(std::move(pcm), volume, loop, paused);
    }
    void stop(uint32_t v) override { out_->stop(v); }
    void pause(uint32_t v) override { out_->pause(v); }
    void resume(uint32_t v) override { out_->resume(v); }
    void setvolume(uint32_t v, float volume) override { out_->setvolume(v, volume); }
    bool musicstarted = false;

  private:
    std::unique_ptr<AudioOut> out_;
};

class SdlPlatform final : public Platform {
  public:
    SdlPlatform(bool earlyaudio, std::optional<bool> windowed)
        : earlyaudio_(earlyaudio), windowed_(windowed) {
        catchendsignals();
        // The game's own handlers: SDL would otherwise take SIGINT and SIGTERM.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    }
    ~SdlPlatform() override;

    void settitle(const char* title) override { title_ = title; }
    bool opendisplay() override;
    void flip() override;
    void grabpicture(Image& img) override;
    void hidepointer() override { SDL_ShowCursor(SDL_DISABLE); }

    int mousex() override { return mx_; }
    int mousey() override { return my_; }
    void movemouse(int x, int y) override;

    uint32_t millisecs() override { return SDL_GetTicks(); }
    void delay(int ms) override;
    void createtimer(int hz) override { timer_.start(hz); }
    void waittimer() override { timer_.wait(); }

    bool suspended() override {
        pump();
        return suspended_;
    }
    void waitevents() override;
    bool quitrequested() override { return quit_ || endsignalled(); }

    AudioOut& audio() override {
        if (!audio_) {
            if (opener_.joinable()) opener_.join();
            audio_ = std::make_unique<TrackedAudio>(early_ ? std::move(early_) : opensdlaudio());
        }
        return *audio_;
    }

  private:
    void pump();
    void handle(const SDL_Event& e);
    void togglefullscreen();
    void setfullscreen(bool full);
    void layout();
    void setsuspended(bool s);
    void pointerfromwindow(int wx, int wy);

    std::string title_ = "Vexaloid";
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    std::unique_ptr<GlRenderer> gl_;
    Viewport vp_;
    int dw_ = kScreenW, dh_ = kScreenH;  // drawable size
    double dpi_ = 1.0;                   // drawable pixels per window point
    bool relative_ = false;              // the system cannot move the pointer (Wayland)
    GamePointer pointer_;                // the game's own pointer there
    int mx_ = 0, my_ = 0;
    bool suspended_ = false, focused_ = true, minimised_ = false;
    bool quit_ = false;
    Pacer pacer_;
    FrameTimer timer_;
    FrameStats stats_;
    std::unique_ptr<TrackedAudio> audio_;
    // The audio device opened while the display comes up (see makesdlplatform).
    bool earlyaudio_ = true;
    // The start mode from the command line; unset: VEXALOID_WINDOWED decides.
    std::optional<bool> windowed_;
    std::thread opener_;
    std::unique_ptr<AudioOut> early_;
    // Storage for the pause's frozen picture, made when the display opens so
    // that entering the pause allocates nothing.
    Picture grabbed_;
    std::vector<uint32_t> grabpixels_;
};

SdlPlatform::~SdlPlatform() {
    stats_.print();
    if (opener_.joinable()) opener_.join();
    early_.reset();
    audio_.reset();
    gl_.reset();  // its textures go before the context
    if (context_) SDL_GL_DeleteContext(context_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
}

bool SdlPlatform::opendisplay() {
    // Without a display SDL would fall back to drawing off screen; the game says
    // so in one line instead. SDL_VIDEODRIVER still chooses a driver explicitly.
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    bool chosen = set("SDL_VIDEODRIVER");
    if (!chosen && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "vexaloid: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return false;
    }
    if (!chosen) SDL_SetHint(SDL_HINT_VIDEODRIVER, set("WAYLAND_DISPLAY") ? "wayland,x11" : "x11");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "vexaloid: no display: %s\n", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!chosen && driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"))) {
        std::fprintf(stderr, "vexaloid: no display could be opened\n");
        return false;
    }
    // The audio subsystem starts on its own thread; nothing else here touches it.
    if (earlyaudio_ && !audio_ && !opener_.joinable())
        opener_ = std::thread([this] { early_ = opensdlaudio(); });
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // 16 bits per pixel at least; a deeper visual serves just as well.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);

    // A broken driver says nothing of its own: the game's one line stands for it.
    DriverQuiet quiet;
    const char* w = std::getenv("VEXALOID_WINDOWED");
    bool windowed = windowed_.value_or(w && w[0] == '1');
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE;
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kScreenW, kScreenH, flags);
    if (window_) setfullscreen(!windowed);
    if (!window_) {
        std::string line = std::string("vexaloid: cannot open a window: ") + SDL_GetError() + "\n";
        quiet.fail(line.c_str());
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (context_) gl_ = std::make_unique<GlRenderer>();
    if (!context_ || !gl_->init()) {
        const char* why = SDL_GetError();
        std::string line = std::string("vexaloid: OpenGL 3.3 is not available: ") + why + "\n";
        quiet.fail(line.c_str());
        return false;
    }
    quiet.pass();
    // Present at the vertical blank when the display refreshes at 60 Hz; otherwise
    // (120 Hz, 144 Hz, no vsync at all) the pacer keeps 60 frames a second.
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(window_);
    bool sixty = SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 &&
                 mode.refresh_rate >= 59 && mode.refresh_rate <= 61;
    bool vsync = sixty && SDL_GL_SetSwapInterval(1) == 0;
    if (!vsync) SDL_GL_SetSwapInterval(0);
    pacer_.begin(vsync);
    relative_ = driver && std::strcmp(driver, "wayland") == 0;
    if (relative_) SDL_SetRelativeMouseMode(SDL_TRUE);
    SDL_SetWindowGrab(window_, SDL_TRUE);
    mx_ = kScreenW / 2, my_ = kScreenH / 2;
    grabbed_ = Picture{kScreenW, kScreenH, {}};
    grabbed_.rgb.reserve(static_cast<size_t>(kScreenW) * kScreenH * 3);
    grabpixels_.reserve(static_cast<size_t>(kScreenW) * kScreenH);
    return true;
}

void SdlPlatform::layout() {
    int ww = 0, wh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    SDL_GL_GetDrawableSize(window_, &dw_, &dh_);
    dpi_ = ww > 0 ? static_cast<double>(dw_) / ww : 1.0;
    vp_ = fitpicture(dw_, dh_);
}

void SdlPlatform::setfullscreen(bool full) {
    int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    SDL_Rect desk{0, 0, kScreenW, kScreenH};
    SDL_GetDisplayBounds(display, &desk);
    if (full) {
        // Full screen at the desktop's own resolution on the window's monitor: the
        // monitor's mode never changes. The window covers it even where no window
        // manager honours the full-screen request.
        SDL_SetWindowPosition(window_, desk.x, desk.y);
        SDL_SetWindowSize(window_, desk.w, desk.h);
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        // A window of the largest whole multiple that fits the desktop with room to spare.
        int k = std::max(1, std::min((desk.w - 64) / kScreenW, (desk.h - 96) / kScreenH));
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowSize(window_, kScreenW * k, kScreenH * k);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                              SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    }
    layout();
    movemouse(mx_, my_);
}

void SdlPlatform::togglefullscreen() {
    setfullscreen(!(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP));
}

void SdlPlatform::pointerfromwindow(int wx, int wy) {
    double px = (wx * dpi_ - vp_.x) * kScreenW / vp_.w;
    double py = (wy * dpi_ - vp_.y) * kScreenH / vp_.h;
    mx_ = std::clamp(static_cast<int>(std::floor(px)), 0, kScreenW - 1);
    my_ = std::clamp(static_cast<int>(std::floor(py)), 0, kScreenH - 1);
}

void SdlPlatform::movemouse(int x, int y) {
    mx_ = std::clamp(x, 0, kScreenW - 1);
    my_ = std::clamp(y, 0, kScreenH - 1);
    if (relative_) pointer_.moveto(mx_, my_);
    if (relative_ || !window_) return;
    // The centre of the picture pixel, in window points.
    double wx = (vp_.x + (mx_ + 0.5) * vp_.w / kScreenW) / dpi_;
    double wy = (vp_.y + (my_ + 0.5) * vp_.h / kScreenH) / dpi_;
    SDL_WarpMouseInWindow(window_, static_cast<int>(wx), static_cast<int>(wy));
}

void SdlPlatform::setsuspended(bool s) {
    if (s == suspended_) return;
    suspended_ = s;
    // The keyboard and mouse are flushed on suspension and on resumption.
    Input& in = playback ? viewer : input;
    in.flushkeys();
    in.flushmouse();
    if (sink) sink->suspend(s);
    // The pointer is kept inside the window only while the game has focus.
    SDL_SetWindowGrab(window_, s ? SDL_FALSE : SDL_TRUE);
    if (relative_) SDL_SetRelativeMouseMode(s ? SDL_FALSE : SDL_TRUE);
}

void SdlPlatform::handle(const SDL_Event& e) {
    auto keyof = [](SDL_Keycode k, Key& out) {
        switch (k) {
            case SDLK_ESCAPE:
                out = Key::escape;
                return true;
            case SDLK_SPACE:
                out = Key::space;
                return true;
            case SDLK_F1:
                out = Key::f1;
                return true;
            case SDLK_F2:
                out = Key::f2;
                return true;
            case SDLK_F3:
                out = Key::f3;
                return true;
            default:
                return false;
        }
    };
    Key k;
    Input& in = playback ? viewer : input;
    auto press = [&](Key key, bool down) {
        if (down)
            in.press(key);
        else
            in.release(key);
        if (sink) sink->key(key, down);
    };
    switch (e.type) {
        case SDL_QUIT:
            if (!quit_ && sink) sink->quit();
            quit_ = true;
            break;
        case SDL_KEYDOWN:
            if (e.key.repeat) break;
            // Alt+Enter and F11 toggle the window; the game never sees them.
            if (e.key.keysym.sym == SDLK_F11 ||
                (e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT))) {
                togglefullscreen();
                break;
            }
            if (keyof(e.key.keysym.sym, k)) press(k, true);
            break;
        case SDL_KEYUP:
            if (keyof(e.key.keysym.sym, k)) press(k, false);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT) break;
            Key b = e.button.button == SDL_BUTTON_LEFT ? Key::mouseleft : Key::mouseright;
            press(b, e.type == SDL_MOUSEBUTTONDOWN);
            break;
        }
        case SDL_MOUSEMOTION:
            if (playback) break;
            if (relative_) {
                // The game's own pointer, driven by the mouse's motion.
                pointer_.moveby(e.motion.xrel * dpi_, e.motion.yrel * dpi_,
                                static_cast<double>(kScreenW) / vp_.w);
                mx_ = pointer_.x(), my_ = pointer_.y();
            } else {
                pointerfromwindow(e.motion.x, e.motion.y);
            }
            if (sink) sink->pointer(mx_, my_);
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    focused_ = false;
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    focused_ = true;
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                case SDL_WINDOWEVENT_HIDDEN:
                    minimised_ = true;
                    break;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_SHOWN:
                    minimised_ = false;
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    layout();
                    break;
                default:
                    break;
            }
            setsuspended(!focused_ || minimised_);
            break;
        default:
            break;
    }
}

void SdlPlatform::pump() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) handle(e);
}

void SdlPlatform::flip() {
    // The window may have been resized or moved to another monitor.
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    if (dw != dw_ || dh != dh_) layout();
    gl_->render(gfx);
    gl_->blit(vp_, dw_, dh_);
    SDL_GL_SwapWindow(window_);
    pacer_.paced();
    int calls = gl_->drawcalls();
    gfx.clearops();
    // A frame that loaded a music track allocates by design; it is not counted.
    bool loadedmusic = audio_ && audio_->musicstarted;
    if (audio_) audio_->musicstarted = false;
    stats_.presented(calls, loadedmusic);
    pump();
}

void SdlPlatform::grabpicture(Image& img) {
    gl_->readpixels(grabbed_.rgb);
    if (img.width != kScreenW || img.height != kScreenH || img.frames != 1) {
        // The first grab into this image: a 640x480 top-left image on the storage
        // made in advance (what makeimage would give, without allocating).
        Image fresh;
        fresh.width = kScreenW;
        fresh.height = kScreenH;
        fresh.frames = 1;
        fresh.pixels.swap(grabpixels_);
        fresh.pixels.assign(static_cast<size_t>(kScreenW) * kScreenH, 0u);
        fresh.version = nextversion();
        std::swap(img, fresh);
    }
    cutframe(img, 0, grabbed_, 0, 0);
}

void SdlPlatform::delay(int ms) {
    // The window keeps answering while the game waits.
    double until = nowms() + ms;
    while (!quitrequested()) {
        double left = until - nowms();
        if (left <= 0) break;
        SDL_Delay(static_cast<Uint32>(std::ceil(std::min(left, 10.0))));
        pump();
    }
}

void SdlPlatform::waitevents() {
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 100)) handle(e);
    pump();
}

}  // namespace

std::unique_ptr<Platform> makesdlplatform(bool earlyaudio, std::optional<bool> windowed) {
    return std::make_unique<SdlPlatform>(earlyaudio, windowed);
}

}  // namespace vx
