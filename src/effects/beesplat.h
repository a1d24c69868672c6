// The burst where a bee died or the ship was destroyed.
#pragma once

namespace vx {

struct Game;

struct beesplat_tag {
    float x = 0.0f;
    float y = 0.0f;
    float alpha = 0.0f;
    float rotation = 0.0f;
    float scale = 0.0f;
    int frame = 0;
    int frametmr = 0;

    static void Create(Game& g, float x, float y, float scale);
    void update(Game& g);

    template <class V>
    void visit(V&& v) const {
        v("x", x), v("y", y), v("alpha", alpha), v("rotation", rotation), v("scale", scale);
        v("frame", frame), v("frametmr", frametmr);
    }
};

}  // namespace vx
