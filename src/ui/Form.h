// A screen: a fixed-size window with a background picture, a persistent
// drawing surface and controls in z-order.
#pragma once

#include "ui/Control.h"

#include <vector>

namespace ui {

class Runtime;
class Timer;

class Form {
  public:
    explicit Form(Runtime& rt);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    Runtime& runtime() const { return *rt_; }

    // Geometry in logical desktop pixels.
    int left() const { return rect_.x; }
    int top() const { return rect_.y; }
    int width() const { return rect_.w; }
    int height() const { return rect_.h; }
    Rect rect() const { return rect_; }
    void move(int left, int top, int width, int height);

    Color backColor() const { return back_; }
    void setBackColor(Color c);

    // The background picture; setting it repaints the drawing surface with
    // the back colour and the picture at (0, 0), replacing earlier drawing.
    // An empty picture leaves just the back colour.
    void setPicture(const Picture& p);
    const Picture& picture() const { return picture_; }
    // The persistent drawing surface (the form's size). Draw, then invalidate().
    Picture& surface();
    // Shows `p` in place of the surface without copying it, for a picture
    // that changes many times a second; `p` must be at least the form's size
    // and live until the surface is next asked for, which takes `p` over,
    // or until setPicture or cls. Invalidate what changed.
    void showInstead(const Picture& p);
    // Clears the drawing back to the background picture.
    void cls();

    bool visible() const { return visible_; }
    // Shows the form and brings it to the front.
    void show();
    void hide();
    // Brings the form to the front of the other forms.
    void bringToFront();
    // Sends the form behind all other forms.
    void sendToBack();
    // A topmost form stays above all others.
    void setTopmost(bool t);
    bool topmost() const { return topmost_; }

    const Cursor& mousePointer() const { return cursor_; }
    void setMousePointer(const Cursor& c);
    void setMousePointer(CursorShape s) { setMousePointer(Cursor::standard(s)); }

    // Key preview: the form sees keys before the focused control.
    bool keyPreview = false;

    // Unloads the form: QueryUnload, Unload, its timers stop at once, and it
    // is destroyed once the running handler has returned to the loop.
    void unload();
    bool unloading() const { return unloading_; }

    void invalidate();
    // Only a rectangle of the form (form pixels) changed.
    void invalidate(Rect local);

    // Events; the screens override what they handle.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Click() {}
    virtual void Form_MouseDown(int button, int shift, int x, int y) {
        (void)button, (void)shift, (void)x, (void)y;
    }
    virtual void Form_MouseMove(int button, int shift, int x, int y) {
        (void)button, (void)shift, (void)x, (void)y;
    }
    virtual void Form_MouseUp(int button, int shift, int x, int y) {
        (void)button, (void)shift, (void)x, (void)y;
    }
    virtual void Form_KeyDown(int& keyCode, int shift) { (void)keyCode, (void)shift; }
    virtual void Form_KeyUp(int& keyCode, int shift) { (void)keyCode, (void)shift; }
    // Set cancel to true to refuse the unload.
    virtual void Form_QueryUnload(bool& cancel) { (void)cancel; }
    virtual void Form_Unload() {}

    // Controls in z-order, back to front (maintained by Control).
    const std::vector<Control*>& controls() const { return controls_; }
    // The topmost visible control under a point (form pixels), or nullptr.
    Control* controlAt(Point p) const;

    // Keyboard focus.
    Control* focus() const { return focus_; }
    void setFocus(Control* c);

    // Paints the form with its top-left at `origin` of `target`, nothing
    // outside `clip` (by default the whole target).
    void paint(Picture& target, Point origin) { paint(target, origin, target.rect()); }
    void paint(Picture& target, Point origin, Rect clip);

  private:
    friend class Control;
    friend class Runtime;
    friend class Timer;
    Runtime* rt_;
    Rect rect_{0, 0, 640, 480};
    Color back_ = 0;
    Picture picture_;
    Picture surface_;
    const Picture* instead_ = nullptr;
    bool visible_ = false;
    bool topmost_ = false;
    bool unloading_ = false;
    Cursor cursor_;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    Control* focus_ = nullptr;
};

} // namespace ui
