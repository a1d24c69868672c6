// Synthesises Vexaloid's whole sound set: fourteen effects and four looping
// techno tracks, written as 16-bit PCM WAV files into the folder given on the
// command line. Everything is computed from fixed tables and a fixed-seed noise
// generator, so every build writes the same bytes.
//
//   vexaloid-sndgen <folder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/limiter.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

using Buf = std::vector<float>;

// ---------------------------------------------------------------------------
// Small building blocks
// ---------------------------------------------------------------------------

// Fixed-seed noise: the same sequence on every machine.
struct Rng {
    uint32_t s;
    explicit Rng(uint32_t seed) : s(seed ? seed : 1u) {}
    uint32_t next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    float uni() { return float(next() >> 8) * (1.0f / 16777216.0f); }  // [0, 1)
    float bi() { return uni() * 2.0f - 1.0f; }                         // [-1, 1)
};

double midifreq(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

// Band-limited step correction for the saw and pulse oscillators.
double blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// A phase accumulator with saw, pulse and sine outputs.
struct Osc {
    double ph = 0.0;
    double dt = 0.0;
    void setfreq(double f) { dt = std::min(f / kRate, 0.45); }
    void step() {
        ph += dt;
        if (ph >= 1.0) ph -= 1.0;
    }
    double sine() const { return std::sin(kTwoPi * ph); }
    double saw() const { return 2.0 * ph - 1.0 - blep(ph, dt); }
    double pulse(double width) const {
        double p2 = ph + (1.0 - width);
        if (p2 >= 1.0) p2 -= 1.0;
        return (2.0 * ph - 1.0 - blep(ph, dt)) - (2.0 * p2 - 1.0 - blep(p2, dt));
    }
};

// State-variable filter (trapezoidal): low, band and high outputs at once.
struct Svf {
    double ic1 = 0.0, ic2 = 0.0;
    double low = 0.0, band = 0.0, high = 0.0;
    void run(double x, double cutoff, double q) {
        const double g = std::tan(kPi * std::clamp(cutoff, 10.0, kRate * 0.45) / kRate);
        const double k = 1.0 / q;
        const double a1 = 1.0 / (1.0 + g * (g + k));
        const double a2 = g * a1;
        const double a3 = g * a2;
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
};

int samples(double seconds) {
    return int(seconds * kRate + 0.5);
}

// Attack and release ramps at both ends, so a sound starts and ends at zero.
void fadeends(Buf& b, double attack, double release) {
    const int a = std::min<int>(samples(attack), int(b.size()));
    const int r = std::min<int>(samples(release), int(b.size()));
    for (int i = 0; i < a; ++i) b[i] *= float(i) / float(a);
    for (int i = 0; i < r; ++i) b[b.size() - 1 - i] *= float(i) / float(r);
}

// A two-pole low-pass over a whole sound: takes the glassy top off bells.
void soften(Buf& b, double cutoff) {
    Svf f;
    for (float& x : b) {
        f.run(x, cutoff, 0.7071);
        x = float(f.low);
    }
}

// Adds src into dst at offset, scaled.
void mixin(Buf& dst, const Buf& src, int offset, float gain) {
    if (dst.size() < src.size() + offset) dst.resize(src.size() + offset, 0.0f);
    for (size_t i = 0; i < src.size(); ++i) dst[offset + i] += src[i] * gain;
}

// ---------------------------------------------------------------------------
// Instruments: each renders one hit or note, starting and ending at zero.
// ---------------------------------------------------------------------------

Buf kick(double punch) {
    Buf b(samples(0.42));
    Osc o;
    Rng rng(11);
    Svf click;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        o.setfreq(44.0 + 120.0 * punch * std::exp(-t * 28.0) + 40.0 * std::exp(-t * 160.0));
        const double body = o.sine() * std::exp(-t * 6.5) * std::min(1.0, t * 2000.0);
        click.run(rng.bi(), 3000.0, 0.7);
        const double tick = click.low * std::exp(-t * 400.0) * 0.8;
        b[i] = float(std::tanh(1.6 * (body + tick)));
        o.step();
    }
    fadeends(b, 0.0005, 0.03);
    return b;
}

Buf snare() {
    Buf b(samples(0.26));
    Osc o;
    o.setfreq(190.0);
    Rng rng(23);
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        f.run(rng.bi(), 2400.0, 0.6);
        const double tone = o.sine() * std::exp(-t * 30.0) * 0.6;
        const double rattle = (f.band + 0.4 * f.high) * std::exp(-t * 16.0);
        b[i] = float(tone + rattle);
        o.step();
    }
    fadeends(b, 0.0005, 0.03);
    return b;
}

Buf clap() {
    Buf b(samples(0.32));
    Rng rng(37);
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        double env = std::exp(-t * 14.0) * 0.7;
        for (double at : {0.0, 0.011, 0.022}) {
            if (t >= at) env = std::max(env, std::exp(-(t - at) * 180.0));
        }
        f.run(rng.bi(), 1300.0, 1.4);
        b[i] = float(f.band * env * 2.2);
    }
    fadeends(b, 0.0005, 0.03);
    return b;
}

// Six detuned square partials through a high band: a metallic hat.
Buf hat(double decay, double length) {
    static const double kPartials[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Buf b(samples(length));
    Osc o[6];
    for (int k = 0; k < 6; ++k) o[k].setfreq(kPartials[k] * 2.1);
    Rng rng(41);
    Svf band, high;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        double metal = 0.0;
        for (Osc& x : o) {
            metal += x.ph < 0.5 ? 1.0 : -1.0;
            x.step();
        }
        band.run(metal * 0.15 + rng.bi() * 0.6, 9000.0, 1.2);
        high.run(band.band, 7000.0, 0.7);
        b[i] = float(3.5 * high.high * std::exp(-t * decay));
    }
    fadeends(b, 0.0005, 0.01);
    return b;
}

