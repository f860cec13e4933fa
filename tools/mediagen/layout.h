// The layouts the program reads beside its pictures: the menu's click areas
// and the hub's circles. Pictures and layout files are drawn from these
// tables, so a click area always lies over what it is drawn as.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mediagen {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool overlaps(const Rect& o) const {
        return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom();
    }
};

// Menu commands by click-area index.
enum MenuCommand {
    NextVerse = 0,
    PreviousVerse = 1,
    Recite = 2,
    Enter = 3,
    CountUp = 4,
    CountDown = 5,
    Help = 6,
    Exit = 7,
    Games = 8,
};

struct MenuLayout {
    std::array<Rect, 3> text;    // verse number, verse text, verse count
    std::array<Rect, 9> command; // MenuCommand order
    std::array<Rect, 13> select; // twelve function marks, then the count frame
    std::array<Rect, 12> tile;   // the panel each function is drawn on
    Rect logo{488, 14, 128, 128};
    std::array<Rect, 4> button; // the picture buttons: enter, games, help, exit
    Rect versePanel;
};

const MenuLayout& menuLayout();

// The twelve learning functions' names as the menu shows them (UTF-8).
const std::array<const char*, 12>& functionNames();

// data\pos_size.txt of the program folder, code page 936 with CR LF.
std::string menuLayoutFile();

struct Circle {
    int x = 0, y = 0, r = 0;
};
// The hub's circles: games 1 to 5, then the way back to the menu.
const std::array<Circle, 6>& hubCircles();
const std::array<const char*, 6>& hubLabels();
// data\game.txt.
std::string hubCirclesFile();

// data\data.txt as shipped: the background count, function 0, verse 1, one verse.
std::string menuStateFile(int backgroundCount);

// A game's button rectangles with the names its layout file gives them.
struct NamedRect {
    Rect r;
    const char* name; // UTF-8
};
// data\pos_size.txt of a game folder: a heading, then one "butn:" line per
// button with left, top, width and height in three-character columns from
// character 6 and the button's name; code page 936 with CR LF.
std::string gameButtonsFile(const std::vector<NamedRect>& buttons);
// The "butn:" lines alone, for layout files that go on with other tags.
std::string buttonLines(const std::vector<NamedRect>& buttons);

// A game's button as drawn: where, its caption (UTF-8) and its colour as
// 0xRRGGBB.
struct GameButton {
    Rect r;
    const char* caption;
    std::uint32_t rgb;
};
std::vector<NamedRect> namedRects(const std::vector<GameButton>& buttons);
// data\data.txt of a game folder as shipped: no best score yet in any level.
std::string zeroBestScoresFile(int levels);

// A line of a data file: CR LF after it.
std::string crlf(const std::string& line);

// UTF-8 to code page 936; throws on a character the code page lacks.
std::string toCp936(const std::string& utf8);

} // namespace mediagen
