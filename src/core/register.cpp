#include "core/App.h"
#include "core/exitFrm.h"

namespace core {

// The screens of this folder, by form name.
void registerScreens(App& a) {
    a.registerScreen("exitFrm", [](App& app) { return std::make_unique<exitFrm>(app); });
}

} // namespace core
