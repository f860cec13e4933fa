// A small picture dialog with one message and two buttons, topmost. The
// caller shows it and polls ReturnCode:
//
//     msgFrm* dlg = msgFrm::open(app, 2);
//     while (dlg->ReturnCode == -1)
//         app.runtime.yieldWait();
//
// The dialog unloads itself on a click; it stays readable until the loop is
// back at its outermost level.
#pragma once

#include "controls/mybutton.h"
#include "core/App.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"
#include "ui/Form.h"

#include <cstdint>

namespace controls {

class msgFrm : public ui::Form {
  public:
    explicit msgFrm(core::App& app);
    ~msgFrm() override;

    // Loads the dialog with message `msgNum` (1..3) and ReturnCode -1.
    static msgFrm* open(core::App& app, std::int16_t msgNum);

    core::App& app;
    // Which message picture shows: LABEL01..LABEL03.
    std::int16_t MsgNum = 0;
    // -1 while waiting, 1 for the first button, 0 for the second.
    std::int16_t ReturnCode = -1;
    void setMsgNum(std::int16_t n);

    ui::Image msgImg;
    ui::ControlArray<mybutton> btnMyBtn;

    void Form_Load() override;
    void Form_Unload() override;
    void btnMyBtn_mouseclick(int index);
};

} // namespace controls
