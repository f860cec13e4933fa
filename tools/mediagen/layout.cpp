#include "layout.h"

#include "text/Text.h"

#include <cstdio>
#include <stdexcept>

namespace mediagen {

std::string crlf(const std::string& line) {
    return line + "\r\n";
}

namespace {

MenuLayout buildMenuLayout() {
    MenuLayout m;
    m.versePanel = {100, 62, 382, 114};
    m.text[0] = {170, 72, 66, 44};
    m.text[1] = {106, 132, 370, 36};
    m.text[2] = {395, 84, 48, 36};

    m.command[NextVerse] = {240, 76, 36, 36};
    m.command[PreviousVerse] = {130, 76, 36, 36};
    m.command[Recite] = {304, 72, 78, 44};
    m.command[CountUp] = {453, 68, 26, 27};
    m.command[CountDown] = {453, 97, 26, 27};
    // Enter, games, help and exit are hidden areas under the picture buttons,
    // which carry the same commands.
    for (int i = 0; i < 4; ++i)
        m.button[i] = {4, 179 + 75 * i, 90, 75};
    m.command[Enter] = m.button[0];
    m.command[Games] = m.button[1];
    m.command[Help] = m.button[2];
    m.command[Exit] = m.button[3];

    for (int i = 0; i < 12; ++i) {
        const int col = i % 4, row = i / 4;
        m.tile[i] = {100 + 134 * col + 3, 182 + 98 * row + 3, 128, 92};
        m.select[i] = {m.tile[i].x + 8, m.tile[i].y + 10, 40, 40};
    }
    m.select[12] = {388, 64, 62, 60};
    return m;
}

std::string rectLine(const Rect& r, const char* note) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%3d %3d %3d %3d  ", r.x, r.y, r.w, r.h);
    return crlf(buf + toCp936(note));
}

} // namespace

const MenuLayout& menuLayout() {
    static const MenuLayout layout = buildMenuLayout();
    return layout;
}

const std::array<const char*, 12>& functionNames() {
    static const std::array<const char*, 12> names = {
        "连续朗读", "单首朗读", "顺序指读", "隔字指读", "倒序指读", "倒序隔读",
        "随机指读", "顺序认字", "倒序认字", "随机认字", "听音找字", "温故知新"};
    return names;
}

std::string menuLayoutFile() {
    const MenuLayout& m = menuLayout();
    static const char* textNotes[] = {"诗号", "诗句", "连读首数"};
    static const char* commandNotes[] = {"下一首",   "上一首", "朗读", "进入", "首数加一",
                                         "首数减一", "帮助",   "退出", "游戏"};
    std::string out = crlf(toCp936("左  上  宽  高   文本框"));
    for (int i = 0; i < 3; ++i)
        out += rectLine(m.text[i], textNotes[i]);
    out += crlf(toCp936("左  上  宽  高   命令区"));
    for (int i = 0; i < 9; ++i)
        out += rectLine(m.command[i], commandNotes[i]);
    out += crlf(toCp936("左  上  宽  高   选择区"));
    for (int i = 0; i < 12; ++i)
        out += rectLine(m.select[i], functionNames()[i]);
    out += rectLine(m.select[12], "首数框");
    return out;
}

const std::array<Circle, 6>& hubCircles() {
    // Five games on a ring around the way back in the middle.
    static const std::array<Circle, 6> circles = {{
        {200, 92, 54},
        {319, 178, 54},
        {273, 318, 54},
        {127, 318, 54},
        {81, 178, 54},
        {200, 212, 44},
    }};
    return circles;
}

const std::array<const char*, 6>& hubLabels() {
    static const std::array<const char*, 6> labels = {"翻牌记字", "接字射字", "看字涂色",
                                                      "串珍珠",   "诗句拼图", "返回"};
    return labels;
}

std::string hubCirclesFile() {
    std::string out;
    for (const Circle& c : hubCircles()) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%3d %3d %3d", c.x, c.y, c.r);
        out += crlf(buf);
    }
    return out;
}

std::string gameButtonsFile(const std::vector<NamedRect>& buttons) {
    return toCp936("     左  上  宽  高   按钮") + "\r\n" + buttonLines(buttons);
}

std::vector<NamedRect> namedRects(const std::vector<GameButton>& buttons) {
    std::vector<NamedRect> out;
    out.reserve(buttons.size());
    for (const GameButton& b : buttons)
        out.push_back({b.r, b.caption});
    return out;
}

std::string buttonLines(const std::vector<NamedRect>& buttons) {
    std::string out;
    for (const NamedRect& b : buttons) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "butn:%3d %3d %3d %3d   ", b.r.x, b.r.y, b.r.w, b.r.h);
        out += buf + toCp936(b.name) + "\r\n";
    }
    return out;
}

std::string zeroBestScoresFile(int levels) {
    std::string out;
    for (int k = 0; k < levels; ++k)
        out += " 0\r\n";
    return out;
}

std::string menuStateFile(int backgroundCount) {
    return crlf(std::to_string(backgroundCount)) + crlf("0") + crlf("1") + crlf("1");
}

std::string toCp936(const std::string& utf8) {
    auto bytes = text::convertExact(utf8, "UTF-8", "CP936");
    if (bytes)
        return *bytes;
    for (char32_t c : text::toU32(utf8))
        if (!text::convertExact(text::toUtf8(c), "UTF-8", "CP936"))
            throw std::runtime_error("not in code page 936: " + text::toUtf8(c));
    throw std::runtime_error("not UTF-8: " + utf8.substr(0, 40));
}

} // namespace mediagen
