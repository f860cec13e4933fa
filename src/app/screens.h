// Every screen of the program, registered by form name.
#pragma once

#include "core/App.h"

namespace app {
void registerScreens(core::App& a);
}
