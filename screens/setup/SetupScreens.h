// The screens of this library as the program is built with them: the scene
// makers for the pool, the title and the system configuration for game
// control, and their sequences in the table by sequence type.
#pragma once

#include "app/GameControl.h"

namespace Marevane::Setup {

SceneMakers MakeSceneMakers();
// Fills the sequence table with this library's sequences.
void RegisterSequences();
// The screens for game control; registers the sequences too.
GameScreens MakeScreens();

} // namespace Marevane::Setup
