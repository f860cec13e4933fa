// The program's picture button: one of four frames of a picture strip
// (normal, mouse over, pressed, disabled) or, without a picture, a coloured
// box with a border; an outlined caption over it; click, enter and leave
// events.
#pragma once

#include "gfx/Picture.h"
#include "ui/Control.h"

#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace controls {

// A saved property: booleans, integers and colours as numbers, the caption
// as text, the strip as a picture.
using PropertyValue = std::variant<long, std::string, ui::Picture>;
using PropertyBag = std::map<std::string, PropertyValue>;

struct PropertyDefault {
    const char* key;
    PropertyValue value;
};

class mybutton : public ui::Control {
  public:
    enum State { Normal = 0, Over = 1, Pressed = 2, Disabled = 3 };

    // A button as a screen declares it: the saved defaults (no caption, no
    // border, picture-less); screens then give it a picture.
    explicit mybutton(ui::Form& form);
    // A new member of a control array: same properties, no handlers.
    mybutton(const mybutton& other);

    // The looks of a button newly placed on a form ("确  定" in a light
    // green box with a border).
    void initProperties();
    // Saved properties: missing keys take their defaults; values equal to
    // the default are left out when writing.
    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag) const;
    // In reading order.
    static const std::vector<PropertyDefault>& savedDefaults();

    const ui::Picture& Picture() const { return picture_; }
    void setPicture(const ui::Picture& p);
    // The button's own Enabled: a disabled button shows the fourth frame and
    // ignores press and move, but still hears a release.
    bool Enabled() const { return enabledProp_; }
    void setEnabled(bool e) override;
    bool border() const { return border_; }
    void setBorder(bool b);
    int btntype() const { return btntype_; }
    void setBtntype(int t);
    int value() const { return value_; }
    void setValue(int v);
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& c);
    ui::Color forecolor() const { return forecolor_; }
    void setForecolor(ui::Color c);
    ui::Color backcolor() const { return backcolor_; }
    void setBackcolor(ui::Color c);
    int pwidth() const { return pwidth_; }
    void setPwidth(int w);
    int pheight() const { return pheight_; }
    void setPheight(int h);
    ui::Color pforecolor() const { return pforecolor_; }
    void setPforecolor(ui::Color c);
    ui::Color pbackcolor() const { return pbackcolor_; }
    void setPbackcolor(ui::Color c);
    ui::Color pbordercolor() const { return pbordercolor_; }
    void setPbordercolor(ui::Color c);

    int state() const { return state_; }

    std::function<void()> onMouseclick;
    std::function<void()> onMouseover;
    std::function<void()> onMouseleave;

    void mouseDown(int button, int shift, int x, int y) override;
    void mouseMove(int button, int shift, int x, int y) override;
    void mouseUp(int button, int shift, int x, int y) override;
    void focusLost() override;
    void resize(int width, int height) override;
    void paint(ui::Picture& target, ui::Point origin) override;

    // What the button shows now (its size), for tests and screenshots.
    const ui::Picture& face();

  private:
    bool pictureMode() const { return !picture_.empty(); }
    void redraw();
    void compose();
    void drawCaption();
    void apply(const std::string& key, const PropertyValue& v);
    PropertyValue current(const std::string& key) const;
    static void raise(const std::function<void()>& event);

    ui::Picture picture_;
    bool enabledProp_ = true;
    bool border_ = false;
    int btntype_ = 0;
    int value_ = 0;
    std::string caption_;
    ui::Color forecolor_ = ui::rgb(255, 255, 255);
    ui::Color backcolor_ = ui::rgb(0, 0, 0);
    int pwidth_ = 800;
    int pheight_ = 300;
    ui::Color pforecolor_ = ui::rgb(255, 255, 255);
    ui::Color pbackcolor_ = ui::rgb(0, 0, 0);
    ui::Color pbordercolor_ = ui::rgb(0, 0, 0);
    int state_ = Normal;

    ui::Picture face_;
    bool dirty_ = true;
};

} // namespace controls
