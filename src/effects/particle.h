// A spinning fragment thrown up by a burst, falling off the bottom.
#pragma once

namespace vx {

struct Game;

struct particle_tag {
    float x = 0.0f;
    float y = 0.0f;
    float xstp = 0.0f;
    float ystp = 0.0f;
    float alpha = 0.0f;
    float scale = 0.0f;
    float rotation = 0.0f;
    int frame = 0;

    static void Create(Game& g, float x, float y, int frame, float maxscale, int count);
    void update(Game& g);

    template <class V>
    void visit(V&& v) const {
        v("x", x), v("y", y), v("xstp", xstp), v("ystp", ystp), v("alpha", alpha);
        v("scale", scale), v("rotation", rotation), v("frame", frame);
    }
};

}  // namespace vx
