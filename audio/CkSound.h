// A sound: one playing instance of a bank sample or of a stream, with its
// volume, pan, speed, pause, loop, a next sound to chain to and an optional
// place in 3D. Sounds are made by the two factories and end through destroy().
#pragma once

#include "audio/CkTypes.h"

class CkBank;
class CkEffectBus;
class CkMixer;

class CkSound {
  public:
    // Null means the master mixer.
    virtual void setMixer(CkMixer* mixer) = 0;
    virtual CkMixer* getMixer() const = 0;

    // Loaded, and no play is waiting for that.
    virtual bool isReady() const = 0;
    virtual bool isFailed() const = 0;

    // Starts from the beginning, also when playing; a sound still loading starts once it is ready.
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    virtual void setPaused(bool paused) = 0;
    virtual bool isPaused() const = 0;
    // Paused itself or through its mixer.
    virtual bool getMixedPauseState() const = 0;

    // In frames; an end of -1 is the end of the sound.
    virtual void setLoop(int startFrame, int endFrame) = 0;
    virtual void getLoop(int& startFrame, int& endFrame) const = 0;
    // 0 plays once, n repeats the loop n more times, -1 loops until released.
    virtual void setLoopCount(int count) = 0;
    virtual int getLoopCount() const = 0;
    virtual int getCurrentLoop() const = 0;
    // Plays on past the loop end to the end of the sound.
    virtual void releaseLoop() = 0;
    virtual bool isLoopReleased() const = 0;

    virtual void setPlayPosition(int frame) = 0;
    virtual void setPlayPositionMs(float ms) = 0;
    virtual int getPlayPosition() const = 0;
    virtual float getPlayPositionMs() const = 0;

    virtual void setVolume(float volume) = 0;
    virtual float getVolume() const = 0;
    // The volume times the mixer's mixed volume.
    virtual float getMixedVolume() const = 0;

    // -1 left .. +1 right.
    virtual void setPan(float pan) = 0;
    virtual float getPan() const = 0;
    // Left out = L ll + R rl, right out = L lr + R rr.
    virtual void setPanMatrix(float ll, float lr, float rl, float rr) = 0;
    virtual void getPanMatrix(float& ll, float& lr, float& rl, float& rr) const = 0;

    // In halftones: 12 doubles the speed.
    virtual void setPitchShift(float halftones) = 0;
    virtual float getPitchShift() const = 0;
    virtual void setSpeed(float speed) = 0;
    virtual float getSpeed() const = 0;

    // The sound that starts, without a gap, when this one ends.
    virtual void setNextSound(CkSound* next) = 0;
    virtual CkSound* getNextSound() const = 0;

    // -1 while not ready.
    virtual int getLength() const = 0;
    virtual float getLengthMs() const = 0;
    virtual int getSampleRate() const = 0;
    virtual int getChannels() const = 0;

    // Null: no bus of its own.
    virtual void setEffectBus(CkEffectBus* bus) = 0;
    virtual CkEffectBus* getEffectBus() const = 0;

    virtual void set3dEnabled(bool enabled) = 0;
    virtual bool is3dEnabled() const = 0;
    // Too far away to be heard.
    virtual bool isVirtual() const = 0;
    virtual void set3dPosition(float x, float y, float z) = 0;
    virtual void get3dPosition(float& x, float& y, float& z) const = 0;
    virtual void set3dVelocity(float vx, float vy, float vz) = 0;
    virtual void get3dVelocity(float& vx, float& vy, float& vz) const = 0;

    virtual void destroy() = 0;

    // A sample of `bank` by name, or of any loaded bank when `bank` is null; null when there is none.
    static CkSound* createFromBank(CkBank* bank, const char* name);
    // A stream file (".cks") or an Ogg Vorbis file; `length` < 1 takes the rest of the file, and a
    // stream inside a larger file (offset above 0) names its extension. Null on failure.
    static CkSound* createFromStream(const char* path, int pathType, int offset = 0, int length = 0,
                                     const char* extension = nullptr);

  protected:
    virtual ~CkSound() = default;
};
