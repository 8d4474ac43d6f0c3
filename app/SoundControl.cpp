#include "app/SoundControl.h"

#include "gui/SoundFeedback.h"
#include "model/Random.h"
#include "model/settings/SystemConfig.h"
#include "sound/BgmManager.h"
#include "sound/SeManager.h"
#include "sound/SoundManager.h"
#include "sound/SoundTables.h"

#include <algorithm>
#include <utility>

namespace Marevane {

namespace {

// The game's sound managers. They live from Start to Stop; the owner stops
// them before the application object goes. When the engine cannot start,
// the managers stay silent and every call does nothing.
class CGameSoundControl : public CSoundControl {
  public:
    ~CGameSoundControl() override { Stop(); }

    void Start() override
    {
        if (m_isStarted) return;
        m_isStarted = true;
        // The sound manager starts the engine, muted when the settings say so.
        Sound::CSoundManager::GetInstance();
        const CSystemConfig& settings = CSystemConfig::GetInstance();
        Sound::CBgmManager* bgm = Sound::CBgmManager::GetInstance();
        bgm->SetMute(settings.MuteBGM);
        bgm->SetVolume(std::clamp(settings.BGM, 0, 100));
        Sound::CSeManager* se = Sound::CSeManager::GetInstance();
        se->SetVolume(std::clamp(settings.SE, 0, 100));
        se->SetMute(settings.MuteSE);
        // The items' clicks and cursor moves go to the effect manager while it lives.
        m_previousPlayer = SetSoundEffectPlayer([](Sound::SeCode code, bool applyDucking) {
            if (Sound::CSeManager::HasInstance()) Sound::CSeManager::GetInstance()->Play(code, applyDucking);
        });
    }

    void Stop() override
    {
        if (!m_isStarted) return;
        m_isStarted = false;
        SetSoundEffectPlayer(std::move(m_previousPlayer));
        m_previousPlayer = SoundEffectPlayer();
        // Effects, music, then the engine.
        Sound::CSoundManager::DestroyInstance();
    }

    void SetMasterVolume(int percent) override
    {
        if (m_isStarted) Sound::CSoundManager::GetInstance()->SetMasterVolume(percent);
    }
    void SetMasterMute(bool isMute) override
    {
        if (m_isStarted) Sound::CSoundManager::GetInstance()->SetMute(isMute);
    }
    void SetBgmMute(bool isMute) override
    {
        if (m_isStarted) Sound::CBgmManager::GetInstance()->SetMute(isMute);
    }
    void SetBgmVolume(int percent) override
    {
        if (m_isStarted) Sound::CBgmManager::GetInstance()->SetVolume(percent);
    }
    void SetSeVolume(int percent) override
    {
        if (m_isStarted) Sound::CSeManager::GetInstance()->SetVolume(percent);
    }
    void SetSeMute(bool isMute) override
    {
        if (m_isStarted) Sound::CSeManager::GetInstance()->SetMute(isMute);
    }
    void LoadSe(Sound::SeType type) override
    {
        if (m_isStarted) Sound::CSeManager::GetInstance()->Load(type);
    }
    void UnloadSe(Sound::SeType type) override
    {
        if (m_isStarted) Sound::CSeManager::GetInstance()->Unload(type);
    }
    void PlaySe(Sound::SeCode code, bool applyDucking) override
    {
        if (m_isStarted) Sound::CSeManager::GetInstance()->Play(code, applyDucking);
    }
    void PlayBgm(Sound::BgmCode code) override
    {
        if (!m_isStarted) return;
        Sound::CBgmManager* bgm = Sound::CBgmManager::GetInstance();
        // A screen entered again keeps its music going.
        if (bgm->GetCurrentId() == code && bgm->GetCurrentSound() != nullptr && !bgm->IsStopping()) return;
        bgm->SetFadeInEnabled(true);
        bgm->SetFadeOutEnabled(true);
        bgm->SetLoopEnabled(true);
        bgm->SetCurrentId(code);
        bgm->Play();
    }
    void StopBgm() override
    {
        if (m_isStarted) Sound::CBgmManager::GetInstance()->Stop();
    }
    Sound::BgmCode ChooseBgm(Sound::BgmType type) override
    {
        if (!m_isStarted) return CSoundControl::ChooseBgm(type);
        Sound::CBgmManager* bgm = Sound::CBgmManager::GetInstance();
        bgm->SetIdAtRandom(type);
        return bgm->GetCurrentId();
    }

  private:
    bool m_isStarted = false;
    SoundEffectPlayer m_previousPlayer;
};

} // namespace

Sound::BgmCode CSoundControl::ChooseBgm(Sound::BgmType type)
{
    const Sound::CBgmGroupMap& groups = Sound::CBgmGroupMap::GetInstance();
    if (!groups.Contains(type) || groups.Get(type).empty()) return Sound::BgmCode{};
    const std::vector<Sound::BgmCode>& codes = groups.Get(type);
    return codes[RandomUInt(0, static_cast<std::uint32_t>(codes.size() - 1))];
}

std::unique_ptr<CSoundControl> CreateSoundControl()
{
    return std::make_unique<CGameSoundControl>();
}

} // namespace Marevane
