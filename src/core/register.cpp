#include "core/App.h"

namespace core {

// The screens of this folder, by form name.
void registerScreens(App& a) {
    (void)a;
}

} // namespace core
