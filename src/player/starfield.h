// A star of the background: a small pattern of pixels drifting down at one of
// three speeds, recycled above the top when it leaves the bottom.
#pragma once

namespace vx {

struct Game;

struct starfield_tag {
    int x = 0;
    int y = 0;
    int size = 0;

    static void Create(Game& g);  // all 300 stars
    void update(Game& g);

    template <class V>
    void visit(V&& v) const {
        v("x", x), v("y", y), v("size", size);
    }
};

}  // namespace vx
