// The part of every sound that lives on the program's thread: volume, pan,
// speed, pause, the next sound, 3D placement, and the engine's list of all
// sounds with their per-update step. The graph sound adds the render side.
#pragma once

#include "audio/CkSound.h"
#include "audio/IntrusiveList.h"
#include "audio/Mixer.h"

#include <cstdint>

namespace Daz {

class Sound : public CkSound, public MixerMember {
  public:
    // The clock of pause times and virtual stops, in nanoseconds; null
    // restores the steady clock. For tests.
    typedef std::int64_t (*Clock)();
    static void setClock(Clock clock);
    static std::int64_t now();

    void setMixer(CkMixer* mixer) override;
    CkMixer* getMixer() const override { return getMemberMixer(); }
    bool isReady() const override { return isSourceReady() && !m_playPending; }
    void play() override;
    void stop() override;
    void setPaused(bool paused) override;
    bool isPaused() const override { return m_paused; }
    bool getMixedPauseState() const override;
    void setVolume(float volume) override;
    float getMixedVolume() const override;
    void setPan(float pan) override;
    float getPan() const override;
    void setPanMatrix(float ll, float lr, float rl, float rr) override;
    void getPanMatrix(float& ll, float& lr, float& rl, float& rr) const override;
    void setPitchShift(float halftones) override;
    float getPitchShift() const override;
    void setSpeed(float speed) override;
    float getSpeed() const override { return m_speed; }
    void setNextSound(CkSound* next) override;
    CkSound* getNextSound() const override { return m_next; }
    void set3dEnabled(bool enabled) override;
    bool is3dEnabled() const override { return m_3dEnabled; }
    bool isVirtual() const override { return m_virtual; }
    void set3dPosition(float x, float y, float z) override;
    void get3dPosition(float& x, float& y, float& z) const override;
    void set3dVelocity(float vx, float vy, float vz) override;
    void get3dVelocity(float& vx, float& vy, float& vz) const override;

    // The engine's sounds, oldest first.
    static Sound* getFirst() { return s_all.getFirst(); }
    Sound* getNextInList() const { return m_nextInList; }
    static int getCount() { return s_all.getCount(); }
    // Every sound's per-update step, in list order.
    static void updateAll();
    void update();

    float get3dGain() const { return m_3dGain; }
    float get3dPan() const { return m_3dPan; }
    float getDopplerFactor() const { return m_doppler; }
    // How long the sound would still play from here, in ms; -1 without end.
    float getRemainingMs() const;
    // The remaining time taken when the sound last became virtual; -1 for none.
    float getVirtualStopMs() const { return m_virtualStopMs; }
    // The four gains sent to the render side: pan or matrix times the mixed
    // volume, or the 3D pan and gain.
    void getOutputGains(float gains[4]) const;

  protected:
    Sound();
    ~Sound() override;

    // The common part of destroy: out of the list, unchained, stopped and off its mixer.
    void leaveEverything();
    // No sound has this one as its next sound any more.
    void leavePredecessors();
    float getOwnVolume() const { return m_volume; }
    // The sample info's volume and pan, unless the program has set its own.
    void takeInfoVolume(float volume);
    void takeInfoPan(float pan);
    // The speed the render side plays at: with 3D, times the Doppler factor.
    float getEffectiveSpeed() const;

    // The graph sound's side of each change.
    virtual bool isSourceReady() const = 0;
    virtual void volumeChanged() = 0;
    virtual void pauseChanged() = 0;
    // Whether the sound may be chained to and from.
    virtual bool isChainable() const = 0;
    virtual void updateSelf() = 0;
    virtual void speedChanged() = 0;
    virtual void startNode() = 0;
    virtual void stopNode() = 0;
    virtual void nextChanged() = 0;

  private:
    void mixerVolumeChanged() override;
    void mixerPauseChanged() override;
    void moveToMixer(Mixer* mixer) override;
    void notePauseState();
    void run3d();
    void becameVirtual();
    std::int64_t getClockNs() const;
    void removePredecessor(Sound* sound);
    void unlinkFromList();

    float m_volume = 1.0f;
    bool m_volumeSet = false;
    float m_pan = 0.0f;
    // As render gains: left out = L m1 + R m2, right out = L m3 + R m4.
    float m_matrix[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    bool m_matrixInUse = false;
    bool m_panSet = false;
    bool m_paused = false;
    float m_speed = 1.0f;
    Sound* m_next = nullptr;
    bool m_3dEnabled = false;
    float m_3dGain = 1.0f;
    float m_3dPan = 0.0f;
    float m_doppler = 1.0f;
    float m_position[3] = {};
    float m_velocity[3] = {};
    bool m_virtual = false;
    // Clock ticks: when the sound became effectively paused (-1: it is not),
    // and the paused time since the sound's clock started.
    std::int64_t m_pauseStart = -1;
    std::int64_t m_pausedTotal = 0;
    std::int64_t m_clockStart = 0;
    float m_virtualStopMs = -1.0f;
    bool m_playPending = false;
    bool m_effectivelyPaused = false;

    // The sounds whose next sound this one is.
    Sound* m_firstPredecessor = nullptr;
    Sound* m_nextPredecessor = nullptr;
    Sound* m_prevInList = nullptr;
    Sound* m_nextInList = nullptr;

    // Every sound, oldest first.
    static IntrusiveList<Sound, &Sound::m_prevInList, &Sound::m_nextInList> s_all;
};

} // namespace Daz
