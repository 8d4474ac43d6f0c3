// The scene pool's makers of the panes beside the battle map: the player
// status pane, the ship list of fleet formation, the status detail screen,
// the message pane and the help pane, each in its own view.
#pragma once

#include "app/ScenePool.h"

namespace Marevane {

// Puts the panes' makers into the table, in place of any there.
void AddPaneSceneMakers(SceneMakers& makers);

} // namespace Marevane
