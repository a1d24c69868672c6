// Speed of the game's hot paths: one frame of logic in a crowded scene, the
// pixel-accurate overlap test, one frame of the CPU renderer, and the whole
// simulator under the autopilot.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "player/scores.h"
#include "shell/game.h"
#include "shell/shell.h"
#include "sim.h"

namespace vx {
namespace {

// The list members of a scene, kept aside so every benchmark iteration starts
// from the same state.
template <class T>
std::vector<T> keep(const EntityList<T>& list) {
    std::vector<T> out;
    list.each([&](const T& e) { out.push_back(e); });
    return out;
}

template <class T>
void putback(EntityList<T>& list, const std::vector<T>& members) {
    list.clear();
    for (const T& e : members) list.add() = e;
}

// A crowded moment of play: 40 bees of every kind, 30 rising shots with their
// tracers, 20 bee shots, 20 bursts, 400 particles and the 300 stars.
class StressScene {
  public:
    StressScene() {
        cutimages(g.img, sheetpicture());
        g.player = player_tag{};
        g.player.wave = 1;
        g.player.reset(g);
        g.rng.seed(5);
        g.titlescr = 0;
        g.control = 1;
        g.wavetype = 0;
        g.wavesize = 100;
        g.spawndelay = 1000;  // no new swarm during the measured frames
        starfield_tag::Create(g);
        // Swarm bees (eight a ring), attack bees of every value, bonus bees.
        for (int s = 0; s < 2; ++s) starbee_tag::Create(g, 2, 0, 0, 0, s + 1, 0);
        for (int i = 0; static_cast<int>(g.beelist.size()) < 34; ++i)
            starbee_tag::Create(g, 0, 120.0f + 45.0f * (i % 9), 60.0f + 25.0f * (i / 9), 1.0f, 0,
                                i % 8);
        while (g.beelist.size() < 40) starbee_tag::Create(g, 1, 0, 0, 0, 0, 0);
        // Shots rising in a band below the bees, each trailed by fading tracers.
        for (int i = 0; i < 30; ++i) {
            int x = 100 + 15 * i, y = 200 + 5 * (i % 7);
            lazershot_tag::Create(g, 0, x, y);
            for (int t = 1; t <= 9; ++t) lazershot_tag::Create(g, 1, x, y + 8 * t);
        }
        float a = 1.0f;
        g.shotlist.walk([&](lazershot_tag& s) {
            if (s.tracer)
                s.alpha = a -= 0.1f;
            else
                a = 1.0f;
        });
        for (int i = 0; i < 20; ++i) beeshot_tag::Create(g, 110.0f + 20.0f * i, 40.0f + 4.0f * i);
        for (int i = 0; i < 20; ++i)
            beesplat_tag::Create(g, 100.0f + 22.0f * i, 150.0f + 3.0f * i, 0.5f);
        for (int i = 0; i < 10; ++i)
            particle_tag::Create(g, 120.0f + 40.0f * i, 180.0f, i % 2, 0.4f, 40);
        g.gfx.clearops();
        saved.rng = g.rng;
        saved.player = g.player;
        eachlist(g, [this](auto& list) {
            saved.lists.push_back([&list, members = keep(list)] { putback(list, members); });
        });
    }

    // Back to the state the scene was built in.
    void restore() {
        g.rng = saved.rng;
        g.player = saved.player;
        g.killctr = g.escapectr = g.madectr = g.spawnctr = g.spawntmr = 0;
        g.control = 1;
        g.gameover = 0;
        for (const auto& putlistback : saved.lists) putlistback();
        g.gfx.clearops();
    }

    // One frame of play as the main loop runs it, up to the present: the
    // drawing operations are recorded, not rendered.
    void frame() { framesteps(g); }

    HeadlessPlatform pf;
    Game g{pf};

  private:
    struct Saved {
        Rng rng;
        player_tag player;
        std::vector<std::function<void()>> lists;  // each puts one list's members back
    } saved;
};

void BM_StressFrameLogic(benchmark::State& state) {
    StressScene scene;
    size_t ops = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene.restore();
        state.ResumeTiming();
        scene.frame();
        ops = scene.g.gfx.ops().size();
        benchmark::DoNotOptimize(ops);
    }
    state.counters["bees"] = static_cast<double>(scene.g.beelist.size());
    state.counters["draw_ops"] = static_cast<double>(ops);
    // The share of a 60 Hz frame (16.7 ms) that the logic takes, in percent.
    state.counters["frame_budget_pct"] = benchmark::Counter(
        1.0 / 6000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StressFrameLogic)->Unit(benchmark::kMicrosecond);

// A bee turned 30 degrees and grown by half, against a laser shot.
struct OverlapCase {
    Placement bee, shot;
};

OverlapCase overlapcase(const Images& img, bool hit) {
    const Placement bee(img.beeimg, 1, 300.0f, 200.0f, 1.5f, 1.5f, 30.0f);
    if (hit) return {bee, Placement(img.shotimg, 0, 300.0f, 200.0f, 1.0f, 1.0f, 0.0f)};
    // A miss that costs the most: the shot's box inside the bee's, over clear pixels.
    OverlapCase worst{bee, {}};
    int best = -1;
    for (int y = bee.y0; y < bee.y1; ++y)
        for (int x = bee.x0; x < bee.x1; ++x) {
            const Placement shot(img.shotimg, 0, static_cast<float>(x), static_cast<float>(y), 1.0f,
                                 1.0f, 0.0f);
            if (imagesoverlap(bee, shot)) continue;
            int area = (std::min(bee.x1, shot.x1) - std::max(bee.x0, shot.x0)) *
                       (std::min(bee.y1, shot.y1) - std::max(bee.y0, shot.y0));
            if (area > best) best = area, worst.shot = shot;
        }
    return worst;
}

void BM_OverlapRotatedBee(benchmark::State& state) {
    static const Images img = [] {
        Images i;
        cutimages(i, sheetpicture());
        return i;
    }();
    const bool hit = state.range(0) != 0;
    const OverlapCase c = overlapcase(img, hit);
    if (imagesoverlap(c.bee, c.shot) != hit) {
        state.SkipWithError("the case does not give the expected result");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(imagesoverlap(c.bee, c.shot));
    state.SetLabel(hit ? "hit" : "miss");
}
BENCHMARK(BM_OverlapRotatedBee)->Arg(1)->Arg(0)->Unit(benchmark::kNanosecond);

void BM_CpuRendererStressFrame(benchmark::State& state) {
    StressScene scene;
    scene.frame();
    CpuRenderer cpu;
    for (auto _ : state) {
        cpu.render(scene.g.gfx);
        benchmark::DoNotOptimize(cpu.pixels().data());
    }
    state.counters["draw_ops"] = static_cast<double>(scene.g.gfx.ops().size());
}
BENCHMARK(BM_CpuRendererStressFrame)->Unit(benchmark::kMicrosecond);

// The simulator playing by itself: start-up, splash, title and games, no trace.
void BM_SimulatorAutopilot(benchmark::State& state) {
    const long long frames = state.range(0);
    for (auto _ : state) {
        sim::Options opt;
        opt.dir = VEXALOID_BINARY_DIR;
        opt.seed = 5;
        opt.frames = frames;
        opt.autopilot = true;
        std::string error;
        if (sim::run(opt, error) != 0) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.counters["frames_per_second"] = benchmark::Counter(
        static_cast<double>(frames), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SimulatorAutopilot)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vx

BENCHMARK_MAIN();
