#include "controls/msgFrm.h"

#include "core/PublicM.h"
#include "resources/Resources.h"
#include "ui/Runtime.h"

#include <string>

namespace controls {

msgFrm::msgFrm(core::App& a) : ui::Form(a.runtime), app(a), msgImg(*this), btnMyBtn(*this) {
    msgImg.setVisible(false);
    btnMyBtn[0].setVisible(false);
}

msgFrm::~msgFrm() = default;

msgFrm* msgFrm::open(core::App& app, std::int16_t msgNum) {
    auto* dlg = dynamic_cast<msgFrm*>(app.load("msgFrm"));
    if (!dlg)
        dlg = &app.runtime.load(std::make_unique<msgFrm>(app));
    dlg->setMsgNum(msgNum);
    dlg->ReturnCode = -1;
    return dlg;
}

void msgFrm::setMsgNum(std::int16_t n) {
    MsgNum = n;
    // Numbers other than 1..3 name no picture: the message stays blank.
    msgImg.setPicture(n >= 1 && n <= 3 ? resources::resourceBitmap("LABEL0" + std::to_string(n))
                                       : ui::Picture{});
}

void msgFrm::Form_Load() {
    core::setupForm(app, *this, 240, 100);
    setPicture(resources::resourceBitmap("DLGBOX"));
    msgImg.move(56, 14, 169, 35);
    setMsgNum(MsgNum);
    msgImg.setVisible(true);
    for (int i = 0; i < 2; ++i) {
        mybutton& b = btnMyBtn.load(i);
        b.move(i == 0 ? 29 : 128, 53, 82, 36);
        b.setPicture(resources::resourceBitmap(i == 0 ? "BUTN01" : "BUTN02"));
        b.onMouseclick = [this, i] { btnMyBtn_mouseclick(i); };
        b.setVisible(true);
    }
    ReturnCode = -1;
    show();
    setTopmost(true);
}

void msgFrm::btnMyBtn_mouseclick(int index) {
    core::queueSound(app, 8);
    ReturnCode = index == 0 ? 1 : 0;
    unload();
}

void msgFrm::Form_Unload() {
    msgImg.setVisible(false);
    msgImg.setPicture({});
    btnMyBtn.forEach([](int, mybutton& b) {
        b.setVisible(false);
        b.setPicture({});
    });
    setPicture({});
}

} // namespace controls
