// What the shell asks of the sound managers: building and tearing them
// down, the volumes and mutes of the settings, the system bank, the effects
// of the menus and the title theme. The shell goes through this seam so
// tests can record the calls without an audio device.
#pragma once

#include "sound/SoundTypes.h"

#include <memory>

namespace Marevane {

class CSoundControl {
  public:
    virtual ~CSoundControl() = default;

    // Builds the managers: the sound manager (the engine) first.
    virtual void Start() {}
    // Tears them down in the reverse order; the engine stops last.
    virtual void Stop() {}

    // The master volume in percent (clamped to 0..100), and its mute.
    virtual void SetMasterVolume(int) {}
    virtual void SetMasterMute(bool) {}
    virtual void SetBgmMute(bool) {}
    virtual void SetBgmVolume(int) {}
    virtual void SetSeVolume(int) {}
    virtual void SetSeMute(bool) {}

    virtual void LoadSe(Sound::SeType) {}
    virtual void UnloadSe(Sound::SeType) {}
    virtual void PlaySe(Sound::SeCode, bool) {}
    virtual void PlayBgm(Sound::BgmCode) {}
    virtual void StopBgm() {}
    // A track of the group drawn at random (the battle's music); without
    // the managers the draw is still made, so the choice can be kept.
    virtual Sound::BgmCode ChooseBgm(Sound::BgmType type);
};

// The control the program uses: the game's sound managers.
std::unique_ptr<CSoundControl> CreateSoundControl();

} // namespace Marevane
