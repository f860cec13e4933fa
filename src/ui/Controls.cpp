#include "ui/Controls.h"

#include "gfx/Keys.h"
#include "ui/Form.h"
#include "ui/Runtime.h"

#include <algorithm>

namespace ui {

namespace {

// Byte offsets of the code points of a UTF-8 string, plus its length.
std::vector<std::size_t> charStarts(const std::string& s) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            at.push_back(i);
    at.push_back(s.size());
    return at;
}

int alignedX(Align a, int boxWidth, int textWidth, int pad) {
    switch (a) {
    case Align::Center:
        return (boxWidth - textWidth) / 2;
    case Align::Right:
        return boxWidth - textWidth - pad;
    case Align::Left:
        break;
    }
    return pad;
}

} // namespace

// ---- Label -----------------------------------------------------------------

void Label::paint(Picture& target, Point origin) {
    if (!transparent)
        target.fillRect({origin.x, origin.y, width(), height()}, backColor);
    if (caption.empty())
        return;
    if (caption != cachedCaption_ || !(font == cachedFont_) || width() != cachedWidth_ ||
        alignment != cachedAlign_ || wordWrap != cachedWrap_) {
        cachedCaption_ = caption;
        cachedFont_ = font;
        cachedWidth_ = width();
        cachedAlign_ = alignment;
        cachedWrap_ = wordWrap;
        runs_.clear();
        auto& fonts = runtime().fonts();
        const auto face = font.face();
        const int lineH = fonts.lineHeight(face);
        // Break at newlines, and where a line would overflow the label.
        std::vector<std::string> lines;
        std::string cur;
        const auto starts = charStarts(caption);
        for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
            const std::string ch = caption.substr(starts[i], starts[i + 1] - starts[i]);
            if (ch == "\n") {
                lines.push_back(cur);
                cur.clear();
                continue;
            }
            if (ch == "\r")
                continue;
            if (wordWrap && !cur.empty() && fonts.measure(face, cur + ch).w > width()) {
                lines.push_back(cur);
                cur.clear();
            }
            cur += ch;
        }
        lines.push_back(cur);
        int y = 0;
        for (const auto& l : lines) {
            Run r;
            r.mask = fonts.render(face, l);
            r.x = alignedX(alignment, width(), r.mask.width, 0);
            r.y = y;
            y += lineH;
            runs_.push_back(std::move(r));
        }
    }
    for (const auto& r : runs_) {
        if (r.y >= height())
            break;
        target.drawMask(r.mask, {origin.x + r.x, origin.y + r.y}, foreColor);
    }
}

// ---- Image -----------------------------------------------------------------

void Image::setPicture(const Picture& p) {
    picture_ = p;
    invalidate();
}

void Image::paint(Picture& target, Point origin) {
    if (picture_.empty())
        return;
    if (stretch) {
        target.stretchBlit(picture_, picture_.rect(), {origin.x, origin.y, width(), height()});
        return;
    }
    target.blit(picture_,
                {0, 0, std::min(width(), picture_.width()), std::min(height(), picture_.height())},
                origin);
}

// ---- PictureBox --------------------------------------------------------------

void PictureBox::setPicture(const Picture& p) {
    picture_ = p;
    if (autoSize && !p.empty() && (p.width() != width() || p.height() != height()))
        Control::resize(p.width(), p.height());
    cls();
}

void PictureBox::cls() {
    if (surface_.width() != width() || surface_.height() != height())
        surface_ = Picture(std::max(0, width()), std::max(0, height()), backColor);
    else
        surface_.fill(backColor);
    if (!picture_.empty())
        surface_.blit(picture_, {0, 0});
    invalidate();
}

void PictureBox::resize(int w, int h) {
    Control::resize(w, h);
    cls();
}

void PictureBox::paint(Picture& target, Point origin) {
    if (surface_.width() != width() || surface_.height() != height())
        cls();
    target.blit(surface_, surface_.rect(), origin);
    if (borderStyle)
        target.rectOutline({origin.x, origin.y, width(), height()}, rgb(0, 0, 0));
}

void PictureBox::print(Point at, std::string_view utf8, const Font& f, Color c) {
    if (surface_.width() != width() || surface_.height() != height())
        cls();
    surface_.drawMask(runtime().fonts().render(f.face(), utf8), at, c);
    invalidate();
}

// ---- TextBox -----------------------------------------------------------------