// Saw bass with a sub sine and a resonant low-pass that opens on each note.
struct BassTone {
    double cutoff = 300.0;  // resting cutoff
    double envamt = 6.0;    // how far the filter opens (times the cutoff)
    double decay = 14.0;    // filter envelope speed
    double q = 1.6;         // resonance
    double sub = 0.5;       // sub-octave sine level
};

Buf bassnote(double note, double seconds, const BassTone& tone, double accent) {
    const int gate = samples(seconds);
    Buf b(gate + samples(0.03));
    Osc saw, subo;
    saw.setfreq(midifreq(note));
    subo.setfreq(midifreq(note - 12.0));
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double fenv = std::exp(-t * tone.decay) * (1.0 + accent);
        f.run(saw.saw(), tone.cutoff * (1.0 + tone.envamt * fenv), tone.q);
        const double amp = int(i) < gate ? 1.0 : std::exp(-double(int(i) - gate) / kRate * 150.0);
        b[i] = float((f.low + tone.sub * subo.sine()) * amp);
        saw.step();
        subo.step();
    }
    fadeends(b, 0.002, 0.008);
    return b;
}

// Short pulse pluck for arpeggios.
Buf pluck(double note, double bright, double seconds) {
    Buf b(samples(seconds));
    Osc o;
    o.setfreq(midifreq(note));
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        f.run(o.pulse(0.3), 500.0 + bright * 5000.0 * std::exp(-t * 20.0), 1.2);
        b[i] = float(f.low * std::exp(-t * 9.0));
        o.step();
    }
    fadeends(b, 0.001, 0.02);
    return b;
}

// Detuned saw chord: a stab (fast) or a pad (slow attack).
Buf chord(const std::vector<double>& notes, double seconds, double attack, double cutoff) {
    const int gate = samples(seconds);
    Buf b(gate + samples(0.15));
    static const double kDetune[] = {-0.11, 0.0, 0.12};
    std::vector<Osc> oscs;
    for (double n : notes)
        for (double d : kDetune) {
            Osc o;
            o.setfreq(midifreq(n + d));
            o.ph = std::fmod(n * 0.137 + d, 1.0) + (d < 0 ? 1.0 : 0.0);
            o.ph -= std::floor(o.ph);
            oscs.push_back(o);
        }
    Svf f;
    const double norm = 1.0 / std::sqrt(double(oscs.size()));
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        double s = 0.0;
        for (Osc& o : oscs) {
            s += o.saw();
            o.step();
        }
        f.run(s * norm, cutoff * (1.0 + 1.5 * std::exp(-t * 8.0)), 0.9);
        double amp = std::min(1.0, t / attack);
        if (int(i) >= gate) amp *= std::exp(-double(int(i) - gate) / kRate * 30.0);
        b[i] = float(f.low * amp);
    }
    fadeends(b, 0.002, 0.02);
    return b;
}

// The build's riser: noise through a narrowing band that sweeps up five
// octaves and swells, over a sine that climbs two.
Buf riser(double seconds) {
    Buf b(samples(seconds));
    Rng rng(59);
    Svf f;
    Osc o;
    for (size_t i = 0; i < b.size(); ++i) {
        const double x = double(i) / double(b.size());
        f.run(rng.bi(), 250.0 * std::pow(32.0, x), 1.0 + 3.0 * x);
        o.setfreq(220.0 * std::pow(4.0, x));
        b[i] = float((0.8 * f.band + 0.15 * o.sine()) * x * x);
        o.step();
    }
    fadeends(b, 0.01, 0.01);
    return b;
}

// Lead: two detuned saws and a square, with a vibrato that grows in.
Buf leadnote(double note, double seconds) {
    const int gate = samples(seconds);
    Buf b(gate + samples(0.12));
    Osc a, c, sq, lfo;
    lfo.setfreq(5.5);
    const double f0 = midifreq(note);
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double vib = 1.0 + 0.006 * std::min(1.0, t * 4.0) * lfo.sine();
        a.setfreq(f0 * vib * 1.004);
        c.setfreq(f0 * vib * 0.996);
        sq.setfreq(f0 * vib * 0.5);
        const double s = 0.4 * a.saw() + 0.4 * c.saw() + 0.3 * sq.pulse(0.5);
        f.run(s, 1800.0 + 3500.0 * std::exp(-t * 6.0), 1.1);
        double amp = std::min(1.0, t / 0.006);
        if (int(i) >= gate) amp *= std::exp(-double(int(i) - gate) / kRate * 40.0);
        b[i] = float(f.low * amp);
        a.step();
        c.step();
        sq.step();
        lfo.step();
    }
    fadeends(b, 0.002, 0.01);
    return b;
}

// ---------------------------------------------------------------------------
// Music: a loop of whole bars in stereo buses. Every note is added modulo the
// loop length, so tails that run past the end sound at the start again and the
// last sample leads straight into the first.
// ---------------------------------------------------------------------------

struct Bus {
    Buf l, r;
    explicit Bus(size_t n) : l(n, 0.0f), r(n, 0.0f) {}
    size_t size() const { return l.size(); }
    // pan -1 (left) .. 1 (right), constant power
    void add(const Buf& src, size_t at, float gain, float pan) {
        const double a = (pan + 1.0) * kPi / 4.0;
        const float gl = gain * float(std::cos(a)) * 1.41421356f;
        const float gr = gain * float(std::sin(a)) * 1.41421356f;
        const size_t n = size();
        for (size_t i = 0; i < src.size(); ++i) {
            const size_t k = (at + i) % n;
            l[k] += src[i] * gl;
            r[k] += src[i] * gr;
        }
    }
};

