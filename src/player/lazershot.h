// A laser shot rising from the ship, or one of the fading tracers it leaves.
#pragma once

namespace vx {

struct Game;

struct lazershot_tag {
    int x = 0;
    int y = 0;
    int tracer = 0;
    float alpha = 0.0f;

    static void Create(Game& g, int tracer, int x, int y);
    void update(Game& g);

    template <class V>
    void visit(V&& v) const {
        v("x", x), v("y", y), v("tracer", tracer), v("alpha", alpha);
    }
};

}  // namespace vx
