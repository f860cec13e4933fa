#include "core/App.h"

namespace menu {

// The screens of this folder, by form name.
void registerScreens(core::App& a) { (void)a; }

} // namespace menu
