// The music manager: one background track at a time from the music streams,
// on the engine mixer "BGM". It starts a track once its stream is ready,
// fades it in and out by steering the engine's volume ramp, loops it at the
// loop points of the tables, picks tracks at random within a group and
// lowers the music while sound effects ask for it (ducking).
#pragma once

#include "sound/SoundTimer.h"
#include "sound/SoundTypes.h"

#include <QObject>

class CkMixer;
class CkSound;

namespace Marevane {
namespace Sound {

class CBgmManager : public QObject {
    Q_OBJECT
  public:
    // Built on first use; the sound manager (the engine) comes first.
    static CBgmManager* GetInstance();
    // The effect manager, which ducks the music, goes first.
    static void DestroyInstance();
    static bool HasInstance();

    ~CBgmManager() override;

    BgmCode GetCurrentId() const { return m_currentId; }
    // The track loaded or playing, if any.
    CkSound* GetCurrentSound() const { return m_sound; }
    CkMixer* GetMixer() const { return m_mixer; }
    // The volume the user set; fades and ducks leave it alone.
    float GetVolume() const { return m_volume; }
    float GetSpeed() const { return m_speed; }
    bool IsMute() const { return m_isMute; }
    bool IsStopping() const { return m_isStopping; }
    // Whether the stream is still being waited for.
    bool IsLoading() const { return m_pollTimer.IsActive(); }
    int GetPendingDucks() const { return m_pendingDucks; }

  signals:
    // The current track has been stopped and destroyed.
    void Stopped();

  public slots:
    void Play();
    void Play(Marevane::Sound::BgmCode id);
    void PlayAtRandom();
    void PlayAtRandom(Marevane::Sound::BgmType type);
    // Steps through the codes, from the last back to 0.
    void PlayNext();
    // Steps back, staying at 0.
    void PlayPrev();
    void Suspend();
    void Resume();
    void Stop();
    void SetCurrentId(Marevane::Sound::BgmCode id);
    void SetIdAtRandom();
    void SetIdAtRandom(Marevane::Sound::BgmType type);
    void SetPaused(bool isPaused);
    void SetFadeInTime(float fadeInTime);
    void SetFadeOutTime(float fadeOutTime);
    void SetFadeInEnabled(bool isEnabled);
    void SetFadeOutEnabled(bool isEnabled);
    void SetLoopEnabled(bool isEnabled);
    void SetSpeed(float speed);
    void SetVolume(float vol);
    void SetVolume(int vol);
    void TurnVolumeUp(float step);
    void TurnVolumeDown(float step);
    void SetMute(bool isMute);
    // Lowers the music to volume × `volRate` for `millisec` ms; overlapping
    // ducks hold it down until the last one ends.
    void ApplySideChain(int millisec, float volRate);
    // Sets the mixer alone (percent, clamped); the stored volume stays.
    void ChangeMixerVolume(int vol);

  private slots:
    void PlayAfterStop();

  private:
    CBgmManager();

    void Poll();
    void StartFadeIn();
    void RaiseAfterFadeInStart();
    void StartFadeOut();
    void FinishStop();
    void DestroySound();
    // The mixer's volume from the state: muted, fading out, waiting to fade
    // in, ducked, or the stored volume.
    void ApplyMixer();
    void SetMixer(float vol);
    // The engine's volume ramp for a fade, and back to the one before. The
    // ramp is the engine's: while a fade runs, every other gain change (an
    // effect's volume, a duck) moves as slowly.
    void BeginRamp(float ms);
    void EndRamp();

    CkSound* m_sound = nullptr;
    CkMixer* m_mixer = nullptr;
    CSoundTimer m_pollTimer;
    BgmCode m_currentId = BgmNone;
    int m_loopCount = -1;
    float m_speed = 1.0f;
    float m_volume = 1.0f;
    float m_fadeInTime = 2000.0f;
    float m_fadeOutTime = 2000.0f;
    bool m_isMute = false;
    bool m_isFadeInEnabled = false;
    bool m_isFadeOutEnabled = false;
    bool m_isLoopEnabled = false;
    bool m_isPlayAfterStop = false;
    bool m_isStopping = false;

    // A fade-in: started and waiting for the raise, then rising.
    bool m_isFadeInHeld = false;
    bool m_isFadingOut = false;
    bool m_isRampSaved = false;
    float m_savedRampMs = 0.0f;
    CSoundTimer m_fadeInEnd;
    CSoundTimer m_fadeOutEnd;
    CSoundTimer m_trackEndFade;

    int m_pendingDucks = 0;
    float m_duckRate = 1.0f;
    CSingleShots m_duckEnds;
};

} // namespace Sound
} // namespace Marevane
