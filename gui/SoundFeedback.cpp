#include "gui/SoundFeedback.h"

#include <QtGlobal>

#include <exception>
#include <utility>

namespace Marevane {

namespace {

SoundEffectPlayer& Player()
{
    static SoundEffectPlayer player;
    return player;
}

} // namespace

SoundEffectPlayer SetSoundEffectPlayer(SoundEffectPlayer player)
{
    return std::exchange(Player(), std::move(player));
}

void PlaySoundEffect(Sound::SeCode code, bool applyDucking)
{
    if (code == Sound::SeNone || !Player()) return;
    // Feedback runs inside event handlers; a failing sound must not end the program.
    try {
        Player()(code, applyDucking);
    } catch (const std::exception& error) {
        qWarning("Sound effect %u failed: %s", static_cast<unsigned>(code), error.what());
    }
}

} // namespace Marevane