// Ping-pong echo around the loop: two passes make the feedback wrap as well.
void echo(Bus& bus, size_t delay, float feedback, float wet) {
    const size_t n = bus.size();
    Buf yl(n, 0.0f), yr(n, 0.0f);
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < n; ++i) {
            const size_t j = (i + n - delay) % n;
            yl[i] = bus.l[i] + feedback * yr[j];
            yr[i] = bus.r[i] + feedback * yl[j];
        }
    for (size_t i = 0; i < n; ++i) {
        bus.l[i] += wet * (yl[i] - bus.l[i]);
        bus.r[i] += wet * (yr[i] - bus.r[i]);
    }
}

// The pump: dips a bus under each kick and lets it swell back.
void duck(Bus& bus, const std::vector<size_t>& kicks, float depth) {
    const size_t n = bus.size();
    Buf gain(n, 1.0f);
    const int attack = samples(0.004), len = samples(0.3);
    for (size_t at : kicks)
        for (int i = 0; i < len; ++i) {
            const double env =
                i < attack ? double(i) / attack : std::exp(-(i - attack) / (0.09 * kRate));
            float& g = gain[(at + i) % n];
            g = std::min(g, float(1.0 - depth * env));
        }
    for (size_t i = 0; i < n; ++i) {
        bus.l[i] *= gain[i];
        bus.r[i] *= gain[i];
    }
}

// One note of a melody: start step in the phrase, length in steps, semitones above the key.
struct Note {
    int step, len, pitch;
};

// Four bars of a track's arrangement and which parts play in them. `other`
// sections play the track's second progression; a `build` section rises into
// the next one with a noise sweep and a snare roll over its last two bars, and
// the next one opens on a crash.
struct Section {
    bool kick, snare, hats, openhats, bass, arp, chords, lead, fill, other, build;
};

struct TrackDef {
    const char* name;
    double bpm;
    int key;                // MIDI note of the key's root (bass octave)
    int progression[4][4];  // per bar: chord tones in semitones above the key
    int other[4][4];        // the contrasting progression of the `other` sections
    const char* kick;       // 16 steps, 'x' = hit
    const char* snare;      // 'x' snare, 'c' clap
    const char* hats;       // 'x' closed, 'o' open
    const char* bass;       // per step: '.' rest, '-' hold, digit/letter = chord tone
                            // index ('0'-'3', '4'-'7' an octave up), '!' accent next
    const char* arp;        // per step chord tone index as for bass, '.' rest
    BassTone basstone;
    double chordcut;                // chord filter cutoff
    bool pads;                      // long pads instead of off-beat stabs
    std::vector<Note> lead;         // a 64-step phrase
    std::vector<Section> sections;  // each four bars
};

int chordtone(const int (&chord)[4], char c) {
    const int i = c - '0';
    return chord[i % 4] + 12 * (i / 4);
}

Bus rendertrack(const TrackDef& t) {
    const size_t step = size_t(kRate * 15.0 / t.bpm + 0.5);  // one sixteenth
    const size_t bar = step * 16;
    const size_t length = bar * 4 * t.sections.size();
    Bus drums(length), bass(length), synth(length), lead(length);
    std::vector<size_t> kickat;

    const Buf bd = kick(1.0), sn = snare(), cp = clap();
    const Buf ch = hat(55.0, 0.08), oh = hat(9.0, 0.3), crash = hat(2.2, 1.6);

    for (size_t s = 0; s < t.sections.size(); ++s) {
        const Section& sec = t.sections[s];
        if (sec.build) {
            // The last two bars rise: a noise sweep and a snare roll that
            // doubles its pace and grows; the next section opens on a crash.
            drums.add(riser(2 * bar / double(kRate)), (s * 4 + 2) * bar, 0.5f, 0.0f);
            for (int i = 0; i < 32; ++i) {
                if (i < 16 && i % 2) continue;
                const float x = i / 31.0f;
                drums.add(sn, (s * 4 + 2) * bar + i * step, 0.12f + 0.4f * x * x,
                          i % 2 ? 0.15f : -0.15f);
            }
            drums.add(crash, (s + 1) * 4 * bar, 0.3f, -0.2f);
        }
        for (int b = 0; b < 4; ++b) {
            const size_t barat = (s * 4 + b) * bar;
            const int(&chordnotes)[4] = sec.other ? t.other[b] : t.progression[b];
            const bool fillbar = sec.fill && b == 3;
            for (int i = 0; i < 16; ++i) {
                const size_t at = barat + i * step;
                const bool fillstep = fillbar && i >= 12;
                if (sec.kick && t.kick[i] == 'x' && !(fillstep && i > 12)) {
                    drums.add(bd, at, 1.0f, 0.0f);
                    kickat.push_back(at);
                }
                if (sec.snare && t.snare[i] == 'x') drums.add(sn, at, 0.55f, 0.05f);
                if (sec.snare && t.snare[i] == 'c') drums.add(cp, at, 0.6f, -0.05f);
                if (fillstep) drums.add(sn, at, 0.25f + 0.08f * (i - 12), 0.1f * (i - 13));
                if (sec.hats && t.hats[i] == 'x') drums.add(ch, at, i % 2 ? 0.16f : 0.22f, 0.35f);
                if (sec.hats && sec.openhats && t.hats[i] == 'o') drums.add(oh, at, 0.2f, -0.3f);
                if (sec.bass && t.bass[i] != '.' && t.bass[i] != '-' && t.bass[i] != '!') {
                    int len = 1;
                    while (i + len < 16 && t.bass[i + len] == '-') ++len;
                    const bool accent = i > 0 && t.bass[i - 1] == '!';
                    const double note = t.key + chordtone(chordnotes, t.bass[i]);
                    bass.add(
                        bassnote(note, len * step * 0.85 / kRate, t.basstone, accent ? 0.8 : 0.0),
                        at, 0.8f, 0.0f);
                }
                if (sec.arp && t.arp[i] != '.') {
                    const double note = t.key + 24 + chordtone(chordnotes, t.arp[i]);
                    synth.add(pluck(note, 0.5 + 0.5 * ((i * 5 + b) % 7) / 6.0, 0.25), at, 0.32f,
                              (i % 4 - 1.5f) * 0.35f);
                }
            }
            if (sec.chords) {
                // Without the kick the chords are held pads on every track.
                const bool pads = t.pads || !sec.kick;
                std::vector<double> notes;
                for (int k = 0; k < (pads ? 4 : 3); ++k)
                    notes.push_back(t.key + 12 + chordnotes[k]);
                if (pads) {
                    synth.add(chord(notes, bar * 0.97 / kRate, 0.08, 1400.0), barat, 0.3f, -0.2f);
                } else {
                    const Buf stab = chord(notes, step * 1.2 / kRate, 0.003, t.chordcut);
                    for (int beat = 0; beat < 4; ++beat)
                        synth.add(stab, barat + (beat * 4 + 2) * step, 0.34f,
                                  beat % 2 ? 0.3f : -0.3f);
                }
            }
            if (sec.lead)
                for (const Note& n : t.lead)
                    if (n.step / 16 == b)
                        lead.add(leadnote(t.key + 24 + n.pitch, n.len * step * 0.9 / kRate),
                                 barat + (n.step % 16) * step, 0.3f, 0.1f);
        }
    }

    echo(synth, step * 3, 0.3f, 0.25f);
    echo(lead, step * 3, 0.35f, 0.3f);
    duck(bass, kickat, 0.5f);
    duck(synth, kickat, 0.6f);
    duck(lead, kickat, 0.3f);

    Bus mix(length);
    for (size_t i = 0; i < length; ++i) {
        mix.l[i] = drums.l[i] + bass.l[i] + synth.l[i] + lead.l[i];
        mix.r[i] = drums.r[i] + bass.r[i] + synth.r[i] + lead.r[i];
    }
    return mix;
}