namespace {

// Two presses this close in time and place make a double click.
constexpr Micros kDoubleClickTime = 500000;
constexpr int kDoubleClickSlop = 4;
// The inner margin of the box before left- or right-aligned text.
constexpr int kTextPad = 3;
constexpr Color kHighlight = rgb(51, 153, 255);
constexpr Color kHighlightText = rgb(255, 255, 255);

// Columns [from, to) of a mask.
AlphaMask maskColumns(const AlphaMask& m, int from, int to) {
    from = std::clamp(from, 0, m.width);
    to = std::clamp(to, from, m.width);
    AlphaMask part{to - from, m.height, {}};
    part.alpha.reserve(std::size_t(part.width) * std::size_t(part.height));
    for (int y = 0; y < m.height; ++y) {
        const auto row = m.alpha.begin() + std::ptrdiff_t(y) * m.width;
        part.alpha.insert(part.alpha.end(), row + from, row + to);
    }
    return part;
}

} // namespace

int TextBox::length() const {
    return int(charStarts(text_).size()) - 1;
}

std::string TextBox::selText() const {
    const auto starts = charStarts(text_);
    const int n = int(starts.size()) - 1;
    const int a = std::clamp(selStart(), 0, n);
    const int b = std::clamp(selStart() + selLength(), a, n);
    return text_.substr(starts[a], starts[b] - starts[a]);
}

void TextBox::setSelection(int start, int len) {
    const int n = length();
    anchor_ = std::clamp(start, 0, n);
    caret_ = std::clamp(anchor_ + std::max(0, len), anchor_, n);
    invalidate();
}

void TextBox::selectAll() {
    setSelection(0, length());
}

void TextBox::setText(std::string t) {
    if (t == text_)
        return;
    text_ = std::move(t);
    const int n = length();
    anchor_ = changing_ > 0 ? 0 : n;
    caret_ = n;
    invalidate();
    changed();
}

void TextBox::changed() {
    ++changing_;
    if (onChange)
        onChange();
    --changing_;
}

int TextBox::textLeft() const {
    auto& fonts = runtime().fonts();
    return alignedX(alignment, width(), fonts.measure(font.face(), text_).w, kTextPad);
}

int TextBox::boundaryAt(int x) const {
    auto& fonts = runtime().fonts();
    const auto starts = charStarts(text_);
    const int x0 = textLeft();
    int best = 0, bestDist = 1 << 30;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const int w = fonts.measure(font.face(), text_.substr(0, starts[i])).w;
        const int d = std::abs(x0 + w - x);
        if (d < bestDist) {
            bestDist = d;
            best = int(i);
        }
    }
    return best;
}

void TextBox::moveCaret(int to, bool extend) {
    caret_ = std::clamp(to, 0, length());
    if (!extend)
        anchor_ = caret_;
    invalidate();
}

void TextBox::replaceSelection(const std::string& with) {
    const auto starts = charStarts(text_);
    const int n = int(starts.size()) - 1;
    const int a = std::clamp(selStart(), 0, n);
    const int b = std::clamp(selStart() + selLength(), a, n);
    std::string t = text_;
    t.replace(starts[a], starts[b] - starts[a], with);
    caret_ = anchor_ = a + int(charStarts(with).size()) - 1;
    invalidate();
    if (t == text_)
        return;
    text_ = std::move(t);
    changed();
}

void TextBox::focusGot() {
    selectAll();
    selectedOnFocus_ = true;
}

void TextBox::focusLost() {
    dragging_ = false;
    selectedOnFocus_ = false;
    invalidate();
}

void TextBox::mouseDown(int button, int shift, int x, int y) {
    if (button & button::Left) {
        const Micros now = runtime().now();
        const bool doubleClick = lastPress_ >= 0 && now - lastPress_ <= kDoubleClickTime &&
                                 std::abs(x - lastPressAt_.x) <= kDoubleClickSlop &&
                                 std::abs(y - lastPressAt_.y) <= kDoubleClickSlop;
        // A third press starts a new click rather than another double click.
        lastPress_ = doubleClick ? -1 : now;
        lastPressAt_ = {x, y};
        const int at = boundaryAt(x);
        dragging_ = !doubleClick;
        dragStarted_ = false;
        if (doubleClick) {
            selectAll();
        } else if (selectedOnFocus_) {
            // The click that brought the focus keeps the whole text selected
            // unless the pointer drags away from where it was pressed.
            dragFrom_ = at;
        } else {
            if (!(shift & shiftmask::Shift))
                anchor_ = at;
            dragFrom_ = anchor_;
            dragStarted_ = true;
            moveCaret(at, true);
        }
        selectedOnFocus_ = false;
    }
    Control::mouseDown(button, shift, x, y);
}

