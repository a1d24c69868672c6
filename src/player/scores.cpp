#include "player/scores.h"

#include <string>

#include "shell/game.h"

namespace vx {

namespace {
constexpr int kDigitStep = 17;  // 16-pixel digits with a one-pixel gap
constexpr int kDigitRow = 22;

// At least two digits: 0 shows as 00, 7 as 07.
std::string numbertext(int v) {
    std::string s = std::to_string(v < 0 ? -static_cast<long long>(v) : v);
    if (s.size() < 2) s.insert(s.begin(), '0');
    return s;
}

void drawnumber(Game& g, const std::string& text, int x) {
    for (char c : text) {
        g.gfx.drawimage(g.img.digitimg, static_cast<float>(x), static_cast<float>(kDigitRow),
                        c - '0');
        x += kDigitStep;
    }
}
}  // namespace

void drawscores(Game& g) {
    player_tag& p = g.player;
    // Colour and alpha are left neutral by the frame's earlier steps.
    g.gfx.setblend(kBlendMask);
    g.gfx.drawimage(g.img.labelimg, kPlayLeft, 0, 0);
    g.gfx.drawimage(g.img.labelimg, 278, 0, 1);
    g.gfx.drawimage(g.img.labelimg, 478, 0, 2);

    drawnumber(g, numbertext(p.score), kPlayLeft);

    // The record sound plays once per game; the best score follows the score
    // upwards from then on.
    if (p.score > p.hscore && p.newhs == 0) {
        p.newhs = 1;
        playsfx(g, hscoresnd);
    }
    if (p.score > p.hscore) p.hscore = p.score;

    // Best and wave are placed as if digits were 16 pixels wide.
    std::string best = numbertext(p.hscore);
    drawnumber(g, best, 320 - 8 * static_cast<int>(best.size()));
    std::string wave = numbertext(p.wave);
    drawnumber(g, wave, kPlayRight - 16 * static_cast<int>(wave.size()));
}

}  // namespace vx
