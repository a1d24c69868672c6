// A score value shown where a bee died, fading in place.
#pragma once

namespace vx {

struct Game;

struct points_tag {
    float x = 0.0f;
    float y = 0.0f;
    float alpha = 0.0f;
    int frame = 0;

    static void Create(Game& g, float x, float y, int frame);
    void update(Game& g);

    template <class V>
    void visit(V&& v) const {
        v("x", x), v("y", y), v("alpha", alpha), v("frame", frame);
    }
};

}  // namespace vx
