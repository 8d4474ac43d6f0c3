#include "sound/BgmManager.h"

#include "audio/Ck.h"
#include "audio/CkMixer.h"
#include "audio/CkSound.h"
#include "model/Random.h"
#include "sound/SeManager.h"
#include "sound/SoundManager.h"
#include "sound/SoundTables.h"

#include <QtGlobal>

#include <algorithm>
#include <memory>

namespace Marevane {
namespace Sound {

namespace {

constexpr int PollIntervalMs = 30;
// Past a fade's end before the track goes or the ramp comes back.
constexpr float FadeMarginMs = 10.0f;

std::unique_ptr<CBgmManager>& Instance()
{
    static std::unique_ptr<CBgmManager> instance;
    return instance;
}

} // namespace

CBgmManager* CBgmManager::GetInstance()
{
    if (!Instance()) Instance().reset(new CBgmManager());
    return Instance().get();
}

void CBgmManager::DestroyInstance()
{
    CSeManager::DestroyInstance();
    Instance().reset();
}

bool CBgmManager::HasInstance()
{
    return Instance() != nullptr;
}

CBgmManager::CBgmManager()
    : m_pollTimer([this] { Poll(); }), m_fadeInEnd([this] { EndRamp(); }),
      m_fadeOutEnd([this] { FinishStop(); }), m_trackEndFade([this] { Stop(); })
{
    if (CSoundManager::GetInstance()->IsEngineRunning()) m_mixer = CkMixer::createNamed("BGM", nullptr);
    SetMixer(m_volume);
    m_pollTimer.SetInterval(PollIntervalMs);
    m_pollTimer.SetSingleShot(false);
    m_fadeInEnd.SetSingleShot(true);
    m_fadeOutEnd.SetSingleShot(true);
    m_trackEndFade.SetSingleShot(true);
    connect(this, &CBgmManager::Stopped, this, &CBgmManager::PlayAfterStop);
    connect(this, &CBgmManager::Stopped, this, [this] { m_isStopping = false; });
}

CBgmManager::~CBgmManager()
{
    m_pollTimer.Stop();
    m_fadeInEnd.Stop();
    m_fadeOutEnd.Stop();
    m_trackEndFade.Stop();
    m_duckEnds.CancelAll();
    DestroySound();
    if (m_mixer) m_mixer->destroy();
    // The ramp is the engine's for the whole process: a fade cut short must not leave it long.
    EndRamp();
}

void CBgmManager::Play()
{
    if (!m_mixer) return; // no engine
    if (m_sound) {
        // The new track starts from PlayAfterStop once this one has gone.
        m_isPlayAfterStop = true;
        Stop();
        return;
    }
    int pathType = 0;
    const std::string path =
        CSoundManager::ResolvePath(CBgmFilePaths::GetInstance().Get(m_currentId), pathType);
    m_sound = CkSound::createFromStream(path.c_str(), pathType, 0, 0, nullptr);
    if (!m_sound) return; // the engine has said why
    m_sound->setMixer(m_mixer);
    m_sound->setSpeed(m_speed);
    if (m_isLoopEnabled) {
        const LoopPos& loop = CBgmLoopSettings::GetInstance().Get(m_currentId);
        m_sound->setLoop(loop.start, loop.end);
        m_sound->setLoopCount(m_loopCount);
    } else if (!m_sound->isLoopReleased()) {
        m_sound->releaseLoop();
    }
    m_pollTimer.Start();
}

void CBgmManager::Play(BgmCode id)
{
    m_currentId = id;
    Play();
}

void CBgmManager::PlayAtRandom()
{
    SetIdAtRandom();
    Play();
}

void CBgmManager::PlayAtRandom(BgmType type)
{
    SetIdAtRandom(type);
    Play();
}

void CBgmManager::PlayNext()
{
    const auto count = static_cast<std::uint32_t>(CBgmNames::GetInstance().GetMap().size());
    m_currentId = static_cast<BgmCode>(m_currentId + 1 < count ? m_currentId + 1 : 0);
    Play();
}

void CBgmManager::PlayPrev()
{
    m_currentId = static_cast<BgmCode>(m_currentId > 0 ? m_currentId - 1 : 0);
    Play();
}

void CBgmManager::Suspend()
{
    SetPaused(true);
}

void CBgmManager::Resume()
{
    SetPaused(false);
}

void CBgmManager::Stop()
{
    if (!m_sound || m_isStopping) return;
    m_isStopping = true;
    // A track still loading has made no sound: nothing to fade.
    if (m_isFadeOutEnabled && !m_pollTimer.IsActive()) {
        StartFadeOut();
    } else {
        FinishStop();
    }
}

void CBgmManager::SetCurrentId(BgmCode id)
{
    m_currentId = id;
}

void CBgmManager::SetIdAtRandom()
{
    m_currentId = static_cast<BgmCode>(RandomInt(1, 9));
}

void CBgmManager::SetIdAtRandom(BgmType type)
{
    const std::vector<BgmCode>& group = CBgmGroupMap::GetInstance().Get(type);
    if (group.empty()) return;
    m_currentId = group[static_cast<std::size_t>(RandomInt(0, static_cast<std::int32_t>(group.size()) - 1))];
}

void CBgmManager::SetPaused(bool isPaused)
{
    if (m_sound) m_sound->setPaused(isPaused);
}

void CBgmManager::SetFadeInTime(float fadeInTime)
{
    m_fadeInTime = fadeInTime;
}

void CBgmManager::SetFadeOutTime(float fadeOutTime)
{
    m_fadeOutTime = fadeOutTime;
}

void CBgmManager::SetFadeInEnabled(bool isEnabled)
{
    m_isFadeInEnabled = isEnabled;
}

void CBgmManager::SetFadeOutEnabled(bool isEnabled)
{
    m_isFadeOutEnabled = isEnabled;
}

void CBgmManager::SetLoopEnabled(bool isEnabled)
{
    m_isLoopEnabled = isEnabled;
}

void CBgmManager::SetSpeed(float speed)
{
    m_speed = speed;
    if (m_sound) m_sound->setSpeed(speed);
}

void CBgmManager::SetVolume(float vol)
{
    m_volume = vol;
    ApplyMixer();
}

void CBgmManager::SetVolume(int vol)
{
    SetVolume(static_cast<float>(std::clamp(vol, 0, 100)) / 100.0f);
}

void CBgmManager::TurnVolumeUp(float step)
{
    SetVolume(m_volume + step);
}

void CBgmManager::TurnVolumeDown(float step)
{
    SetVolume(m_volume - step);
}

void CBgmManager::SetMute(bool isMute)
{
    m_isMute = isMute;
    ApplyMixer();
}

void CBgmManager::ApplySideChain(int millisec, float volRate)
{
    ++m_pendingDucks;
    m_duckRate = volRate;
    ApplyMixer();
    // A negative time starts no timer: such a duck never ends.
    m_duckEnds.After(millisec, [this] {
        if (--m_pendingDucks == 0) ApplyMixer();
    });
}

void CBgmManager::ChangeMixerVolume(int vol)
{
    SetMixer(static_cast<float>(std::clamp(vol, 0, 100)) / 100.0f);
}

void CBgmManager::PlayAfterStop()
{
    if (!m_isPlayAfterStop) return;
    m_isPlayAfterStop = false;
    Play();
}

void CBgmManager::Poll()
{
    if (!m_sound) {
        m_pollTimer.Stop();
        return;
    }
    if (m_sound->isFailed()) {
        // A broken stream never becomes ready: give up on it at once.
        m_pollTimer.Stop();
        qWarning("The music \"%s\" could not be loaded",
                 CBgmFilePaths::GetInstance().Get(m_currentId).c_str());
        DestroySound();
        return;
    }
    if (m_isFadeInHeld) {
        // The play has gone to the render side with the mixer at 0: now the rise.
        m_pollTimer.Stop();
        RaiseAfterFadeInStart();
        return;
    }
    if (m_sound->isPlaying() || !m_sound->isReady()) return;
    if (m_isFadeInEnabled) {
        // The poll runs on once more for the rise.
        StartFadeIn();
    } else {
        m_pollTimer.Stop();
        m_sound->play();
    }
    // A fade-out before the end of a finite number of plays; with endless
    // loops (the loop count is -1) the time is negative and none is set.
    if ((!m_isLoopEnabled || m_loopCount > 0) && m_isFadeOutEnabled) {
        m_trackEndFade.SetInterval(static_cast<int>(static_cast<float>(m_loopCount) * m_sound->getLengthMs() -
                                                    m_fadeOutTime - FadeMarginMs));
        m_trackEndFade.Start();
    }
}

void CBgmManager::StartFadeIn()
{
    BeginRamp(m_fadeInTime);
    m_isFadeInHeld = true;
    ApplyMixer();
    // Started at 0; the rise comes with the next poll, behind the play in the engine's queue.
    m_sound->play();
}

void CBgmManager::RaiseAfterFadeInStart()
{
    m_isFadeInHeld = false;
    ApplyMixer();
    // The ramp stays long until the rise is over.
    m_fadeInEnd.SetInterval(static_cast<int>(m_fadeInTime + FadeMarginMs));
    m_fadeInEnd.Start();
}

void CBgmManager::StartFadeOut()
{
    m_fadeInEnd.Stop();
    m_trackEndFade.Stop();
    m_isFadeInHeld = false;
    BeginRamp(m_fadeOutTime);
    m_isFadingOut = true;
    ApplyMixer();
    m_fadeOutEnd.SetInterval(static_cast<int>(m_fadeOutTime + FadeMarginMs));
    m_fadeOutEnd.Start();
}

void CBgmManager::FinishStop()
{
    m_pollTimer.Stop();
    m_fadeInEnd.Stop();
    m_fadeOutEnd.Stop();
    m_trackEndFade.Stop();
    DestroySound();
    m_isFadeInHeld = false;
    m_isFadingOut = false;
    EndRamp();
    ApplyMixer();
    emit Stopped();
}

void CBgmManager::DestroySound()
{
    if (!m_sound) return;
    m_sound->stop();
    m_sound->destroy();
    m_sound = nullptr;
}

void CBgmManager::ApplyMixer()
{
    float vol = m_volume;
    if (m_isFadingOut || m_isFadeInHeld) {
        vol = 0.0f;
    } else if (m_pendingDucks > 0) {
        vol = m_volume * m_duckRate;
    }
    SetMixer(vol);
}

void CBgmManager::SetMixer(float vol)
{
    if (m_mixer) m_mixer->setVolume(m_isMute ? 0.0f : vol);
}

void CBgmManager::BeginRamp(float ms)
{
    // The ramp of no fade is kept, also when one fade follows another.
    if (!m_isRampSaved) {
        m_savedRampMs = CkGetVolumeRampMs();
        m_isRampSaved = true;
    }
    CkSetVolumeRampMs(ms);
}

void CBgmManager::EndRamp()
{
    if (!m_isRampSaved) return;
    CkSetVolumeRampMs(m_savedRampMs);
    m_isRampSaved = false;
}

} // namespace Sound
} // namespace Marevane
