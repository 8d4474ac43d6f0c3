// The sound-effect manager: short effects from the engine's sample banks, one
// bank file per bank type, on the engine mixer "SE". Many effects may sound
// at once; every started effect is kept in the live list until a 500 ms
// clean-up finds it finished. An effect may duck the music while it sounds.
#pragma once

#include "sound/SoundTimer.h"
#include "sound/SoundTypes.h"

#include <QObject>

#include <deque>
#include <map>
#include <vector>

class CkBank;
class CkMixer;
class CkSound;

namespace Marevane {
namespace Sound {

class CSeManager : public QObject {
    Q_OBJECT
  public:
    // Built on first use; the sound manager (the engine) and the music
    // manager, which it ducks, come first.
    static CSeManager* GetInstance();
    static void DestroyInstance();
    static bool HasInstance();

    ~CSeManager() override;

    // Whether any live effect plays, or one of `id`.
    bool IsPlaying() const;
    bool IsPlaying(SeCode id) const;

    CkMixer* GetMixer() const { return m_mixer; }
    // The bank of a type once loaded (null when its load failed), else null.
    CkBank* GetBank(SeType type) const;
    bool HasBankEntry(SeType type) const { return m_banks.count(type) != 0; }
    int GetLiveCount() const { return static_cast<int>(m_live.size()); }
    SeCode GetLastId() const { return m_lastId; }
    float GetVolume() const { return m_volume; }
    float GetSpeed() const { return m_speed; }
    bool IsMute() const { return m_isMute; }
    bool IsCleaningUp() const { return m_cleanUpTimer.IsActive(); }

  public slots:
    // Loads the bank file of the type once; a failed load is kept as null.
    void Load(Marevane::Sound::SeType type);
    // Stops and destroys the bank's live effects, then the bank.
    void Unload(Marevane::Sound::SeType type);
    void Play(Marevane::Sound::SeCode id);
    void Play(Marevane::Sound::SeCode id, bool applyDucking);
    // `count` plays of `id`, `interval` ms apart, the first from the event loop.
    void Play(Marevane::Sound::SeCode id, uint count, uint interval);
    void Play(std::vector<Marevane::Sound::SeCode> idList, uint interval);
    void PlayAtRandom();
    void PlayAtRandom(Marevane::Sound::SeType type);
    void PlayNext();
    void PlayPrev();
    void Stop();
    void Suspend();
    void Resume();
    void SetPaused(bool isPaused);
    void SetLoopEnabled(bool isEnabled);
    void SetSpeed(float speed);
    void SetVolume(float vol);
    void SetVolume(int vol);
    // From the stored volume, not clamped.
    void TurnVolumeUp(float step);
    void TurnVolumeDown(float step);
    // Unmuting brings the stored volume back.
    void SetMute(bool isMute);
    // Sets the mixer alone (percent, clamped); the stored volume stays.
    void ChangeMixerVolume(int vol);

  private slots:
    void DeleteStoppedPlayer();

  private:
    // One started effect: its code, the sound and the bank it plays from.
    struct LiveEffect {
        SeCode id;
        CkSound* sound;
        CkBank* bank;
    };

    CSeManager();

    void SetMixer(float vol);
    // The loaded bank that holds the cue, for an effect whose own bank failed.
    CkBank* FindHolder(const char* cue) const;

    std::map<SeType, CkBank*> m_banks;
    std::deque<LiveEffect> m_live;
    CkMixer* m_mixer = nullptr;
    CSoundTimer m_cleanUpTimer;
    SeCode m_lastId = SeNone;
    int m_loopCount = 0;
    float m_speed = 1.0f;
    float m_volume = 1.0f;
    bool m_isMute = false;
    bool m_isLoopEnabled = false;
    bool m_isEngineRunning = false;
    CSingleShots m_scheduled;
};

} // namespace Sound
} // namespace Marevane
