// The standard controls: Label, Image, PictureBox, TextBox, HScrollBar, Timer.
#pragma once

#include "platform/Platform.h"
#include "ui/Clock.h"
#include "ui/Control.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace ui {

class Timer;

enum class Align { Left, Center, Right };

struct Font {
    std::string name = "宋体";
    double size = 9; // points at 96 dpi
    bool bold = false;
    platform::FontSpec face() const { return {name, size, bold}; }
    bool operator==(const Font&) const = default;
};

class Label : public Control {
  public:
    using Control::Control;
    std::string caption; // UTF-8
    Font font;
    Color foreColor = 0;
    Color backColor = rgb(255, 255, 255);
    bool transparent = false; // BackStyle 0
    Align alignment = Align::Left;
    bool wordWrap = true;
    void setCaption(std::string c) {
        caption = std::move(c);
        invalidate();
    }
    void paint(Picture& target, Point origin) override;

  private:
    struct Run {
        AlphaMask mask;
        int x = 0, y = 0;
    };
    // Rendered text, kept while the caption, font and width stay the same.
    std::string cachedCaption_;
    Font cachedFont_;
    int cachedWidth_ = -1;
    Align cachedAlign_ = Align::Left;
    bool cachedWrap_ = true;
    std::vector<Run> runs_;
};

// A click area that shows an optional picture.
class Image : public Control {
  public:
    using Control::Control;
    bool stretch = false;
    void setPicture(const Picture& p);
    const Picture& picture() const { return picture_; }
    void paint(Picture& target, Point origin) override;

  private:
    Picture picture_;
};

// A box with its own persistent drawing; hidden ones hold pictures.
class PictureBox : public Control {
  public:
    using Control::Control;
    Color backColor = rgb(255, 255, 255);
    bool autoSize = false;
    bool borderStyle = false;
    // Replaces the drawing with the back colour and the picture; with
    // autoSize the box takes the picture's size.
    void setPicture(const Picture& p);
    const Picture& picture() const { return picture_; }
    // The drawing (the box's size); draw, then invalidate().
    Picture& surface() { return surface_; }
    void cls();
    void resize(int width, int height) override;
    void paint(Picture& target, Point origin) override;
    // Text at (x, y) of the drawing.
    void print(Point at, std::string_view utf8, const Font& f, Color c);

  private:
    Picture picture_;
    Picture surface_;
};

// A one-line text box. The selection runs from the anchor to the caret; what
// is typed replaces it. Getting the keyboard focus selects the whole text, so
// a click into the box followed by typing replaces the old text.
class TextBox : public Control {
  public:
    explicit TextBox(Form& f) : Control(f) {}
    // A copy keeps the looks and the text, not the Change handler.
    TextBox(const TextBox& o)
        : Control(o), font(o.font), foreColor(o.foreColor), backColor(o.backColor),
          alignment(o.alignment), border(o.border), text_(o.text_), caret_(o.caret_),
          anchor_(o.anchor_) {}
    Font font;
    Color foreColor = 0;
    Color backColor = rgb(255, 255, 255);
    Align alignment = Align::Left;
    bool border = true;
    const std::string& text() const { return text_; }
    // Raises Change when the text differs. The caret goes to the end; a text
    // set while the box's own Change runs (a correction of what was typed) is
    // selected instead, so that the next key typed replaces it.
    void setText(std::string t);
    // Caret and selection, in characters.
    int caret() const { return caret_; }
    int selStart() const { return std::min(caret_, anchor_); }
    int selLength() const { return std::abs(caret_ - anchor_); }
    std::string selText() const;
    // Selects `length` characters from `start` (both clamped to the text),
    // with the caret at the end of the selection.
    void setSelection(int start, int length);
    void selectAll();
    std::function<void()> onChange;

    void mouseDown(int button, int shift, int x, int y) override;
    void mouseMove(int button, int shift, int x, int y) override;
    void mouseUp(int button, int shift, int x, int y) override;
    void keyDown(int& key, int shift) override;
    void textInput(const std::string& utf8) override;
    void focusGot() override;
    void focusLost() override;
    bool acceptsFocus() const override { return enabled() && visible(); }
    void paint(Picture& target, Point origin) override;

  private:
    int length() const;
    // The character boundary nearest to x (control pixels).
    int boundaryAt(int x) const;
    int textLeft() const;
    void moveCaret(int to, bool extend);
    void replaceSelection(const std::string& with);
    void changed();

    std::string text_;
    int caret_ = 0;
    int anchor_ = 0;
    // The focus came with the press now in progress (or without a press):
    // the select-all it made stays unless the pointer drags.
    bool selectedOnFocus_ = false;
    bool dragging_ = false;
    bool dragStarted_ = false;
    int dragFrom_ = 0;
    Micros lastPress_ = -1;
    Point lastPressAt_;
    int changing_ = 0;
};

class HScrollBar : public Control {
  public:
    explicit HScrollBar(Form& f);
    HScrollBar(const HScrollBar& o);
    ~HScrollBar() override;
    int min = 0;
    int max = 32767;
    int smallChange = 1;
    int largeChange = 1;
    int value() const { return value_; }
    // Clamps to min..max; raises Change when the value differs.
    void setValue(int v);
    std::function<void()> onChange;
    std::function<void()> onScroll; // while the thumb is dragged

    void mouseDown(int button, int shift, int x, int y) override;
    void mouseMove(int button, int shift, int x, int y) override;
    void mouseUp(int button, int shift, int x, int y) override;
    void paint(Picture& target, Point origin) override;

  private:
    int arrowWidth() const;
    Rect thumbRect() const;
    void step(int delta);
    int value_ = 0;
    int dragOffset_ = -1;
    int repeatDir_ = 0;
    int dragStart_ = 0;
    std::unique_ptr<Timer> repeat_;
};

// A timer of a form. The interval is honoured but never shorter than one
// loop tick (1/64 s); a late timer fires once without catching up.
class Timer {
  public:
    explicit Timer(Form& form, int intervalMs = 0, bool enabled = false);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    int interval() const { return interval_; }
    void setInterval(int ms);
    bool enabled() const { return enabled_; }
    void setEnabled(bool e);
    void start() { setEnabled(true); }
    void stop() { setEnabled(false); }
    std::function<void()> onTimer;

    Form& form() const { return *form_; }
    Micros due() const { return due_; }

  private:
    friend class Runtime;
    void schedule();
    Form* form_;
    int interval_;
    bool enabled_;
    bool running_ = false;
    Micros due_ = 0;
};

} // namespace ui
