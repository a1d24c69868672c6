// A spark fired by an attack bee, falling and drifting toward the ship's column.
#pragma once

namespace vx {

struct Game;

struct beeshot_tag {
    float x = 0.0f;
    float y = 0.0f;
    float rotation = 0.0f;
    float xstp = 0.0f;

    static void Create(Game& g, float x, float y);
    void update(Game& g);

    template <class V>
    void visit(V&& v) const {
        v("x", x), v("y", y), v("rotation", rotation), v("xstp", xstp);
    }
};

}  // namespace vx
