// How things move in the pearl game: the head the child steers along the
// paths, the string of caught pearls trailing behind it, the pearls that
// jiggle in the nest, leave it and wander, and the touch that catches them.
// Plain state and rules, no drawing: the level forms drive them by timers.
#pragma once

#include "gfx/Geometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace games::pearl {

// Directions as the game numbers them; 0 is "none yet".
enum Dir : std::int16_t { None = 0, Left = 1, Up = 2, Right = 3, Down = 4 };

std::int16_t oppositeDirection(std::int16_t d);

struct PathPoint {
    std::int16_t x = 0, y = 0;
    // Left, up, right, down.
    std::array<bool, 4> exits{};
    bool open(std::int16_t d) const { return d >= Left && d <= Down && exits[std::size_t(d - 1)]; }
};

// A path file: one point per line, x in characters 4-6, y in 8-10, the exits
// left, up, right, down as the digits 12-15 (1 = open). Blank lines are
// left out, so they cannot put a point without exits at (0, 0); that, an
// unreadable file and a file without the nest's two exits each give one line
// on standard error.
std::vector<PathPoint> readPathPoints(const std::string& path);

// A random number in [0, 1), drawn after a reseed.
using Rnd = std::function<double()>;

// The way a free pearl goes on from a point: any open way chosen at random,
// except straight back while it could go on straight ahead. Where no way is
// open at all (a fault of the path file) it turns back along the line it
// came by, so the draw always ends.
std::int16_t pickPearlDirection(std::int16_t current, const std::array<bool, 4>& exits,
                                const Rnd& rnd);

enum PearlState : std::int16_t { InNest = -1, Caught = -2, Free = -3 };

struct Pearl {
    int x = 0, y = 0;
    std::int16_t dir = None;
    std::int16_t state = InNest;
    std::int16_t out = 0;
    std::int16_t blink = 0;
};

// What a pearl tick ended with.
enum class TickEnd { Running, Won, Lost };

class Board {
  public:
    static constexpr int stepSize = 5;
    static constexpr int snapDistance = 4 * stepSize;
    static constexpr int spacing = 30;
    static constexpr int releaseDistance = 20;
    static constexpr int touchDistance = 25;
    static constexpr int blockDistance = 30;
    static constexpr gfx::Point headStart{620, 460};

    std::vector<PathPoint> pathPoints;
    gfx::Rect nestRect{210, 80, 60, 145};
    int jitterStep = 8;

    int headX = headStart.x, headY = headStart.y;
    std::int16_t headDir = Left, headFrame = 1;
    std::array<bool, 4> keyHeld{}; // left, up, right, down

    std::array<Pearl, 15> pearls{}; // 1..14
    std::int16_t nextPearl = 1;
    std::int16_t pearlsOut = 0;
    bool exitBusy = false;

    Pearl& pearl(int i) { return pearls[std::size_t(i)]; }
    const Pearl& pearl(int i) const { return pearls[std::size_t(i)]; }
    bool held(std::int16_t d) const {
        return d >= Left && d <= Down && keyHeld[std::size_t(d - 1)];
    }
    // How many of points 1 and 2, the nest's exits, the path file has.
    int nestExits() const { return int(std::min<std::size_t>(pathPoints.size(), 2)); }

    // A new game: the head at its start facing left, every pearl in the nest
    // at a random place, nothing caught.
    void startRound(const Rnd& rnd);

    // Arrow keys (d = 1 left .. 4 down).
    void arrowDown(std::int16_t d);
    void arrowUp(std::int16_t d);

    // One head step, then the string follows.
    void headStep();
    void updateString();

    // One tick of every pearl: the nest, the releases, the free pearls and
    // the touch test. `caught` hears of each pearl caught before the last.
    TickEnd pearlTick(const Rnd& rnd, const std::function<void(int)>& caught);

    // Puts caught pearl n behind its leader in the string.
    void attachPearl(int n);

  private:
    struct Mover {
        int x, y;
        std::int16_t dir;
    };
    const PathPoint* nearPoint() const;
    const PathPoint* pointAt(int x, int y) const;
    const PathPoint* pointBehind(const Mover& l) const;
    void jiggle(Pearl& p, const Rnd& rnd) const;
    bool released(int i, int exit);
    void moveFree(int i, const Rnd& rnd);
    bool blocked(int i, int x, int y) const;
};

} // namespace games::pearl
