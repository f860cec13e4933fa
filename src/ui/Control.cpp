#include "ui/Control.h"

#include "ui/Form.h"
#include "ui/Runtime.h"

#include <algorithm>

namespace ui {

Control::Control(Form& form) : form_(&form) {
    form_->controls_.push_back(this);
}

Control::Control(const Control& o)
    : form_(o.form_), rect_(o.rect_), visible_(false), enabled_(o.enabled_), cursor_(o.cursor_),
      toolTip_(o.toolTip_) {
    form_->controls_.push_back(this);
}

Control::~Control() {
    auto& cs = form_->controls_;
    cs.erase(std::remove(cs.begin(), cs.end(), this), cs.end());
    if (form_->focus_ == this)
        form_->focus_ = nullptr;
    form_->runtime().controlDestroyed(this);
    if (visible_)
        form_->invalidate(rect_);
}

Runtime& Control::runtime() const {
    return form_->runtime();
}

void Control::move(int left, int top) {
    move(left, top, rect_.w, rect_.h);
}

void Control::move(int left, int top, int width, int height) {
    invalidate(); // where it was
    const bool resized = width != rect_.w || height != rect_.h;
    rect_.x = left;
    rect_.y = top;
    if (resized)
        resize(width, height);
    invalidate();
}

void Control::resize(int width, int height) {
    rect_.w = std::max(0, width);
    rect_.h = std::max(0, height);
    invalidate();
}

void Control::setVisible(bool v) {
    if (v == visible_)
        return;
    visible_ = v;
    if (!v && form_->focus_ == this)
        form_->focus_ = nullptr;
    invalidate();
}

void Control::setEnabled(bool e) {
    enabled_ = e;
    invalidate();
}

void Control::setMousePointer(const Cursor& c) {
    cursor_ = c;
}

void Control::zOrder(int position) {
    auto& cs = form_->controls_;
    cs.erase(std::remove(cs.begin(), cs.end(), this), cs.end());
    if (position == 0)
        cs.push_back(this);
    else
        cs.insert(cs.begin(), this);
    invalidate();
}

void Control::invalidate() {
    form_->invalidate(rect_);
}

void Control::mouseDown(int button, int shift, int x, int y) {
    if (onMouseDown)
        onMouseDown(button, shift, x, y);
}

void Control::mouseMove(int button, int shift, int x, int y) {
    if (onMouseMove)
        onMouseMove(button, shift, x, y);
}

void Control::mouseUp(int button, int shift, int x, int y) {
    if (onMouseUp)
        onMouseUp(button, shift, x, y);
}

void Control::click() {
    if (onClick)
        onClick();
}

} // namespace ui
