#include "platform/sdl/endings.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace vx {

namespace {

volatile std::sig_atomic_t gEndSignal = 0;

void onendsignal(int sig) {
    gEndSignal = sig;
}

void writeall(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = write(fd, p, n);
        if (w <= 0) return;
        p += w, n -= static_cast<size_t>(w);
    }
}

}  // namespace

void catchendsignals() {
    struct sigaction sa {};
    sa.sa_handler = onendsignal;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGHUP, SIGINT, SIGTERM}) sigaction(s, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool endsignalled() {
    return gEndSignal != 0;
}

DriverQuiet::DriverQuiet() {
    std::fflush(stderr);
    saved_ = dup(2);
    held_ = memfd_create("vexaloid-driver", MFD_CLOEXEC);
    if (saved_ < 0 || held_ < 0 || dup2(held_, 2) < 0) {
        done_ = true;  // nothing held: the driver speaks as it would
        return;
    }
}

DriverQuiet::~DriverQuiet() {
    pass();
    if (saved_ >= 0) close(saved_);
    if (held_ >= 0) close(held_);
}

void DriverQuiet::pass() {
    if (done_) return;
    done_ = true;
    std::fflush(stderr);
    dup2(saved_, 2);
    // The held lines, as they would have been shown.
    char buf[4096];
    off_t at = 0;
    for (;;) {
        ssize_t n = pread(held_, buf, sizeof buf, at);
        if (n <= 0) break;
        writeall(2, buf, static_cast<size_t>(n));
        at += n;
    }
}

void DriverQuiet::fail(const char* line) {
    if (done_) {
        std::fputs(line, stderr);
        return;
    }
    done_ = true;
    std::fflush(stderr);
    writeall(saved_, line, std::strlen(line));
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, 2);
        close(null);
    }
}

}  // namespace vx
