#include "app/SoundControl.h"

namespace Marevane {

std::unique_ptr<CSoundControl> CreateSoundControl()
{
    // Silent until the sound managers are in the program.
    return std::make_unique<CSoundControl>();
}

} // namespace Marevane
