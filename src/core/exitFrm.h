// The goodbye screen: a picture and its sound, then the end of the process
// after 150 ticks of 50 ms, or at once on a click.
#pragma once

#include "core/Screen.h"
#include "ui/Controls.h"

#include <cstdint>

namespace core {

class exitFrm : public Screen {
  public:
    explicit exitFrm(App& app);

    ui::Timer exitTimer;
    // 50 ms ticks left before the program ends.
    std::int16_t exitTicks = 0;

    void Form_Load() override;
    void Form_Click() override;
    void Form_Unload() override;
    void exitTimer_Timer();

  protected:
    void build() override;

  private:
    void endProgram();
};

} // namespace core
