// What each fuzzed reader must do with any bytes at all: return without reading
// outside them, and hand back only well-formed results. The fuzz targets abort
// when a check fails; tests/test_corpus.cpp runs the kept corpus through the
// same checks in the regular and the sanitizer builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "audio/audio.h"
#include "persist/persist.h"
#include "script.h"
#include "shell/replay.h"

namespace vx::fuzz {

// The WAV reader: an accepted sound has one or two channels, a rate, whole
// sample frames and no more samples than the file had bytes.
inline bool checkwav(const uint8_t* data, size_t size) {
    const auto pcm = readwav(data, size);
    if (!pcm) return true;
    return (pcm->channels == 1 || pcm->channels == 2) && pcm->rate > 0 &&
           pcm->samples.size() % static_cast<size_t>(pcm->channels) == 0 &&
           pcm->samples.size() <= size;
}

// The little-endian value n of a file, as the settings and best-score readers
// take it: the bytes present, least significant first, missing ones 0.
inline int32_t expectedle32(const uint8_t* data, size_t size, size_t n) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4 && n * 4 + i < size; ++i) v |= uint32_t{data[n * 4 + i]} << (8 * i);
    return static_cast<int32_t>(v);
}

// The settings file: eight values, of which the game keeps the fourth; reading
// a value past the end, or a file of any length, never fails.
inline bool checksettings(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    for (size_t n = 0; n < 10; ++n)
        if (readle32(bytes, n) != expectedle32(data, size, n)) return false;
    return true;
}

// The best-score file: its first value, whatever the file's length.
inline bool checkhiscore(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    return readle32(bytes, 0) == expectedle32(data, size, 0);
}

// The embedded pictures: a decoded picture has a sane size and all its pixels,
// and cutting the fifteen images from it (whatever its size) stays inside it.
inline bool checkpng(const uint8_t* data, size_t size) {
    const std::optional<Picture> pic = decodepng(data, size);
    if (!pic) return true;
    if (pic->width <= 0 || pic->height <= 0 || pic->width > 4096 || pic->height > 4096)
        return false;
    if (pic->rgb.size() != static_cast<size_t>(pic->width) * pic->height * 3) return false;
    Images img;
    cutimages(img, *pic);
    return img.shipimg.frames == 4 && img.digitimg.frames == 10;
}

// The simulator's script reader: either events in frame order with known keys,
// or an error naming a line of the text.
inline bool checkscript(const uint8_t* data, size_t size) {
    std::optional<sim::ScriptError> error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<sim::Event> events = sim::parsescript(text, error);
    if (error) return events.empty() && error->line >= 1 && !error->message.empty();
    int last = 0;
    for (const sim::Event& e : events) {
        if (e.frame < 1 || e.frame < last || e.line < 1) return false;
        if (static_cast<int>(e.key) < 0 || e.key >= Key::count) return false;
        last = e.frame;
    }
    return true;
}

// The replay reader: either an error naming a line of the text, or a replay
// whose input and checks are in frame order with the end last, and whose
// header, written again, reads back as the same.
inline bool checkreplay(const uint8_t* data, size_t size) {
    ReplayError error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<Replay> r = readreplay(text, error);
    if (!r) return error.line >= 1 && !error.message.empty();
    if (r->checks.empty() || r->endframe() < 1 || r->start.stars.size() > 1000) return false;
    int last = 0;
    for (const Event& e : r->events) {
        if (e.frame < 1 || e.frame < last || e.frame > r->endframe() + 1) return false;
        if (static_cast<int>(e.key) < 0 || e.key >= Key::count) return false;
        last = e.frame;
    }
    for (size_t i = 1; i < r->checks.size(); ++i)
        if (r->checks[i].frame < r->checks[i - 1].frame) return false;
    const std::string header = starttext(r->start);
    const std::optional<Replay> again =
        readreplay(header + "end 1 0000000000000000 score 0 wave 1\n", error);
    return again && starttext(again->start) == header;
}

}  // namespace vx::fuzz