// Section shorthand: K kick, S snare/clap, H hats, O open hats, B bass, A arp,
// C chords, L lead, F drum fill in the last bar, P the other progression,
// R a build into the next section.
Section sec(const char* parts) {
    Section s{};
    for (const char* p = parts; *p; ++p) switch (*p) {
            case 'K':
                s.kick = true;
                break;
            case 'S':
                s.snare = true;
                break;
            case 'H':
                s.hats = true;
                break;
            case 'O':
                s.openhats = true;
                break;
            case 'B':
                s.bass = true;
                break;
            case 'A':
                s.arp = true;
                break;
            case 'C':
                s.chords = true;
                break;
            case 'L':
                s.lead = true;
                break;
            case 'F':
                s.fill = true;
                break;
            case 'P':
                s.other = true;
                break;
            case 'R':
                s.build = true;
                break;
            default:
                break;
        }
    return s;
}

std::vector<TrackDef> tracks() {
    std::vector<TrackDef> v;
    // techno1: normal waves, first type. Driving D minor with a rolling acid bass.
    // Intro, groove, lead; the turn to Gm7-Bb-F-A; a breakdown of pads and arp
    // that builds; the full drop with the lead again.
    v.push_back({"techno1",
                 132.0,
                 38,
                 {{0, 3, 7, 10}, {0, 3, 7, 10}, {-2, 2, 5, 8}, {-4, 0, 3, 7}},
                 // Gm7, Bb, F, then A major pulling back home
                 {{5, 8, 12, 15}, {-4, 0, 3, 7}, {3, 7, 10, 15}, {7, 11, 14, 19}},
                 "x...x...x...x...",
                 "....x.......x...",
                 "x.x.x.x.x.x.x.xo",
                 "..0-!4.0..0.!4.3",
                 "0.2.4.2.1.3.5.3.",
                 {220.0, 9.0, 10.0, 3.2, 0.35},
                 1800.0,
                 false,
                 {{0, 2, 12},
                  {3, 1, 10},
                  {4, 2, 12},
                  {6, 2, 15},
                  {8, 6, 14},
                  {16, 2, 12},
                  {19, 1, 10},
                  {20, 2, 12},
                  {22, 2, 7},
                  {24, 6, 10},
                  {32, 2, 10},
                  {35, 1, 8},
                  {36, 2, 10},
                  {38, 2, 14},
                  {40, 6, 12},
                  {48, 2, 8},
                  {51, 1, 7},
                  {52, 4, 8},
                  {56, 8, 7}},
                 {sec("KHBA"), sec("KSHOBAF"), sec("KSHOBCAL"), sec("KSHOBCAP"), sec("HACPR"),
                  sec("KSHOBCALF")}});
    // techno2: bonus rounds. Bright F major, bouncy arp and claps.
    // Intro, groove, lead; Bbmaj7-C7-Am7-Dm7; a kickless breakdown that builds;
    // the drop.
    v.push_back(
        {"techno2",
         140.0,
         41,
         {{0, 4, 7, 11}, {-3, 0, 4, 7}, {-7, -3, 0, 4}, {-5, -1, 2, 5}},
         // Bbmaj7, C7, Am7, Dm7
         {{5, 9, 12, 16}, {7, 11, 14, 17}, {4, 7, 11, 14}, {-3, 0, 4, 7}},
         "x...x...x...x...",
         "....c.......c..c",
         ".xox.xox.xox.xox",
         "0.4.0.4.0.4.0.44",
         "0421472104214721",
         {500.0, 4.0, 18.0, 1.2, 0.5},
         2600.0,
         false,
         {{0, 2, 16},  {2, 2, 19},  {4, 2, 24},  {6, 2, 19},  {8, 4, 21},  {12, 4, 19}, {16, 2, 16},
          {18, 2, 14}, {20, 4, 12}, {24, 4, 14}, {28, 4, 16}, {32, 2, 12}, {34, 2, 16}, {36, 2, 19},
          {38, 2, 24}, {40, 4, 23}, {44, 4, 19}, {48, 4, 17}, {52, 4, 19}, {56, 8, 24}},
         {sec("KSHBA"), sec("KSHOBACF"), sec("KSHOBCAL"), sec("KSHOBCAP"), sec("SHACPR"),
          sec("KSHOBCALF")}});
    // techno3: the title. A minor, broad pads and a singing lead.
    // Intro, lead; Dm-Am-Bb-E; a breakdown of pads and hats that builds; the drop.
    v.push_back({"techno3",
                 124.0,
                 33,
                 {{0, 3, 7, 12}, {-4, 0, 3, 7}, {-9, -5, -2, 3}, {-2, 2, 5, 10}},
                 // Dm, Am, Bb, and E major: the darker turn of the harmonic minor
                 {{5, 8, 12, 17}, {0, 3, 7, 12}, {1, 5, 8, 13}, {7, 11, 14, 19}},
                 "x...x...x...x...",
                 "....x.......x...",
                 "..x...x...x...xo",
                 "0-.00-.00-.00-.4",
                 "0.1.2.3.4.3.2.1.",
                 {400.0, 3.0, 10.0, 1.0, 0.6},
                 2000.0,
                 true,
                 {{0, 4, 12},
                  {4, 2, 15},
                  {6, 2, 14},
                  {8, 8, 12},
                  {16, 4, 7},
                  {20, 2, 8},
                  {22, 2, 7},
                  {24, 8, 3},
                  {32, 4, 5},
                  {36, 2, 7},
                  {38, 2, 8},
                  {40, 4, 10},
                  {44, 4, 12},
                  {48, 6, 14},
                  {54, 2, 12},
                  {56, 8, 10}},
                 {sec("KHBCA"), sec("KSHOBCAL"), sec("KSHOBCAP"), sec("HCAPR"), sec("KSHOBCALF")}});
    // techno4: normal waves, second type. Dark E phrygian, pulsing sixteenth bass.
    // Drums and bass, groove, lead; Am-G-C-B; a kickless breakdown over the
    // pulsing bass that builds; the drop.
    v.push_back({"techno4",
                 138.0,
                 40,
                 {{0, 3, 7, 12}, {1, 5, 8, 13}, {0, 3, 7, 12}, {-2, 1, 5, 10}},
                 // Am, G, C, and B major leading back to E
                 {{5, 8, 12, 17}, {3, 7, 10, 15}, {8, 12, 15, 20}, {7, 11, 14, 19}},
                 "x...x...x...x..x",
                 "....x.......x...",
                 "xxoxxxoxxxoxxxox",
                 ".000.000.000.040",
                 "0..4..1..5..2.6.",
                 {280.0, 5.0, 22.0, 2.2, 0.45},
                 1500.0,
                 false,
                 {{0, 3, 12},
                  {3, 3, 13},
                  {6, 2, 12},
                  {8, 8, 7},
                  {16, 3, 12},
                  {19, 3, 13},
                  {22, 2, 15},
                  {24, 8, 13},
                  {32, 3, 12},
                  {35, 3, 13},
                  {38, 2, 12},
                  {40, 4, 7},
                  {44, 4, 5},
                  {48, 4, 3},
                  {52, 4, 1},
                  {56, 8, 0}},
                 {sec("KSHB"), sec("KSHOBAF"), sec("KSHOBCAL"), sec("KSHOBCAP"), sec("HBCAPR"),
                  sec("KSHOBCALF")}});
    return v;
}