void TextBox::mouseMove(int button, int shift, int x, int y) {
    if (dragging_ && (button & button::Left)) {
        const int at = boundaryAt(x);
        if (dragStarted_ || at != dragFrom_) {
            dragStarted_ = true;
            anchor_ = dragFrom_;
            moveCaret(at, true);
        }
    }
    Control::mouseMove(button, shift, x, y);
}

void TextBox::mouseUp(int button, int shift, int x, int y) {
    if (button & button::Left)
        dragging_ = false;
    Control::mouseUp(button, shift, x, y);
}

void TextBox::keyDown(int& k, int shift) {
    selectedOnFocus_ = false;
    const bool extend = shift & shiftmask::Shift;
    const int n = length();
    caret_ = std::clamp(caret_, 0, n);
    anchor_ = std::clamp(anchor_, 0, n);
    const bool selection = caret_ != anchor_;
    if (k == key::A && (shift & (shiftmask::Ctrl | shiftmask::Alt)) == shiftmask::Ctrl) {
        selectAll();
        return;
    }
    switch (k) {
    case key::Left:
        // Without shift, an arrow first collapses the selection to its side.
        moveCaret(selection && !extend ? selStart() : caret_ - 1, extend);
        break;
    case key::Right:
        moveCaret(selection && !extend ? selStart() + selLength() : caret_ + 1, extend);
        break;
    case key::Home:
        moveCaret(0, extend);
        break;
    case key::End:
        moveCaret(n, extend);
        break;
    case key::Backspace:
        if (!selection && caret_ > 0)
            anchor_ = caret_ - 1;
        replaceSelection("");
        break;
    case key::Delete:
        if (!selection && caret_ < n)
            anchor_ = caret_ + 1;
        replaceSelection("");
        break;
    default:
        break;
    }
}

void TextBox::textInput(const std::string& utf8) {
    std::string clean;
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 32)
            clean += c;
    if (clean.empty() || !enabled())
        return;
    selectedOnFocus_ = false;
    replaceSelection(clean);
}

void TextBox::paint(Picture& target, Point origin) {
    const Rect r{origin.x, origin.y, width(), height()};
    target.fillRect(r, backColor);
    if (border) {
        target.rectOutline(r, rgb(128, 128, 128));
        target.rectOutline({r.x + 1, r.y + 1, r.w - 2, r.h - 2}, rgb(64, 64, 64));
    }
    auto& fonts = runtime().fonts();
    const auto face = font.face();
    const AlphaMask m = fonts.render(face, text_);
    const int x0 = alignedX(alignment, width(), m.width, kTextPad);
    const int lineH = fonts.lineHeight(face);
    const int y0 = (height() - lineH) / 2;
    const Point at{origin.x + x0, origin.y + y0};
    target.drawMask(m, at, foreColor);
    if (form().focus() != this || !enabled() || form().runtime().activeForm() != &form())
        return;
    const auto starts = charStarts(text_);
    const int n = int(starts.size()) - 1;
    auto xOf = [&](int boundary) {
        return fonts.measure(face, text_.substr(0, starts[std::clamp(boundary, 0, n)])).w;
    };
    if (selLength() > 0) {
        const int sx = xOf(selStart()), ex = xOf(selStart() + selLength());
        target.fillRect(Rect{at.x + sx, at.y, ex - sx, lineH}.intersected(r), kHighlight);
        target.drawMask(maskColumns(m, sx, ex), {at.x + sx, at.y}, kHighlightText);
        return;
    }
    const int cx = at.x + xOf(caret_);
    target.line({cx, at.y}, {cx, at.y + lineH}, foreColor);
}

// ---- HScrollBar --------------------------------------------------------------

HScrollBar::HScrollBar(Form& f) : Control(f), repeat_(std::make_unique<Timer>(f, 60, false)) {
    repeat_->onTimer = [this] { step(repeatDir_); };
}

HScrollBar::HScrollBar(const HScrollBar& o)
    : Control(o), min(o.min), max(o.max), smallChange(o.smallChange), largeChange(o.largeChange),
      value_(o.value_), repeat_(std::make_unique<Timer>(o.form(), 60, false)) {
    repeat_->onTimer = [this] { step(repeatDir_); };
}

HScrollBar::~HScrollBar() = default;

void HScrollBar::setValue(int v) {
    const int lo = std::min(min, max), hi = std::max(min, max);
    v = std::clamp(v, lo, hi);
    if (v == value_)
        return;
    value_ = v;
    invalidate();
    if (onChange)
        onChange();
}

int HScrollBar::arrowWidth() const {
    return std::min(height(), width() / 3);
}

