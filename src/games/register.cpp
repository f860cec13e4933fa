#include "core/App.h"

namespace games {

// The screens of this folder, by form name.
void registerScreens(core::App& a) { (void)a; }

} // namespace games
