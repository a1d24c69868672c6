// A bee: a swarm bee, an attack bee or a bonus bee, told apart by btype.
#pragma once

namespace vx {

struct Game;

// The bee kinds, the values of starbee_tag::btype.
constexpr int kAttackBee = 0;
constexpr int kBonusBee = 1;
constexpr int kSwarmBee = 2;

struct starbee_tag {
    float x = 0.0f;
    float y = 0.0f;
    float rotation = 0.0f;
    float scale = 0.0f;
    float alpha = 0.0f;
    float ystp = 0.0f;
    int btype = 0;
    int frame = 0;
    int spawntravel = 0;
    int speed = 0;
    int spawnid = 0;
    int shotctr = 0;
    int valueid = 0;
    int spinning = 0;

    static int Create(Game& g, int btype, float x, float y, float scale, int spawnid, int valueid);
    void update(Game& g);

    template <class V>
    void visit(V&& v) const {
        v("x", x), v("y", y), v("rotation", rotation), v("scale", scale), v("alpha", alpha);
        v("ystp", ystp), v("btype", btype), v("frame", frame), v("spawntravel", spawntravel);
        v("speed", speed), v("spawnid", spawnid), v("shotctr", shotctr), v("valueid", valueid);
        v("spinning", spinning);
    }
};

}  // namespace vx
