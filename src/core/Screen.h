// The load / first activation / busy protocol every screen follows.
#pragma once

#include "core/App.h"
#include "ui/Form.h"

#include <string>

namespace core {

class Screen : public ui::Form {
  public:
    explicit Screen(App& app);
    App& app;
    SharedState& g() { return app.state; }

    // First activation runs build(), then clears busy and firstActivate and
    // restores the pointer; every activation then runs activated().
    void Form_Activate() override;

  protected:
    // The load step: flags set, hourglass, setupForm, background picture
    // `picPath` + file (none when empty), shown in front.
    void loadScreen(int width, int height, const std::string& backgroundFile);
    virtual void build() {}
    virtual void activated() {}
    // Handlers return early while this is true.
    bool isBusy() const { return app.state.busy != 0; }
    // A picture of `picPath`; empty when missing.
    ui::Picture pic(const std::string& file);

  private:
    bool built_ = false;
};

} // namespace core
