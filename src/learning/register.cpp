#include "core/App.h"
#include "learning/funFrm0.h"
#include "learning/funFrm1.h"
#include "learning/funFrm3.h"
#include "learning/funFrm8.h"
#include "learning/funFrm9.h"

#include <memory>

namespace learning {

namespace {
template <class F> void add(core::App& a, const char* name) {
    a.registerScreen(name, [](core::App& app) { return std::make_unique<F>(app); });
}
} // namespace

// The screens of this folder, by form name.
void registerScreens(core::App& a) {
    add<funFrm1>(a, "funFrm1");
    add<funFrm3>(a, "funFrm3");
    add<funFrm8>(a, "funFrm8");
    add<funFrm9>(a, "funFrm9");
    add<funFrm0>(a, "funFrm0");
}

} // namespace learning
