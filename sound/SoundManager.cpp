#include "sound/SoundManager.h"

#include "audio/CkMixer.h"
#include "audio/CkTypes.h"
#include "model/settings/SystemConfig.h"
#include "sound/BgmManager.h"
#include "sound/SeManager.h"

#include <algorithm>
#include <memory>

namespace Marevane {
namespace Sound {

namespace {

constexpr int UpdateIntervalMs = 30;

std::unique_ptr<CSoundManager>& Instance()
{
    static std::unique_ptr<CSoundManager> instance;
    return instance;
}

std::string& FileFolder()
{
    static std::string folder;
    return folder;
}

} // namespace

CSoundManager* CSoundManager::GetInstance()
{
    return CreateInstance(CkConfig());
}

CSoundManager* CSoundManager::CreateInstance(CkConfig config)
{
    if (!Instance()) Instance().reset(new CSoundManager(config));
    return Instance().get();
}

void CSoundManager::DestroyInstance()
{
    CSeManager::DestroyInstance();
    CBgmManager::DestroyInstance();
    Instance().reset();
}

bool CSoundManager::HasInstance()
{
    return Instance() != nullptr;
}

void CSoundManager::SetFileFolder(const std::string& folder)
{
    FileFolder() = folder;
}

std::string CSoundManager::ResolvePath(const std::string& relative, int& pathType)
{
    if (FileFolder().empty()) {
        pathType = kCkPathType_ExeDir;
        return relative;
    }
    pathType = kCkPathType_AsGiven;
    return FileFolder() + "/" + relative;
}

CSoundManager::CSoundManager(CkConfig config) : m_updateTimer([this] { Update(); })
{
    m_isRunning = CkInit(&config) != 0;
    SetMute(CSystemConfig::GetInstance().Sound == 0);
    m_updateTimer.SetInterval(UpdateIntervalMs);
    m_updateTimer.SetSingleShot(false);
    // Without an engine there is nothing to update, and no error line every 30 ms.
    if (m_isRunning) m_updateTimer.Start();
}

CSoundManager::~CSoundManager()
{
    m_updateTimer.Stop();
    if (m_isRunning) CkShutdown();
}

void CSoundManager::Suspend()
{
    if (m_isRunning) CkSuspend();
}

void CSoundManager::Resume()
{
    if (m_isRunning) CkResume();
}

void CSoundManager::SetMasterVolume(float vol)
{
    m_masterVolume = vol;
    if (CkMixer* master = m_isRunning ? CkMixer::masterMixer() : nullptr) master->setVolume(vol);
    emit MasterVolumeChanged(vol);
}

void CSoundManager::SetMasterVolume(int vol)
{
    SetMasterVolume(static_cast<float>(std::clamp(vol, 0, 100)) / 100.0f);
}

void CSoundManager::SetMute(bool isMute)
{
    SetMasterVolume(isMute ? 0.0f : 1.0f);
}

void CSoundManager::Update()
{
    if (m_isRunning) CkUpdate();
}

} // namespace Sound
} // namespace Marevane
