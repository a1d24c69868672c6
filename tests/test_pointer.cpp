// The game's own pointer of the relative-motion platforms (the browser's
// Pointer Lock): motion scaled to picture pixels with fractions kept, the
// picture's edges with no dead zone, and the game's own moves.
#include <gtest/gtest.h>

#include "platform/pointer.h"

namespace {

TEST(GamePointer, StartsAtTheCentre) {
    vx::GamePointer p;
    EXPECT_EQ(p.x(), 320);
    EXPECT_EQ(p.y(), 240);
}

TEST(GamePointer, KeepsFractionsOfScaledMotion) {
    // At three display pixels to a picture pixel, three moves of one display
    // pixel make one picture pixel.
    vx::GamePointer p;
    for (int i = 0; i < 3; ++i) p.moveby(1, -1, 1.0 / 3.0);
    EXPECT_EQ(p.x(), 321);
    EXPECT_EQ(p.y(), 239);
}

TEST(GamePointer, StopsAtTheEdgesWithNoDeadZone) {
    struct Case {
        double dx, dy;
        int x, y;
    };
    const Case table[] = {
        {-5000, 0, 0, 240}, {5000, 0, 639, 240}, {0, -5000, 320, 0}, {0, 5000, 320, 479}};
    for (const Case& c : table) {
        vx::GamePointer p;
        p.moveby(c.dx, c.dy, 1.0);
        EXPECT_EQ(p.x(), c.x);
        EXPECT_EQ(p.y(), c.y);
        // Far past the edge, one step back inward takes effect at once.
        p.moveby(c.dx > 0 ? -1 : c.dx < 0 ? 1 : 0, c.dy > 0 ? -1 : c.dy < 0 ? 1 : 0, 1.0);
        EXPECT_EQ(p.x(), c.x + (c.dx > 0 ? -1 : c.dx < 0 ? 1 : 0));
        EXPECT_EQ(p.y(), c.y + (c.dy > 0 ? -1 : c.dy < 0 ? 1 : 0));
    }
}

TEST(GamePointer, GoesWhereTheGameMovesIt) {
    vx::GamePointer p;
    p.moveby(0.75, 0.75, 1.0);
    p.moveto(400, 460);  // the ship's box, say
    EXPECT_EQ(p.x(), 400);
    EXPECT_EQ(p.y(), 460);
    // Motion goes on from there, the old fraction gone.
    p.moveby(0.5, 0.5, 1.0);
    EXPECT_EQ(p.x(), 400);
    p.moveby(0.5, 0.5, 1.0);
    EXPECT_EQ(p.x(), 401);
    p.moveto(-10, 9999);
    EXPECT_EQ(p.x(), 0);
    EXPECT_EQ(p.y(), 479);
}

}  // namespace
