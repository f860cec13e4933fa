#include "core/App.h"
#include "menu/menuFrm.h"

namespace menu {

// The screens of this folder, by form name.
void registerScreens(core::App& a) {
    a.registerScreen("menuFrm", [](core::App& app) { return std::make_unique<menuFrm>(app); });
}

} // namespace menu
