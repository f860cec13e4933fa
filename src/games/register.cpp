#include "core/App.h"
#include "games/game01/game01Frm.h"
#include "games/game02/game02Frm.h"
#include "games/game03/game03Frm.h"
#include "games/game04/Game04Frm.h"
#include "games/game05/game05Frm.h"
#include "games/gameFrm.h"

#include <memory>

namespace games {

// The screens of this folder, by form name.
void registerScreens(core::App& a) {
    a.registerScreen("gameFrm", [](core::App& app) { return std::make_unique<gameFrm>(app); });
    a.registerScreen("game01Frm", [](core::App& app) { return std::make_unique<game01Frm>(app); });
    a.registerScreen("game02Frm", [](core::App& app) { return std::make_unique<game02Frm>(app); });
    a.registerScreen("game05Frm", [](core::App& app) { return std::make_unique<game05Frm>(app); });
    a.registerScreen("game03Frm", [](core::App& app) { return std::make_unique<game03Frm>(app); });
    a.registerScreen("Game04AFrm",
                     [](core::App& app) { return std::make_unique<Game04AFrm>(app); });
    a.registerScreen("Game04BFrm",
                     [](core::App& app) { return std::make_unique<Game04BFrm>(app); });
    a.registerScreen("Game04CFrm",
                     [](core::App& app) { return std::make_unique<Game04CFrm>(app); });
}

} // namespace games
