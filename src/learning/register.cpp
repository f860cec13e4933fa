#include "core/App.h"

namespace learning {

// The screens of this folder, by form name.
void registerScreens(core::App& a) { (void)a; }

} // namespace learning