// ---------------------------------------------------------------------------
// Effects
// ---------------------------------------------------------------------------

// Laser shot: a bright square zap falling fast.
Buf shot1() {
    Buf b(samples(0.2));
    Osc a, c;
    Rng rng(101);
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double fr = 160.0 + 2000.0 * std::exp(-t * 22.0);
        a.setfreq(fr);
        c.setfreq(fr * 1.51);
        const double s =
            0.6 * a.pulse(0.35) + 0.3 * c.saw() + rng.bi() * 0.3 * std::exp(-t * 200.0);
        f.run(s, 1800.0 + 3500.0 * std::exp(-t * 15.0), 1.0);
        b[i] = float(f.low * std::exp(-t * 13.0));
        a.step();
        c.step();
    }
    fadeends(b, 0.001, 0.02);
    return b;
}

// Hyperspace: the ship slips out of phase. A glassy chorused tone climbs two
// octaves in quick whole-tone steps, each step a fresh blip, then hangs on
// the top note trembling faster and fades: all shimmer and no noise, where
// the fly-away is all air.
Buf hypersp() {
    Buf b(samples(0.95));
    Osc a, c, sub, trem;
    Svf f;
    constexpr double kStep = 0.045;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const int step = std::min(int(t / kStep), 12);
        const double fr = midifreq(64.0 + 2.0 * step);
        a.setfreq(fr);
        c.setfreq(fr * 1.008);
        sub.setfreq(fr * 0.5 * 0.997);
        trem.setfreq(9.0 + 14.0 * t);
        f.run(sub.pulse(0.5), 2500.0, 0.8);
        const double since = t - std::min(step, 12) * kStep;
        const double blip = step < 12 ? 0.65 + 0.35 * std::exp(-since * 60.0) : 1.0;
        const double env = std::min(1.0, t / 0.005) * (t < 0.6 ? 1.0 : std::exp(-(t - 0.6) * 9.0));
        const double depth = std::min(1.0, t / 0.6) * 0.4;
        const double s = 0.5 * a.sine() + 0.4 * c.sine() + 0.25 * f.low;
        b[i] = float(s * blip * env * (1.0 - depth + depth * trem.sine()));
        a.step();
        c.step();
        sub.step();
        trem.step();
    }
    fadeends(b, 0.002, 0.05);
    return b;
}

