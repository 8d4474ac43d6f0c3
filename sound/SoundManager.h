// The sound manager: it owns the audio engine for the whole run, drives the
// engine's update from a 30 ms timer and holds the master volume. The music
// and effect managers ask it whether the engine runs before they touch it.
//
// The three managers are built on first use and torn down explicitly by
// their owner (DestroyInstance) before the application object goes, the
// engine last.
#pragma once

#include "audio/Ck.h"
#include "sound/SoundTimer.h"

#include <QObject>

#include <string>

namespace Marevane {
namespace Sound {

class CSoundManager : public QObject {
    Q_OBJECT
  public:
    // Built on first use with the engine's default start-up record.
    static CSoundManager* GetInstance();
    // Built with `config` when none lives yet (tests give a log sink); else the one that lives.
    static CSoundManager* CreateInstance(CkConfig config);
    // The effect and music managers go first, then this one with the engine.
    static void DestroyInstance();
    static bool HasInstance();

    // Where the tables' relative file paths are taken from; empty (the
    // default) is the program's own folder. Tests point it at their files.
    static void SetFileFolder(const std::string& folder);
    // The path and the engine path type to open a table's relative path with.
    static std::string ResolvePath(const std::string& relative, int& pathType);

    ~CSoundManager() override;

    bool IsEngineRunning() const { return m_isRunning; }
    float GetMasterVolume() const { return m_masterVolume; }
    // Whether the engine's update timer runs: only while the engine does.
    bool IsUpdating() const { return m_updateTimer.IsActive(); }

  signals:
    void MasterVolumeChanged(float vol);

  public slots:
    void Suspend();
    void Resume();
    // Not clamped.
    void SetMasterVolume(float vol);
    // Percent, clamped to 0..100.
    void SetMasterVolume(int vol);
    // Unmuting gives full volume, not the volume before muting.
    void SetMute(bool isMute);
    void Update();

  private:
    explicit CSoundManager(CkConfig config);

    CSoundTimer m_updateTimer;
    float m_masterVolume = 1.0f;
    bool m_isRunning = false;
};

} // namespace Sound
} // namespace Marevane
