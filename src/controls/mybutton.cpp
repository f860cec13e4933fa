#include "controls/mybutton.h"

#include "ui/Controls.h"
#include "ui/Runtime.h"

#include <cmath>

namespace controls {

namespace {

// The box size of the saved defaults is 800 x 300 in the platform's logical
// units (twips, 15 to a pixel); the button works in pixels.
constexpr long kDefaultBoxWidth = 800 / 15;
constexpr long kDefaultBoxHeight = 300 / 15;

const char* const kWriteOrder[] = {
    "btntype",    "enabled",    "value",        "Picture", "caption", "backcolor", "forecolor",
    "pbackcolor", "pforecolor", "pbordercolor", "border",  "pheight", "pwidth"};

const ui::Font kCaptionFont{"宋体", 12, false};

long number(const PropertyValue& v) {
    if (const long* n = std::get_if<long>(&v))
        return *n;
    return 0;
}

} // namespace

const std::vector<PropertyDefault>& mybutton::savedDefaults() {
    static const std::vector<PropertyDefault> table = {
        {"Picture", ui::Picture{}},
        {"btntype", 0L},
        {"enabled", 1L},
        {"value", 0L},
        {"caption", std::string{}},
        {"forecolor", long(ui::rgb(255, 255, 255))},
        {"backcolor", long(ui::rgb(0, 0, 0))},
        {"pforecolor", long(ui::rgb(255, 255, 255))},
        {"pbordercolor", long(ui::rgb(0, 0, 0))},
        {"pbackcolor", long(ui::rgb(0, 0, 0))},
        {"border", 0L},
        {"pwidth", kDefaultBoxWidth},
        {"pheight", kDefaultBoxHeight},
    };
    return table;
}

mybutton::mybutton(ui::Form& form) : ui::Control(form) {
    readProperties({});
}

mybutton::mybutton(const mybutton& o)
    : ui::Control(o), picture_(o.picture_), enabledProp_(o.enabledProp_), border_(o.border_),
      btntype_(o.btntype_), value_(o.value_), caption_(o.caption_), forecolor_(o.forecolor_),
      backcolor_(o.backcolor_), pwidth_(o.pwidth_), pheight_(o.pheight_),
      pforecolor_(o.pforecolor_), pbackcolor_(o.pbackcolor_), pbordercolor_(o.pbordercolor_),
      state_(o.state_ == Disabled ? Disabled : Normal) {}

void mybutton::initProperties() {
    setPbackcolor(ui::rgb(233, 244, 223));
    setForecolor(ui::rgb(255, 255, 255));
    setPforecolor(ui::rgb(201, 224, 159));
    setPbordercolor(ui::rgb(0, 0, 0));
    setBackcolor(ui::rgb(0, 0, 0));
    setEnabled(true);
    setBorder(true);
    setCaption("确  定");
    setPicture({});
}

void mybutton::readProperties(const PropertyBag& bag) {
    for (const auto& d : savedDefaults()) {
        auto it = bag.find(d.key);
        apply(d.key, it != bag.end() ? it->second : d.value);
    }
}

void mybutton::writeProperties(PropertyBag& bag) const {
    for (const char* key : kWriteOrder) {
        const PropertyValue v = current(key);
        for (const auto& d : savedDefaults())
            if (d.key == std::string_view(key)) {
                if (v == d.value)
                    bag.erase(key);
                else
                    bag[key] = v;
            }
    }
}

void mybutton::apply(const std::string& key, const PropertyValue& v) {
    if (key == "Picture") {
        const ui::Picture* p = std::get_if<ui::Picture>(&v);
        setPicture(p ? *p : ui::Picture{});
    } else if (key == "btntype") {
        setBtntype(int(number(v)));
    } else if (key == "enabled") {
        setEnabled(number(v) != 0);
    } else if (key == "value") {
        setValue(int(number(v)));
    } else if (key == "caption") {
        const std::string* s = std::get_if<std::string>(&v);
        setCaption(s ? *s : std::string{});
    } else if (key == "forecolor") {
        setForecolor(ui::Color(number(v)));
    } else if (key == "backcolor") {
        setBackcolor(ui::Color(number(v)));
    } else if (key == "pforecolor") {
        setPforecolor(ui::Color(number(v)));
    } else if (key == "pbordercolor") {
        setPbordercolor(ui::Color(number(v)));
    } else if (key == "pbackcolor") {
        setPbackcolor(ui::Color(number(v)));
    } else if (key == "border") {
        setBorder(number(v) != 0);
    } else if (key == "pwidth") {
        setPwidth(int(number(v)));
    } else if (key == "pheight") {
        setPheight(int(number(v)));
    }
}

PropertyValue mybutton::current(const std::string& key) const {
    if (key == "Picture")
        return picture_;
    if (key == "btntype")
        return long(btntype_);
    if (key == "enabled")
        return long(enabledProp_ ? 1 : 0);
    if (key == "value")
        return long(value_);
    if (key == "caption")
        return caption_;
    if (key == "forecolor")
        return long(forecolor_);
    if (key == "backcolor")
        return long(backcolor_);
    if (key == "pforecolor")
        return long(pforecolor_);
    if (key == "pbordercolor")
        return long(pbordercolor_);
    if (key == "pbackcolor")
        return long(pbackcolor_);
    if (key == "border")
        return long(border_ ? 1 : 0);
    if (key == "pwidth")
        return long(pwidth_);
    if (key == "pheight")
        return long(pheight_);
    return 0L;
}

// ---- properties --------------------------------------------------------------

void mybutton::setPicture(const ui::Picture& p) {
    picture_ = p;
    state_ = enabledProp_ ? Normal : Disabled;
    redraw();
}

void mybutton::setEnabled(bool e) {
    // The base control stays enabled so that a disabled button still hears
    // the release, as the button has always done.
    enabledProp_ = e;
    state_ = e ? Normal : Disabled;
    redraw();
}

void mybutton::setBorder(bool b) {
    border_ = b;
    redraw();
}

void mybutton::setBtntype(int t) {
    btntype_ = t;
    redraw();
}

void mybutton::setValue(int v) {
    value_ = v;
    state_ = v == 1 ? Pressed : Normal;
    redraw();
}

void mybutton::setCaption(const std::string& c) {
    caption_ = c;
    redraw();
}

void mybutton::setForecolor(ui::Color c) {
    forecolor_ = c;
    redraw();
}

void mybutton::setBackcolor(ui::Color c) {
    backcolor_ = c;
    redraw();
}

void mybutton::setPwidth(int w) {
    pwidth_ = w;
    redraw();
}

void mybutton::setPheight(int h) {
    pheight_ = h;
    redraw();
}

void mybutton::setPforecolor(ui::Color c) {
    pforecolor_ = c;
    redraw();
}

void mybutton::setPbackcolor(ui::Color c) {
    pbackcolor_ = c;
    redraw();
}

void mybutton::setPbordercolor(ui::Color c) {
    pbordercolor_ = c;
    redraw();
}

// ---- mouse -------------------------------------------------------------------

void mybutton::raise(const std::function<void()>& event) {
    if (event)
        event();
}

void mybutton::mouseDown(int button, int shift, int x, int y) {
    ui::Runtime& rt = runtime();
    if (!visible()) {
        // Hidden while it still held the pointer: let the pointer go.
        if (rt.capture() == this)
            rt.releaseCapture();
        return;
    }
    if (enabledProp_) {
        if (btntype_ == 1) {
            if (state_ == Pressed) {
                state_ = Normal;
                value_ = 0;
            } else {
                state_ = Pressed;
                value_ = 1;
            }
            redraw();
        } else {
            state_ = Pressed;
            redraw();
            if (rt.capture() != this)
                rt.setCapture(this);
        }
    }
    ui::Control::mouseDown(button, shift, x, y);
}

void mybutton::mouseMove(int button, int shift, int x, int y) {
    ui::Control::mouseMove(button, shift, x, y);
    if (!enabledProp_ || btntype_ != 0 || (value_ == 1 && state_ == Pressed))
        return;
    ui::Runtime& rt = runtime();
    if (rt.capture() == this) {
        if (x < 0 || y < 0 || x > width() || y > height() || !visible()) {
            raise(onMouseleave);
            rt.releaseCapture();
            state_ = Normal;
            redraw();
        }
    } else {
        raise(onMouseover);
        rt.setCapture(this);
        state_ = Over;
        redraw();
    }
}

void mybutton::mouseUp(int button, int shift, int x, int y) {
    ui::Control::mouseUp(button, shift, x, y);
    if (enabledProp_ && btntype_ == 0) {
        const bool inside = x >= 0 && y >= 0 && x <= width() && y <= height();
        state_ = inside ? Over : Normal;
        redraw();
        // The loop lets go of the pointer at every release; a button left
        // showing its mouse-over frame keeps it, so that it hears the pointer
        // leave.
        if (inside && visible())
            runtime().setCapture(this);
    }
    raise(onMouseclick);
}

void mybutton::focusLost() {
    state_ = enabledProp_ ? Normal : Disabled;
    redraw();
}

void mybutton::resize(int width, int height) {
    ui::Control::resize(width, height);
    state_ = enabledProp_ ? Normal : Disabled;
    if (border_) {
        pwidth_ = width;
        pheight_ = height;
    }
    redraw();
}

// ---- drawing -----------------------------------------------------------------

void mybutton::redraw() {
    if (pictureMode()) {
        const int fw = picture_.width() / 4;
        const int fh = picture_.height();
        pwidth_ = fw;
        pheight_ = fh;
        if (width() != fw || height() != fh)
            ui::Control::resize(fw, fh);
    }
    dirty_ = true;
    invalidate();
}

void mybutton::compose() {
    dirty_ = false;
    if (pictureMode()) {
        const int fw = picture_.width() / 4;
        const int fh = picture_.height();
        face_ = ui::Picture(fw, fh);
        face_.blit(picture_, {fw * state_, 0, fw, fh}, {0, 0});
    } else {
        const bool light = state_ == Over || state_ == Disabled;
        face_ = ui::Picture(std::max(0, pwidth_), std::max(0, pheight_),
                            light ? pbackcolor_ : pforecolor_);
        if (border_)
            face_.rectOutline(face_.rect(), pbordercolor_);
    }
    drawCaption();
}

void mybutton::drawCaption() {
    if (caption_.empty() || face_.empty())
        return;
    auto& fonts = runtime().fonts();
    const auto captionFont = kCaptionFont.face();
    const ui::Size size = fonts.measure(captionFont, caption_);
    const ui::AlphaMask mask = fonts.render(captionFont, caption_);
    const int x = int(std::lround((face_.width() - size.w) / 2.0));
    const int y = int(std::lround((face_.height() - size.h) / 2.0));
    // Six draws in the outline colour around the place of the text give it
    // a one-pixel outline; the text itself goes on top.
    const ui::Point outline[] = {{x - 1, y}, {x, y}, {x + 1, y}, {x, y - 1}, {x, y}, {x, y + 1}};
    for (ui::Point p : outline)
        face_.drawMask(mask, p, backcolor_);
    face_.drawMask(mask, {x, y}, forecolor_);
}

const ui::Picture& mybutton::face() {
    if (dirty_)
        compose();
    return face_;
}

void mybutton::paint(ui::Picture& target, ui::Point origin) {
    const ui::Picture& f = face();
    target.blit(f, {0, 0, std::min(width(), f.width()), std::min(height(), f.height())}, origin);
}

} // namespace controls
