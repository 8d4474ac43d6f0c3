// The items' sound feedback. The items name a sound effect; the program
// decides what plays it: start-up installs a player that hands the code to
// the sound-effect manager, tests install a recorder, and without one the
// items stay silent.
#pragma once

#include "sound/SoundTypes.h"

#include <functional>

namespace Marevane {

// Plays one effect, lowering the music while it sounds when asked to.
using SoundEffectPlayer = std::function<void(Sound::SeCode code, bool applyDucking)>;

// Installs the player (an empty one silences the items); answers the one it
// replaces, so a caller can put it back. GUI thread only.
SoundEffectPlayer SetSoundEffectPlayer(SoundEffectPlayer player);

// Hands the code to the installed player; code 0 (none) plays nothing.
void PlaySoundEffect(Sound::SeCode code, bool applyDucking = true);

} // namespace Marevane
