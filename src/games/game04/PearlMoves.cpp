#include "games/game04/PearlMoves.h"

#include "core/Text.h"

#include <cstdio>
#include <cstdlib>

namespace games::pearl {

namespace {

int step(std::int16_t d, int axis) {
    // axis 0: x, 1: y.
    if (axis == 0)
        return d == Left ? -1 : d == Right ? 1 : 0;
    return d == Up ? -1 : d == Down ? 1 : 0;
}

// How far p lies ahead of (x, y) in direction d, on its row or column;
// -1 when it lies elsewhere.
int aheadBy(const PathPoint& p, int x, int y, std::int16_t d) {
    const int sx = step(d, 0), sy = step(d, 1);
    if ((sx == 0 && sy == 0) || (sx != 0 && p.y != y) || (sy != 0 && p.x != x))
        return -1;
    const int along = (p.x - x) * sx + (p.y - y) * sy;
    return along >= 0 ? along : -1;
}

bool exitDigit(const std::string& line, std::size_t column) {
    return column <= line.size() && line[column - 1] == '1';
}

} // namespace

std::int16_t oppositeDirection(std::int16_t d) {
    switch (d) {
    case Left:
        return Right;
    case Up:
        return Down;
    case Right:
        return Left;
    case Down:
        return Up;
    default:
        return None;
    }
}

std::vector<PathPoint> readPathPoints(const std::string& path) {
    std::vector<PathPoint> points;
    const auto lines = core::readLines(path);
    if (!lines)
        return points;
    int blanks = 0;
    for (const std::string& line : *lines) {
        if (line.find_first_not_of(" \t") == std::string::npos) {
            ++blanks;
            continue;
        }
        PathPoint p;
        p.x = core::layoutField(line, 4);
        p.y = core::layoutField(line, 8);
        for (std::size_t e = 0; e < 4; ++e)
            p.exits[e] = exitDigit(line, 12 + e);
        points.push_back(p);
    }
    if (blanks > 0)
        std::fprintf(stderr, "shizi: %s: %d empty line(s) left out\n",
                     core::displayPath(path).c_str(), blanks);
    if (points.size() < 2)
        std::fprintf(stderr, "shizi: %s: the nest needs points 1 and 2 as its exits; %zu found\n",
                     core::displayPath(path).c_str(), points.size());
    return points;
}

std::int16_t pickPearlDirection(std::int16_t current, const std::array<bool, 4>& exits,
                                const Rnd& rnd) {
    const bool straightOn = current >= Left && current <= Down && exits[std::size_t(current - 1)];
    const std::int16_t back = oppositeDirection(current);
    std::int16_t ways[4];
    int n = 0;
    for (std::int16_t d = Left; d <= Down; ++d)
        if (exits[std::size_t(d - 1)] && !(d == back && straightOn))
            ways[n++] = d;
    if (n == 0)
        return back != None ? back : current;
    // One draw among the ways allowed: the same chances as drawing 1..4
    // until an allowed one comes up.
    const int k = int(rnd() * n);
    return ways[std::min(std::max(k, 0), n - 1)];
}

// ---- the head ------------------------------------------------------------------

void Board::startRound(const Rnd& rnd) {
    headDir = Left;
    headFrame = 1;
    headX = headStart.x;
    headY = headStart.y;
    exitBusy = false;
    nextPearl = 1;
    pearlsOut = 0;
    keyHeld = {};
    for (int i = 1; i <= 14; ++i) {
        Pearl& p = pearl(i);
        p.state = InNest;
        p.out = 0;
        p.x = int((nestRect.w - 30) * rnd() + nestRect.x + 15);
        p.y = int((nestRect.h - 30) * rnd() + nestRect.y + 15);
    }
}

const PathPoint* Board::nearPoint() const {
    for (const PathPoint& p : pathPoints)
        if (std::abs(p.x - headX) <= snapDistance && std::abs(p.y - headY) <= snapDistance)
            return &p;
    return nullptr;
}

void Board::arrowDown(std::int16_t d) {
    if (d < Left || d > Down)
        return;
    const PathPoint* near = nearPoint();
    keyHeld[std::size_t(d - 1)] = true;
    if (headDir == d)
        return;
    if (headDir == oppositeDirection(d)) {
        headDir = d;
        return;
    }
    if (near) {
        headDir = d;
        headX = near->x;
        headY = near->y;
    }
}

void Board::arrowUp(std::int16_t d) {
    if (d >= Left && d <= Down)
        keyHeld[std::size_t(d - 1)] = false;
}

void Board::headStep() {
    static constexpr std::int16_t turns[5][3] = {
        {}, {Up, Right, Down}, {Down, Left, Right}, {Up, Left, Down}, {Up, Left, Right}};
    const int s = stepSize;
    bool acted = false;
    for (const PathPoint& p : pathPoints) {
        const int along = aheadBy(p, headX, headY, headDir);
        const bool ahead = along >= 0 && along <= s;
        if (!ahead)
            continue;
        if (held(headDir)) {
            if (p.open(headDir)) {
                headX += s * step(headDir, 0);
                headY += s * step(headDir, 1);
            } else {
                headX = p.x;
                headY = p.y;
            }
            acted = true;
            break;
        }
        for (std::int16_t t : turns[headDir])
            if (p.open(t) && held(t)) {
                headDir = t;
                headX = p.x;
                headY = p.y;
                acted = true;
                break;
            }
        if (acted)
            break;
    }
    if (!acted && held(headDir)) {
        headX += s * step(headDir, 0);
        headY += s * step(headDir, 1);
    }
    updateString();
}

// ---- the string of caught pearls ------------------------------------------------

const PathPoint* Board::pointBehind(const Mover& l) const {
    for (const PathPoint& p : pathPoints) {
        const int along = aheadBy(p, l.x, l.y, oppositeDirection(l.dir));
        if (along >= 0 && along < spacing)
            return &p;
    }
    return nullptr;
}

void Board::updateString() {
    const int s = spacing;
    Mover l{headX, headY, headDir};
    for (int k = 1; k < nextPearl && k <= 14; ++k) {
        Pearl& f = pearl(k);
        const bool close = std::abs(f.x - l.x) <= s && std::abs(f.y - l.y) <= s;
        // Corner search 1: a point on the leader's row or column within one pearl.
        const PathPoint* q = nullptr;
        for (const PathPoint& p : pathPoints)
            if ((p.x == l.x && std::abs(p.y - l.y) <= s) ||
                (p.y == l.y && std::abs(p.x - l.x) <= s)) {
                q = &p;
                break;
            }
        if (!q) {
            if (close)
                return;
        } else {
            const int d1 = std::abs(q->x - l.x) + std::abs(q->y - l.y);
            if ((f.dir == l.dir || f.dir == oppositeDirection(l.dir)) && close)
                return;
            if (std::abs(f.x - q->x) <= s - d1 && std::abs(f.y - q->y) <= s - d1)
                return;
        }
        // Corner search 2: a point behind the leader.
        auto putBehind = [&] {
            f.x = l.x - s * step(l.dir, 0);
            f.y = l.y - s * step(l.dir, 1);
            f.dir = l.dir;
        };
        const PathPoint* p = pointBehind(l);
        if (!p) {
            if ((f.x == l.x && std::abs(f.y - l.y) <= s) ||
                (f.y == l.y && std::abs(f.x - l.x) <= s))
                return;
            putBehind();
        } else {
            const int d2 = std::abs(p->x - l.x) + std::abs(p->y - l.y);
            if ((f.y == p->y && std::abs(f.x - p->x) <= s - d2) ||
                (f.x == p->x && std::abs(f.y - p->y) <= s - d2))
                return;
            // Off the leader's line the follower is on the crossing branch:
            // it goes the rest of the spacing along that branch, towards
            // the corner.
            const bool horizontal = l.dir == Left || l.dir == Right;
            int& across = horizontal ? f.y : f.x;
            const int line = horizontal ? l.y : l.x;
            if (across != line) {
                const bool beyond = across > line; // below, or to the right
                across = beyond ? line + (s - d2) : line - (s - d2);
                f.dir = horizontal ? (beyond ? Up : Down) : (beyond ? Left : Right);
            } else {
                putBehind();
            }
        }
        l = {f.x, f.y, f.dir};
    }
}

void Board::attachPearl(int n) {
    const Mover l = n == 1 ? Mover{headX, headY, headDir}
                           : Mover{pearl(n - 1).x, pearl(n - 1).y, pearl(n - 1).dir};
    Pearl& f = pearl(n);
    const PathPoint* p = pointBehind(l);
    if (!p) {
        f.x = l.x - spacing * step(l.dir, 0);
        f.y = l.y - spacing * step(l.dir, 1);
        f.dir = l.dir;
        return;
    }
    const int rest = spacing - (std::abs(p->x - l.x) + std::abs(p->y - l.y));
    for (std::int16_t e = Left; e <= Down; ++e)
        if (e != l.dir && p->open(e)) {
            f.x = p->x + rest * step(e, 0);
            f.y = p->y + rest * step(e, 1);
            f.dir = oppositeDirection(e);
            return;
        }
}

// ---- the pearls ------------------------------------------------------------------

void Board::jiggle(Pearl& p, const Rnd& rnd) const {
    auto one = [&](int& v, int lo, int size) {
        const bool grow = rnd() < 0.5;
        const int by = int(jitterStep * rnd() + 1);
        if (grow) {
            v += by;
            if (v + 15 > lo + size - 1)
                v = lo + size - 16;
        } else {
            v -= by;
            if (v - 15 < lo)
                v = lo + 15;
        }
    };
    one(p.x, nestRect.x, nestRect.w);
    one(p.y, nestRect.y, nestRect.h);
}

// Lets pearl i out at nest exit `exit` (0 or 1) when it is close enough and
// its turn has come.
bool Board::released(int i, int exit) {
    if (exit >= nestExits())
        return false;
    const PathPoint& e = pathPoints[std::size_t(exit)];
    Pearl& p = pearl(i);
    if (std::abs(p.x - e.x) >= releaseDistance || std::abs(p.y - e.y) >= releaseDistance ||
        exitBusy)
        return false;
    if (!(i <= 7 || pearlsOut - nextPearl == 6 || nextPearl > 7))
        return false;
    exitBusy = true;
    p.out = 1;
    p.x = e.x;
    p.y = e.y;
    p.dir = exit == 0 ? Right : Left;
    p.state = Free;
    ++pearlsOut;
    return true;
}

const PathPoint* Board::pointAt(int x, int y) const {
    for (const PathPoint& p : pathPoints)
        if (p.x == x && p.y == y)
            return &p;
    return nullptr;
}

bool Board::blocked(int i, int x, int y) const {
    // Pearls on the row of the first exit never block: they queue there as
    // they leave the nest.
    // Two pearls can come closer than that only where a path meets that
    // row; then a step away from each other is always allowed, or the two
    // would hold each other still for good.
    const bool hasExit = nestExits() > 0;
    const Pearl& p = pearl(i);
    for (int j = 1; j <= 14; ++j) {
        const Pearl& o = pearl(j);
        if (j == i || o.out != 1 || (hasExit && o.y == pathPoints[0].y))
            continue;
        if (std::abs(o.x - x) >= blockDistance || std::abs(o.y - y) >= blockDistance)
            continue;
        const int before = std::abs(o.x - p.x) + std::abs(o.y - p.y);
        const int after = std::abs(o.x - x) + std::abs(o.y - y);
        if (after < before)
            return true;
    }
    return false;
}

void Board::moveFree(int i, const Rnd& rnd) {
    Pearl& p = pearl(i);
    if (const PathPoint* at = pointAt(p.x, p.y))
        p.dir = pickPearlDirection(p.dir, at->exits, rnd);
    const int nx = p.x + stepSize * step(p.dir, 0), ny = p.y + stepSize * step(p.dir, 1);
    if (blocked(i, nx, ny)) {
        p.dir = oppositeDirection(p.dir);
        return;
    }
    const int exits = nestExits();
    if ((exits > 1 && p.dir == Left && p.x == pathPoints[1].x && p.y == pathPoints[1].y) ||
        (exits > 0 && p.dir == Right && p.x == pathPoints[0].x && p.y == pathPoints[0].y))
        exitBusy = false;
    p.x = nx;
    p.y = ny;
}

TickEnd Board::pearlTick(const Rnd& rnd, const std::function<void(int)>& caught) {
    for (int i = 1; i <= 14; ++i) {
        Pearl& p = pearl(i);
        if (p.out == 0) {
            const int exits = nestExits();
            if (i <= 7 && exits > 0) {
                const int e = exits > 1 && rnd() >= 0.5 ? 1 : 0;
                p.x = pathPoints[std::size_t(e)].x;
                p.y = pathPoints[std::size_t(e)].y;
            } else {
                jiggle(p, rnd);
            }
            if (released(i, 0) || released(i, 1))
                return TickEnd::Running;
        } else if (p.state != Caught) {
            moveFree(i, rnd);
        }
        if (std::abs(p.x - headX) <= touchDistance && std::abs(p.y - headY) <= touchDistance &&
            p.state != Caught) {
            if (i != nextPearl)
                return TickEnd::Lost;
            p.state = Caught;
            // A pearl caught before it left the nest has left it now: the
            // nest must not place it at an exit and let it out again.
            if (p.out == 0) {
                p.out = 1;
                ++pearlsOut;
            }
            attachPearl(i);
            ++nextPearl;
            if (i == 14)
                return TickEnd::Won;
            if (caught)
                caught(i);
        }
    }
    return TickEnd::Running;
}

} // namespace games::pearl
