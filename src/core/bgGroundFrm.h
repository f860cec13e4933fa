// The black backdrop: the start-up object, host of the sound players and the
// sound timer for the whole run.
#pragma once

#include "core/App.h"
#include "media/SoundPlayer.h"
#include "ui/Controls.h"
#include "ui/Form.h"

#include <memory>

namespace core {

class bgGroundFrm : public ui::Form {
  public:
    explicit bgGroundFrm(App& app);
    ~bgGroundFrm() override;
    App& app;
    std::unique_ptr<media::SoundPlayer> FXSnd1;    // effects
    std::unique_ptr<media::SoundPlayer> midiFXSnd; // music
    ui::Timer soundTimer;

    void Form_Load() override;
    void Form_Click() override;
    void soundTimer_Timer();
    void FXSnd1_End();
    void midiFXSnd_End();

  private:
    friend class App;
    // The runtime may destroy the backdrop after the App has gone.
    bool appGone_ = false;
};

} // namespace core
