#include "sound/SeManager.h"

#include "audio/CkBank.h"
#include "audio/CkMixer.h"
#include "audio/CkSound.h"
#include "model/Random.h"
#include "model/settings/SystemConfig.h"
#include "sound/BgmManager.h"
#include "sound/SoundManager.h"
#include "sound/SoundTables.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace Marevane {
namespace Sound {

namespace {

constexpr int CleanUpIntervalMs = 500;

std::unique_ptr<CSeManager>& Instance()
{
    static std::unique_ptr<CSeManager> instance;
    return instance;
}

// The settings under which effects lower the music: effects heard, and all sound not off.
bool IsDuckingAllowed()
{
    const CSystemConfig& settings = CSystemConfig::GetInstance();
    return !settings.MuteSE && settings.SE != 0 && settings.Sound != 0;
}

} // namespace

CSeManager* CSeManager::GetInstance()
{
    if (!Instance()) {
        CBgmManager::GetInstance();
        Instance().reset(new CSeManager());
    }
    return Instance().get();
}

void CSeManager::DestroyInstance()
{
    Instance().reset();
}

bool CSeManager::HasInstance()
{
    return Instance() != nullptr;
}

CSeManager::CSeManager() : m_cleanUpTimer([this] { DeleteStoppedPlayer(); })
{
    m_isEngineRunning = CSoundManager::GetInstance()->IsEngineRunning();
    if (m_isEngineRunning) m_mixer = CkMixer::createNamed("SE", nullptr);
    SetSpeed(1.0f);
    SetVolume(1.0f);
    m_cleanUpTimer.SetInterval(CleanUpIntervalMs);
    m_cleanUpTimer.SetSingleShot(false);
}

CSeManager::~CSeManager()
{
    m_cleanUpTimer.Stop();
    m_scheduled.CancelAll();
    for (const LiveEffect& effect : m_live) effect.sound->destroy();
    m_live.clear();
    if (m_mixer) m_mixer->destroy();
    for (const auto& entry : m_banks) {
        if (entry.second) entry.second->destroy();
    }
    m_banks.clear();
}

bool CSeManager::IsPlaying() const
{
    return std::any_of(m_live.begin(), m_live.end(),
                       [](const LiveEffect& e) { return e.sound->isPlaying(); });
}

bool CSeManager::IsPlaying(SeCode id) const
{
    return std::any_of(m_live.begin(), m_live.end(),
                       [id](const LiveEffect& e) { return e.id == id && e.sound->isPlaying(); });
}

CkBank* CSeManager::GetBank(SeType type) const
{
    const auto it = m_banks.find(type);
    return it != m_banks.end() ? it->second : nullptr;
}

void CSeManager::Load(SeType type)
{
    if (!m_isEngineRunning || m_banks.count(type) != 0) return;
    int pathType = 0;
    const std::string path = CSoundManager::ResolvePath(CSeFilePaths::GetInstance().Get(type), pathType);
    m_banks[type] = CkBank::createFromFile(path.c_str(), pathType, 0, 0);
}

void CSeManager::Unload(SeType type)
{
    const auto it = m_banks.find(type);
    if (it == m_banks.end()) return;
    if (IsPlaying() && CBankProfiles::GetInstance().Get(m_lastId).type == type) Stop();
    CkBank* bank = it->second;
    if (bank) {
        // Effects of the bank that still live go first: the engine would stop them with an error.
        for (auto live = m_live.begin(); live != m_live.end();) {
            if (live->bank == bank) {
                live->sound->destroy();
                live = m_live.erase(live);
            } else {
                ++live;
            }
        }
        if (m_live.empty()) m_cleanUpTimer.Stop();
        bank->destroy();
    }
    m_banks.erase(it);
}

void CSeManager::Play(SeCode id)
{
    Play(id, true);
}

void CSeManager::Play(SeCode id, bool applyDucking)
{
    if (!m_isEngineRunning) return;
    const SeProperty& property = CBankProfiles::GetInstance().Get(id);
    Load(property.type);
    CkBank* bank = m_banks[property.type];
    // A bank that failed to load is null: the cue is then looked for in every loaded bank.
    CkSound* sound = CkSound::createFromBank(bank, property.cue.c_str());
    if (!sound) return;
    sound->setMixer(m_mixer);
    m_lastId = id;
    sound->setSpeed(m_speed);
    if (m_isLoopEnabled) {
        const LoopPos& loop = CSeLoopSettings::GetInstance().Get(id);
        sound->setLoop(loop.start, loop.end);
        sound->setLoopCount(m_loopCount);
    }
    m_live.push_back({id, sound, bank ? bank : FindHolder(property.cue.c_str())});
    if (applyDucking && IsDuckingAllowed()) {
        const DuckingParam& ducking = CSeDuckingSettings::GetInstance().Get(id);
        int ms = ducking.milliseconds;
        if (ms < 0) ms = static_cast<int>(sound->getLengthMs());
        // An effect of unknown length would hold the music down for good.
        if (ms >= 0) CBgmManager::GetInstance()->ApplySideChain(ms, ducking.rate);
    }
    sound->play();
    if (!m_cleanUpTimer.IsActive()) m_cleanUpTimer.Start();
}

void CSeManager::Play(SeCode id, uint count, uint interval)
{
    Play(std::vector<SeCode>(count, id), interval);
}

void CSeManager::Play(std::vector<SeCode> idList, uint interval)
{
    for (std::size_t k = 0; k < idList.size(); ++k) {
        const SeCode id = idList[k];
        const long long delay = static_cast<long long>(k) * interval;
        m_scheduled.After(static_cast<int>(std::min<long long>(delay, 0x7fffffff)),
                          [this, id] { Play(id, true); });
    }
}

void CSeManager::PlayAtRandom()
{
    Play(static_cast<SeCode>(RandomInt(1, 15)), true);
}

void CSeManager::PlayAtRandom(SeType type)
{
    const std::vector<SeCode>& group = CSeGroupMap::GetInstance().Get(type);
    if (group.empty()) return;
    Play(group[static_cast<std::size_t>(RandomInt(0, static_cast<std::int32_t>(group.size()) - 1))], true);
}

void CSeManager::PlayNext()
{
    const auto count = static_cast<std::uint32_t>(CSeNames::GetInstance().GetMap().size());
    Play(static_cast<SeCode>(m_lastId + 1 < count ? m_lastId + 1 : 0), true);
}

void CSeManager::PlayPrev()
{
    Play(static_cast<SeCode>(m_lastId > 0 ? m_lastId - 1 : 0), true);
}

void CSeManager::Stop()
{
    for (const LiveEffect& effect : m_live) {
        effect.sound->stop();
        effect.sound->destroy();
    }
    m_live.clear();
    m_cleanUpTimer.Stop();
}

void CSeManager::Suspend()
{
    SetPaused(true);
}

void CSeManager::Resume()
{
    SetPaused(false);
}

void CSeManager::SetPaused(bool isPaused)
{
    for (const LiveEffect& effect : m_live) effect.sound->setPaused(isPaused);
}

void CSeManager::SetLoopEnabled(bool isEnabled)
{
    m_isLoopEnabled = isEnabled;
}

void CSeManager::SetSpeed(float speed)
{
    m_speed = speed;
    for (const LiveEffect& effect : m_live) effect.sound->setSpeed(speed);
}

void CSeManager::SetVolume(float vol)
{
    m_volume = vol;
    SetMixer(vol);
}

void CSeManager::SetVolume(int vol)
{
    SetVolume(static_cast<float>(std::clamp(vol, 0, 100)) / 100.0f);
}

void CSeManager::TurnVolumeUp(float step)
{
    SetVolume(m_volume + step);
}

void CSeManager::TurnVolumeDown(float step)
{
    SetVolume(m_volume - step);
}

void CSeManager::SetMute(bool isMute)
{
    m_isMute = isMute;
    SetMixer(m_volume);
}

void CSeManager::ChangeMixerVolume(int vol)
{
    SetMixer(static_cast<float>(std::clamp(vol, 0, 100)) / 100.0f);
}

void CSeManager::DeleteStoppedPlayer()
{
    // Only from the front: a finished effect behind a playing one waits for a later tick.
    while (!m_live.empty() && !m_live.front().sound->isPlaying()) {
        m_live.front().sound->destroy();
        m_live.pop_front();
    }
    if (m_live.empty()) m_cleanUpTimer.Stop();
}

void CSeManager::SetMixer(float vol)
{
    if (m_mixer) m_mixer->setVolume(m_isMute ? 0.0f : vol);
}

CkBank* CSeManager::FindHolder(const char* cue) const
{
    for (const auto& entry : m_banks) {
        CkBank* bank = entry.second;
        if (!bank) continue;
        for (int i = 0; i < bank->getNumSounds(); ++i) {
            if (std::strcmp(bank->getSoundName(i), cue) == 0) return bank;
        }
    }
    return nullptr;
}

} // namespace Sound
} // namespace Marevane
