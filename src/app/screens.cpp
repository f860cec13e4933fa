#include "app/screens.h"

namespace core {
void registerScreens(App& a);
}
namespace controls {
void registerScreens(core::App& a);
}
namespace menu {
void registerScreens(core::App& a);
}
namespace learning {
void registerScreens(core::App& a);
}
namespace games {
void registerScreens(core::App& a);
}

namespace app {

void registerScreens(core::App& a) {
    core::registerScreens(a);
    controls::registerScreens(a);
    menu::registerScreens(a);
    learning::registerScreens(a);
    games::registerScreens(a);
}

} // namespace app
