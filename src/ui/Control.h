// Controls placed on a form, in z-order, with the events the screens handle.
#pragma once

#include "ui/Gfx.h"

#include <functional>
#include <string>

namespace ui {

class Form;
class Runtime;

using MouseHandler = std::function<void(int button, int shift, int x, int y)>;

class Control {
  public:
    // Registers the control on top of `form`'s z-order.
    explicit Control(Form& form);
    // A copy (a new member of a control array) lands on top of the z-order,
    // hidden, with the same properties and no event handlers of its own.
    Control(const Control& other);
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    Form& form() const { return *form_; }
    Runtime& runtime() const;

    // Position and size in the form's pixels.
    int left() const { return rect_.x; }
    int top() const { return rect_.y; }
    int width() const { return rect_.w; }
    int height() const { return rect_.h; }
    Rect rect() const { return rect_; }
    void move(int left, int top);
    void move(int left, int top, int width, int height);
    virtual void resize(int width, int height);

    bool visible() const { return visible_; }
    void setVisible(bool v);
    bool enabled() const { return enabled_; }
    virtual void setEnabled(bool e);

    const Cursor& mousePointer() const { return cursor_; }
    void setMousePointer(const Cursor& c);
    void setMousePointer(CursorShape s) { setMousePointer(Cursor::standard(s)); }

    const std::string& toolTipText() const { return toolTip_; }
    void setToolTipText(std::string t) { toolTip_ = std::move(t); }

    // Front of the z-order (0) or back (1), as the classic ZOrder call.
    void zOrder(int position = 0);

    // Marks the form for repainting.
    void invalidate();

    // Events. Coordinates are relative to the control.
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    MouseHandler onMouseUp;

    // Called by the runtime; a control overrides these for its own behaviour
    // and calls the base to raise the events.
    virtual void mouseDown(int button, int shift, int x, int y);
    virtual void mouseMove(int button, int shift, int x, int y);
    virtual void mouseUp(int button, int shift, int x, int y);
    virtual void click();
    virtual void keyDown(int& key, int shift) { (void)key, (void)shift; }
    virtual void keyUp(int& key, int shift) { (void)key, (void)shift; }
    virtual void textInput(const std::string&) {}
    virtual void focusGot() {}
    virtual void focusLost() {}
    virtual bool acceptsFocus() const { return false; }
    // Whether a point (control pixels) belongs to the control for the mouse.
    virtual bool hitTest(Point) const { return true; }

    // Paints the control with its top-left at `origin` of `target`.
    virtual void paint(Picture& target, Point origin) = 0;

  private:
    Form* form_;
    Rect rect_;
    bool visible_ = true;
    bool enabled_ = true;
    Cursor cursor_;
    std::string toolTip_;
};

} // namespace ui
