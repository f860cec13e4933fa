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

void TextBox::setText(std::string t) {
    if (t == text_)
        return;
    text_ = std::move(t);
    caret_ = int(charStarts(text_).size()) - 1;
    invalidate();
    if (onChange)
        onChange();
}

void TextBox::mouseDown(int button, int shift, int x, int y) {
    // The caret goes to the character boundary nearest the click.
    auto& fonts = runtime().fonts();
    const auto starts = charStarts(text_);
    const int textW = fonts.measure(font.face(), text_).w;
    const int x0 = alignedX(alignment, width(), textW, 3);
    int best = 0, bestDist = 1 << 30;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const int w = fonts.measure(font.face(), text_.substr(0, starts[i])).w;
        const int d = std::abs(x0 + w - x);
        if (d < bestDist) {
            bestDist = d;
            best = int(i);
        }
    }
    caret_ = best;
    invalidate();
    Control::mouseDown(button, shift, x, y);
}

void TextBox::keyDown(int& k, int shift) {
    (void)shift;
    const auto starts = charStarts(text_);
    const int n = int(starts.size()) - 1;
    caret_ = std::clamp(caret_, 0, n);
    switch (k) {
    case key::Left:
        caret_ = std::max(0, caret_ - 1);
        break;
    case key::Right:
        caret_ = std::min(n, caret_ + 1);
        break;
    case key::Home:
        caret_ = 0;
        break;
    case key::End:
        caret_ = n;
        break;
    case key::Backspace:
        if (caret_ > 0) {
            const int at = caret_ - 1;
            std::string t = text_;
            t.erase(starts[at], starts[at + 1] - starts[at]);
            text_ = t;
            caret_ = at;
            invalidate();
            if (onChange)
                onChange();
        }
        break;
    case key::Delete:
        if (caret_ < n) {
            std::string t = text_;
            t.erase(starts[caret_], starts[caret_ + 1] - starts[caret_]);
            text_ = t;
            invalidate();
            if (onChange)
                onChange();
        }
        break;
    default:
        return;
    }
    invalidate();
}

void TextBox::textInput(const std::string& utf8) {
    std::string clean;
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 32)
            clean += c;
    if (clean.empty() || !enabled())
        return;
    const auto starts = charStarts(text_);
    caret_ = std::clamp(caret_, 0, int(starts.size()) - 1);
    text_.insert(starts[caret_], clean);
    caret_ += int(charStarts(clean).size()) - 1;
    invalidate();
    if (onChange)
        onChange();
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
    const int x0 = alignedX(alignment, width(), m.width, 3);
    const int y0 = (height() - fonts.lineHeight(face)) / 2;
    target.drawMask(m, {origin.x + x0, origin.y + y0}, foreColor);
    if (form().focus() == this && enabled() && form().runtime().activeForm() == &form()) {
        const auto starts = charStarts(text_);
        const std::size_t at = starts[std::clamp<std::size_t>(caret_, 0, starts.size() - 1)];
        const int cx = origin.x + x0 + fonts.measure(face, text_.substr(0, at)).w;
        target.line({cx, origin.y + y0}, {cx, origin.y + y0 + fonts.lineHeight(face)}, foreColor);
    }
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
