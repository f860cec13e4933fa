// The main menu: the verse box, the twelve learning functions, the command
// areas and picture buttons, the animated logo; the way into every page, the
// game hub, help and the exit screen.
#pragma once

#include "controls/mybutton.h"
#include "core/Screen.h"
#include "media/TransitionImage.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"

#include <cstdint>
#include <string>

namespace menu {

class menuFrm : public core::Screen {
  public:
    explicit menuFrm(core::App& app);
    ~menuFrm() override;

    // 0 verse number, 1 verse text, 2 number of verses for function 0.
    ui::ControlArray<ui::TextBox> textTxt;
    // 0 next, 1 previous, 2 recite, 3 enter, 4 count up, 5 count down,
    // 6 help, 7 exit, 8 games.
    ui::ControlArray<ui::Image> funcImg;
    // 0..11 the learning functions, 12 the frame beside the count box.
    ui::ControlArray<ui::Image> selectImg;
    // 0 enter, 1 games, 2 help, 3 exit.
    ui::ControlArray<controls::mybutton> btnMyBtn;
    media::TransitionImage FXImage1;
    ui::Timer Timer1; // idle prompt
    ui::Timer Timer2; // recitation delay
    ui::Timer Timer3; // logo change

    // The function whose area carries the selection mark.
    std::int16_t prevFunc = -1;
    std::u32string curVerseText;

    void Form_Load() override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_KeyUp(int& keyCode, int shift) override;
    void Form_MouseMove(int button, int shift, int x, int y) override;
    void Form_QueryUnload(bool& cancel) override;

    // Shows the selection mark on the current function, and the count box
    // with its buttons only for function 0.
    void SetSelected();
    // The verse text box shows the two lines with a full-width comma.
    void showVerse();

    void funcImg_MouseUp(int index, int button, int shift, int x, int y);
    void btnMyBtn_mouseclick(int index);
    void selectImg_Click(int index);
    void textTxt_Change(int index);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void FXImage1_TransitionFinished();

  protected:
    void build() override;
    void activated() override;

  private:
    void readLayout();
    void stepVerse(int delta);
    void stepCount(int delta);
    void recite();
    void help();
    void enter();
    void games();
    void exitMenu();
    // The page of the current function and the pageMode it is opened with;
    // an empty name for the frame picture.
    std::string pageOf(std::int16_t func, std::int16_t& mode);

    ui::Cursor menuPointer_;
};

} // namespace menu