Rect HScrollBar::thumbRect() const {
    const int aw = arrowWidth();
    const int track = width() - 2 * aw;
    const int tw = std::min(track, std::max(8, height()));
    const int span = max - min;
    const int pos = span == 0 ? 0 : (value_ - min) * (track - tw) / span;
    return {aw + pos, 0, tw, height()};
}

void HScrollBar::step(int delta) {
    if (delta == 0)
        return;
    setValue(value_ + delta);
}

void HScrollBar::mouseDown(int button, int shift, int x, int y) {
    Control::mouseDown(button, shift, x, y);
    if (!(button & button::Left))
        return;
    const int aw = arrowWidth();
    const Rect th = thumbRect();
    const int dir = max >= min ? 1 : -1;
    if (x < aw)
        repeatDir_ = -smallChange * dir;
    else if (x >= width() - aw)
        repeatDir_ = smallChange * dir;
    else if (x < th.x)
        repeatDir_ = -largeChange * dir;
    else if (x >= th.right())
        repeatDir_ = largeChange * dir;
    else {
        dragOffset_ = x - th.x;
        dragStart_ = value_;
        return;
    }
    step(repeatDir_);
    repeat_->setInterval(350);
    repeat_->start();
}

void HScrollBar::mouseMove(int button, int shift, int x, int y) {
    Control::mouseMove(button, shift, x, y);
    if (repeat_->enabled() && repeat_->interval() != 60) {
        repeat_->setInterval(60);
    }
    if (dragOffset_ < 0)
        return;
    const int aw = arrowWidth();
    const Rect th = thumbRect();
    const int track = width() - 2 * aw - th.w;
    if (track <= 0)
        return;
    const int pos = std::clamp(x - dragOffset_ - aw, 0, track);
    const int v = min + (pos * (max - min) + track / 2) / track;
    if (v != value_) {
        value_ = v;
        invalidate();
        if (onScroll)
            onScroll();
    }
}

void HScrollBar::mouseUp(int button, int shift, int x, int y) {
    Control::mouseUp(button, shift, x, y);
    repeat_->stop();
    repeatDir_ = 0;
    if (dragOffset_ >= 0) {
        dragOffset_ = -1;
        if (value_ != dragStart_ && onChange)
            onChange();
    }
}

void HScrollBar::paint(Picture& target, Point origin) {
    const int w = width(), h = height(), aw = arrowWidth();
    const Color face = rgb(212, 208, 200), shade = rgb(128, 128, 128), dark = rgb(64, 64, 64);
    target.fillRect({origin.x, origin.y, w, h}, rgb(236, 233, 216));
    auto button3d = [&](Rect r) {
        target.fillRect(r, face);
        target.line({r.x, r.y}, {r.right() - 1, r.y}, rgb(255, 255, 255));
        target.line({r.x, r.y}, {r.x, r.bottom() - 1}, rgb(255, 255, 255));
        target.line({r.x, r.bottom() - 1}, {r.right(), r.bottom() - 1}, dark);
        target.line({r.right() - 1, r.y}, {r.right() - 1, r.bottom()}, dark);
    };
    const Rect left{origin.x, origin.y, aw, h}, right{origin.x + w - aw, origin.y, aw, h};
    button3d(left);
    button3d(right);
    // Arrow heads.
    const int cy = origin.y + h / 2, s = std::max(2, h / 4);
    for (int i = 0; i < s; ++i) {
        const int lx = left.x + aw / 2 - s / 2 + i;
        target.line({lx, cy - i}, {lx, cy + i + 1}, enabled() ? 0 : shade);
        const int rx = right.x + aw / 2 + s / 2 - i;
        target.line({rx, cy - i}, {rx, cy + i + 1}, enabled() ? 0 : shade);
    }
    Rect th = thumbRect();
    th.x += origin.x;
    th.y += origin.y;
    button3d(th);
}

// ---- Timer -------------------------------------------------------------------

Timer::Timer(Form& form, int intervalMs, bool enabled)
    : form_(&form), interval_(intervalMs), enabled_(false) {
    form_->timers_.push_back(this);
    form_->runtime().addTimer(this);
    setEnabled(enabled);
}

Timer::~Timer() {
    auto& ts = form_->timers_;
    ts.erase(std::remove(ts.begin(), ts.end(), this), ts.end());
    form_->runtime().removeTimer(this);
}

void Timer::setInterval(int ms) {
    interval_ = ms;
    if (enabled_)
        schedule();
}

void Timer::setEnabled(bool e) {
    if (e && form_->unloading())
        e = false;
    enabled_ = e;
    if (e)
        schedule();
}

void Timer::schedule() {
    const Micros period = std::max<Micros>(kTick, Micros(interval_) * 1000);
    due_ = form_->runtime().now() + period;
}

} // namespace ui
