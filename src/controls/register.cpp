#include "controls/msgFrm.h"
#include "core/App.h"

namespace controls {

// The screens of this folder, by form name.
void registerScreens(core::App& a) {
    a.registerScreen("msgFrm", [](core::App& app) { return std::make_unique<msgFrm>(app); });
}

} // namespace controls