// A short square-and-saw note for the jingles.
Buf chime(double note, double seconds, double decay) {
    Buf b(samples(seconds));
    Osc a, c;
    a.setfreq(midifreq(note));
    c.setfreq(midifreq(note) * 2.003);
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        f.run(0.6 * a.pulse(0.5) + 0.3 * c.saw(), 1200.0 + 2800.0 * std::exp(-t * 10.0), 1.0);
        b[i] = float(f.low * std::exp(-t * decay));
        a.step();
        c.step();
    }
    fadeends(b, 0.002, 0.02);
    return b;
}

// Brass-like swell for the fanfare: saws with the filter opening.
Buf brass(double note, double seconds) {
    Buf b(samples(seconds));
    Osc a, c;
    a.setfreq(midifreq(note) * 1.003);
    c.setfreq(midifreq(note) * 0.997);
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double open = std::min(1.0, t / 0.06);
        f.run(0.5 * (a.saw() + c.saw()), 600.0 + 3400.0 * open, 0.9);
        b[i] = float(f.low * std::min(1.0, t / 0.01));
        a.step();
        c.step();
    }
    fadeends(b, 0.002, seconds * 0.4);
    return b;
}

// Game start: a quick rising arpeggio landing on a held octave.
Buf gstart() {
    Buf b;
    const int notes[] = {72, 76, 79, 84, 88, 91};
    for (int k = 0; k < 6; ++k) mixin(b, chime(notes[k], 0.2, 14.0), samples(0.055 * k), 0.5f);
    mixin(b, chime(84, 0.6, 4.0), samples(0.33), 0.5f);
    mixin(b, chime(91, 0.6, 4.0), samples(0.33), 0.35f);
    fadeends(b, 0.001, 0.05);
    return b;
}

// Wave end: a triplet pickup into a held major chord.
Buf endwave() {
    Buf b;
    const double tri = 0.09;
    mixin(b, brass(67, 0.1), 0, 0.45f);
    mixin(b, brass(72, 0.1), samples(tri), 0.45f);
    mixin(b, brass(76, 0.1), samples(2 * tri), 0.45f);
    mixin(b, brass(79, 0.22), samples(3 * tri), 0.5f);
    mixin(b, brass(76, 0.12), samples(5.5 * tri), 0.45f);
    const double at = 7 * tri;
    for (int n : {72, 76, 79, 84}) mixin(b, brass(n, 1.0), samples(at), 0.3f);
    mixin(b, brass(60, 1.0), samples(at), 0.3f);
    fadeends(b, 0.001, 0.3);
    return b;
}

// Bee hit: a thump under a crunchy, sample-held noise burst.
Buf bhit() {
    Buf b(samples(0.3));
    Osc o;
    Rng rng(303);
    Svf f;
    double held = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        o.setfreq(55.0 + 260.0 * std::exp(-t * 30.0));
        if (i % 5 == 0) held = rng.bi();
        f.run(held, 1800.0 + 3000.0 * std::exp(-t * 20.0), 1.3);
        const double s = 0.9 * o.sine() * std::exp(-t * 14.0) + 0.7 * f.low * std::exp(-t * 18.0);
        b[i] = float(std::tanh(1.5 * s));
        o.step();
    }
    fadeends(b, 0.0005, 0.03);
    return b;
}

// Swarm bee hit: a dry, crunchy pop: a burst of coarse noise in a low band
// over a short knock, with no pitch to follow, where the laser is a falling zap.
Buf bhit1() {
    Buf b(samples(0.12));
    Osc knock;
    knock.setfreq(150.0);
    Rng rng(404);
    Svf f;
    double held = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        if (i % 4 == 0) held = rng.bi();
        f.run(held, 1400.0 - 600.0 * std::min(1.0, t / 0.08), 0.7);
        const double s =
            1.4 * f.band * std::exp(-t * 40.0) + 0.5 * knock.sine() * std::exp(-t * 70.0);
        b[i] = float(std::tanh(1.5 * s));
        knock.step();
    }
    fadeends(b, 0.0005, 0.02);
    return b;
}

// Swarm merge: four voices glide together into one and land with a whump.
Buf lswarm() {
    Buf b(samples(0.85));
    const double from[] = {330.0, 470.0, 610.0, 820.0};
    Osc o[4], low;
    Svf f;
    const double meet = 0.42;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double x = std::min(t / meet, 1.0);
        double s = 0.0;
        for (int k = 0; k < 4; ++k) {
            o[k].setfreq(from[k] + (220.0 - from[k]) * x * x);
            s += o[k].saw() * 0.25;
            o[k].step();
        }
        f.run(s, 3000.0, 1.0);
        double env =
            std::min(1.0, t / 0.03) * (t < meet ? 0.6 + 0.4 * x : std::exp(-(t - meet) * 7.0));
        double out = f.low * env;
        if (t >= meet) {
            const double u = t - meet;
            low.setfreq(45.0 + 120.0 * std::exp(-u * 25.0));
            out += 0.9 * low.sine() * std::exp(-u * 9.0);
            low.step();
        }
        b[i] = float(out);
    }
    fadeends(b, 0.001, 0.05);
    return b;
}

