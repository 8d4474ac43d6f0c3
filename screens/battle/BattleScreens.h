// The battle screens as the program is built with them: the scene makers
// of the map, the panes, the ship list and the result screen for the pool,
// and the battle's sequences in the table by sequence type.
#pragma once

#include "app/GameControl.h"

namespace Marevane::Battle {

// Puts the battle scenes' makers into the table, in place of any there.
void AddSceneMakers(SceneMakers& makers);
// Fills the sequence table with the battle's sequences.
void RegisterSequences();
// Adds the battle screens to the screens of game control and registers
// their sequences.
void AddScreens(GameScreens& screens);

} // namespace Marevane::Battle
