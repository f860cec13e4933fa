#include "ui/Form.h"

#include "ui/Controls.h"
#include "ui/Runtime.h"

namespace ui {

Form::Form(Runtime& rt) : rt_(&rt), surface_(640, 480, 0) {}

Form::~Form() {
    rt_->formDestroyed(this);
}

void Form::move(int left, int top, int width, int height) {
    rt_->invalidate(rect_); // where it was
    const bool resized = width != rect_.w || height != rect_.h;
    rect_ = {left, top, width, height};
    if (resized)
        cls();
    invalidate();
}

void Form::setBackColor(Color c) {
    back_ = c;
    cls();
}

void Form::setPicture(const Picture& p) {
    picture_ = p;
    cls();
}

Picture& Form::surface() {
    if (instead_) {
        surface_.blit(*instead_, surface_.rect(), {0, 0});
        instead_ = nullptr;
    }
    return surface_;
}

void Form::showInstead(const Picture& p) {
    if (p.width() < surface_.width() || p.height() < surface_.height()) {
        surface().blit(p, {0, 0});
        return;
    }
    instead_ = &p;
}

void Form::cls() {
    instead_ = nullptr;
    // A picture that covers the whole form hides its back colour.
    const bool covered =
        picture_.width() >= rect_.w && picture_.height() >= rect_.h && !picture_.empty();
    if (surface_.width() != rect_.w || surface_.height() != rect_.h)
        surface_ = Picture(rect_.w, rect_.h, back_);
    else if (!covered)
        surface_.fill(back_);
    if (!picture_.empty())
        surface_.blit(picture_, {0, 0});
    invalidate();
}

void Form::show() {
    visible_ = true;
    bringToFront();
}

void Form::hide() {
    visible_ = false;
    invalidate();
}

void Form::bringToFront() {
    rt_->raiseForm(this);
}

void Form::sendToBack() {
    rt_->lowerForm(this);
}

void Form::setTopmost(bool t) {
    topmost_ = t;
    rt_->formOrderChanged();
}

void Form::setMousePointer(const Cursor& c) {
    cursor_ = c;
    invalidate();
}

void Form::unload() {
    if (unloading_)
        return;
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel)
        return;
    unloading_ = true;
    Form_Unload();
    for (Timer* t : timers_)
        t->stop();
    visible_ = false;
    rt_->requestUnload(this);
    invalidate();
}

void Form::invalidate() {
    rt_->invalidate(rect_);
}

void Form::invalidate(Rect local) {
    const Rect r = local.intersected({0, 0, rect_.w, rect_.h});
    if (!r.empty())
        rt_->invalidate({rect_.x + r.x, rect_.y + r.y, r.w, r.h});
}

Control* Form::controlAt(Point p) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        Control* c = *it;
        if (c->visible() && c->enabled() && c->rect().contains(p) &&
            c->hitTest({p.x - c->left(), p.y - c->top()}))
            return c;
    }
    return nullptr;
}

void Form::setFocus(Control* c) {
    if (focus_ == c)
        return;
    if (focus_)
        focus_->focusLost();
    focus_ = c;
    if (focus_)
        focus_->focusGot();
    invalidate();
}

void Form::paint(Picture& target, Point origin, Rect clip) {
    const Rect bounds = clip.intersected(target.rect());
    // A control placed partly outside the form (a damaged layout file) is
    // clipped to it: nothing draws over the backdrop beside the screen.
    const Rect form =
        Rect{origin.x, origin.y, surface_.width(), surface_.height()}.intersected(bounds);
    if (form.empty())
        return;
    target.blit(instead_ ? *instead_ : surface_,
                {form.x - origin.x, form.y - origin.y, form.w, form.h}, {form.x, form.y});
    // Controls wholly outside the clip cost nothing. One whose part on the
    // target lies inside the clip and the form draws straight onto it, the
    // target's edges cutting the rest; any other draws into a picture of
    // its visible part. (A label's large glyphs may reach past its box, as
    // they always have; what lands outside the clip is drawn over again
    // before that part of the target is next shown.)
    const Rect whole = target.rect();
    for (Control* c : controls_) {
        if (!c->visible())
            continue;
        const Rect at{origin.x + c->left(), origin.y + c->top(), c->width(), c->height()};
        const Rect shown = at.intersected(form);
        if (shown.empty())
            continue;
        if (shown == at.intersected(whole)) {
            c->paint(target, {at.x, at.y});
            continue;
        }
        Picture part(shown.w, shown.h);
        part.blit(target, shown, {0, 0});
        c->paint(part, {at.x - shown.x, at.y - shown.y});
        target.blit(part, part.rect(), {shown.x, shown.y});
    }
}

} // namespace ui