// A frequency-modulated bell.
Buf bell(double freq, double seconds, double decay) {
    Buf b(samples(seconds));
    Osc car, mod;
    car.setfreq(freq);
    mod.setfreq(freq * 3.5);
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double index = 1.6 * std::exp(-t * 8.0);
        const double ph = car.ph + index * mod.sine() / kTwoPi;
        b[i] = float(std::sin(kTwoPi * ph) * std::exp(-t * decay));
        car.step();
        mod.step();
    }
    fadeends(b, 0.001, 0.03);
    return b;
}

// Bonus bee appears: a bright two-note chime with a sparkle.
Buf sswarm() {
    Buf b;
    mixin(b, bell(midifreq(76), 0.45, 7.0), 0, 0.5f);
    mixin(b, bell(midifreq(83), 0.5, 6.0), samples(0.08), 0.5f);
    mixin(b, bell(midifreq(88), 0.4, 9.0), samples(0.16), 0.3f);
    soften(b, 3000.0);
    fadeends(b, 0.001, 0.05);
    return b;
}

// Bonus bee hit: a springy upward boing.
Buf sbhit() {
    Buf b(samples(0.28));
    Osc o, wob;
    wob.setfreq(28.0);
    Svf f;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        o.setfreq((300.0 + 700.0 * (1.0 - std::exp(-t * 12.0))) * (1.0 + 0.05 * wob.sine()));
        f.run(o.pulse(0.4), 3500.0, 1.5);
        b[i] = float(f.low * std::exp(-t * 9.0));
        o.step();
        wob.step();
    }
    fadeends(b, 0.001, 0.03);
    return b;
}

// Noise explosion: a low-pass closing over a thump; used by the burst and the ship.
Buf explosion(double seconds, double decay, double startcut, double endcut, double thump,
              uint32_t seed) {
    Buf b(samples(seconds));
    Rng rng(seed);
    Svf f, f2;
    Osc low;
    double held = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double x = t / seconds;
        if (i % 3 == 0) held = rng.bi();
        const double cut = startcut * std::pow(endcut / startcut, x);
        f.run(held, cut, 0.9);
        f2.run(f.low, cut * 0.7, 0.7);
        low.setfreq(38.0 + 90.0 * std::exp(-t * 12.0));
        const double s = f2.low * 1.6 + thump * low.sine() * std::exp(-t * 6.0);
        b[i] = float(std::tanh(1.3 * s) * std::exp(-t * decay) * std::min(1.0, t / 0.002));
        low.step();
    }
    fadeends(b, 0.001, seconds * 0.3);
    return b;
}

Buf sbdie() {
    return explosion(0.65, 5.0, 4000.0, 250.0, 0.7, 505);
}

// Ship destroyed: a long explosion, crackles and a falling tone.
Buf shipdie() {
    Buf b = explosion(2.0, 1.8, 3500.0, 120.0, 1.0, 606);
    Rng rng(607);
    Osc o;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        o.setfreq(420.0 * std::pow(0.08, std::min(t / 1.6, 1.0)));
        b[i] += float(0.3 * o.saw() * std::exp(-t * 1.5));
        if (rng.uni() < 0.002 * std::exp(-t * 1.2)) {
            // a crackle: a few milliseconds of rough noise
            double c = 0.0;
            for (int k = 0; k < 40 && i + k < b.size(); ++k) {
                c += 0.45 * (rng.bi() - c);
                b[i + k] += float(c * 0.7 * (1.0 - k / 40.0));
            }
        }
        o.step();
    }
    fadeends(b, 0.001, 0.5);
    return b;
}

// Fly-away: the ship leaves the top of the screen: a broad whoosh of air that
// rises and swells past, over a faint climbing engine hum.
Buf flyaway() {
    Buf b(samples(1.3));
    Rng rng(707);
    Svf f;
    Osc o;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double x = t / 1.3;
        const double fr = 150.0 * std::pow(10.0, x);
        f.run(rng.bi(), fr * 2.0, 1.5);
        o.setfreq(fr);
        const double env = std::sin(kPi * std::pow(x, 0.6));
        b[i] = float((0.9 * f.band + 0.12 * o.sine()) * env);
        o.step();
    }
    fadeends(b, 0.002, 0.05);
    return b;
}

// Swarm warp-in: a falling, ring-modulated warble that grows wilder.
Buf beewarp() {
    Buf b(samples(0.9));
    Osc o, vib, ring;
    vib.setfreq(26.0);
    ring.setfreq(73.0);
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double x = t / 0.9;
        o.setfreq(1500.0 * std::pow(0.2, x) * (1.0 + 0.15 * x * vib.sine()));
        const double s = o.sine() * (0.6 + 0.4 * ring.sine()) + 0.25 * o.pulse(0.5) * x;
        b[i] = float(s * std::min(1.0, t / 0.03) * (1.0 - 0.6 * x));
        o.step();
        vib.step();
        ring.step();
    }
    fadeends(b, 0.002, 0.1);
    return b;
}

// New best score: two quick rising arpeggios of bells.
Buf hscore() {
    Buf b;
    const int notes[] = {84, 88, 91, 96};
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 4; ++k)
            mixin(b, bell(midifreq(notes[k] - 12 + 5 * r), 0.35, 8.0), samples(0.06 * (r * 4 + k)),
                  0.4f);
    mixin(b, chime(89, 0.6, 5.0), samples(0.48), 0.25f);
    mixin(b, bell(midifreq(89), 0.6, 4.0), samples(0.48), 0.4f);
    soften(b, 3000.0);
    fadeends(b, 0.001, 0.08);
    return b;
}

// ---------------------------------------------------------------------------
// Levels and output
// ---------------------------------------------------------------------------

// The set's levels, at the game's default volumes (music 1.0, effects 0.5):
// every track's RMS is kMusicRms; every effect's loudest 50 ms is kEffectRms,
// so at half volume it stands 7.5 dB over the music; no sample of any file
// goes past kPeak.
constexpr double kMusicRms = 0.0750;   // -22.5 dBFS
constexpr double kEffectRms = 0.3548;  // -9 dBFS
constexpr double kPeak = 0.8872;       // -1.04 dBFS, -1 dBFS after rounding to 16 bits

double peakof(const std::vector<float>& s) {
    double peak = 0.0;
    for (float x : s) peak = std::max(peak, double(std::fabs(x)));
    return peak;
}

double rmsof(const std::vector<float>& s, int) {
    double sum = 0.0;
    for (float x : s) sum += double(x) * x;
    return s.empty() ? 0.0 : std::sqrt(sum / double(s.size()));
}

// The RMS of the loudest 50 ms.
double loudestrms(const std::vector<float>& s, int channels) {
    const size_t window = std::min(size_t(samples(0.05)) * size_t(channels), s.size());
    double loudest = 0.0, sum = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        sum += double(s[i]) * s[i];
        if (i >= window) sum -= double(s[i - window]) * s[i - window];
        loudest = std::max(loudest, sum);
    }
    return window ? std::sqrt(loudest / double(window)) : 0.0;
}

// Brings the peaks down to kPeak with the game's own master limiter (scaled
// to that ceiling, its delay taken out), so a dense sound keeps its body.
void limitpeaks(std::vector<float>& s, int channels) {
    vx::Limiter limiter(kRate);
    const size_t frames = s.size() / size_t(channels);
    const size_t delay = size_t(limiter.latency());
    const float k = vx::Limiter::kCeiling / float(kPeak);
    std::vector<float> st(2 * (frames + delay), 0.0f);
    for (size_t i = 0; i < frames; ++i) {
        st[2 * i] = s[i * channels] * k;
        st[2 * i + 1] = s[i * channels + channels - 1] * k;
    }
    limiter.process(st.data(), int(frames + delay));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) s[i * channels + c] = st[2 * (i + delay) + c] / k;
}

// Scales a sound until `measure` gives target, limiting its peaks on the way.
void level(std::vector<float>& s, int channels, double (*measure)(const std::vector<float>&, int),
           double target) {
    for (int pass = 0; pass < 8; ++pass) {
        const double now = measure(s, channels);
        if (now <= 0.0 || std::fabs(20.0 * std::log10(now / target)) < 0.02) break;
        const double gain = target / now;
        for (float& x : s) x = float(x * gain);
        if (peakof(s) > kPeak) limitpeaks(s, channels);
    }
    // Whatever the passes left, the peak holds.
    if (const double peak = peakof(s); peak > kPeak)
        for (float& x : s) x = float(x * kPeak / peak);
}

// Gentle saturation, so the louder drum hits do not set the whole level.
void saturate(std::vector<float>& s, double drive) {
    const double peak = peakof(s);
    if (peak <= 0.0) return;
    for (float& x : s) x = float(std::tanh(drive * x / peak));
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void puttag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

bool writewav(const std::string& path, int channels, const std::vector<float>& s) {
    const uint32_t databytes = uint32_t(s.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + databytes);
    puttag(out, "RIFF");
    put32(out, 36 + databytes);
    puttag(out, "WAVE");
    puttag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);
    put16(out, uint32_t(channels));
    put32(out, kRate);
    put32(out, uint32_t(kRate * channels * 2));
    put16(out, uint32_t(channels * 2));
    put16(out, 16);
    puttag(out, "data");
    put32(out, databytes);
    for (float x : s) {
        const long v = std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f);
        put16(out, uint32_t(uint16_t(int16_t(v))));
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vexaloid-sndgen <output folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    auto save = [&](const char* name, int channels, std::vector<float> s) {
        const std::string path = dir + "/" + name + ".wav";
        if (!writewav(path, channels, s)) {
            std::fprintf(stderr, "vexaloid-sndgen: cannot write %s\n", path.c_str());
            ok = false;
        }
    };

    struct Effect {
        const char* name;
        Buf (*make)();
    };
    const Effect effects[] = {{"shot1", shot1},     {"hypersp", hypersp}, {"gstart", gstart},
                              {"endwave", endwave}, {"bhit", bhit},       {"bhit1", bhit1},
                              {"lswarm", lswarm},   {"sswarm", sswarm},   {"sbhit", sbhit},
                              {"sbdie", sbdie},     {"shipdie", shipdie}, {"flyaway", flyaway},
                              {"beewarp", beewarp}, {"hscore", hscore}};
    for (const Effect& e : effects) {
        Buf b = e.make();
        level(b, 1, loudestrms, kEffectRms);
        save(e.name, 1, std::move(b));
    }

    for (const TrackDef& t : tracks()) {
        const Bus bus = rendertrack(t);
        std::vector<float> s(bus.size() * 2);
        for (size_t i = 0; i < bus.size(); ++i) {
            s[2 * i] = bus.l[i];
            s[2 * i + 1] = bus.r[i];
        }
        saturate(s, 1.6);
        level(s, 2, rmsof, kMusicRms);
        save(t.name, 2, std::move(s));
    }
    return ok ? 0 : 1;
}
