#include "audio/Sound.h"

#include "audio/Log.h"
#include "audio/Pan.h"

#include <atomic>
#include <chrono>
#include <cmath>

namespace Daz {

namespace {

std::atomic<Sound::Clock> g_clock{nullptr};

// The listener and the distance model. Nothing in the program moves them.
struct Listener {
    float position[3] = {0.0f, 0.0f, 0.0f};
    float velocity[3] = {0.0f, 0.0f, 0.0f};
    float lookAt[3] = {0.0f, 0.0f, 1.0f};
    float up[3] = {0.0f, 0.1f, 0.0f};
    float soundSpeed = 0.0f; // 0: no Doppler shift
    int mode = 3;            // 0 none, 1 linear, 2 inverse, 3 inverse square
    float nearDistance = 1.0f;
    float farDistance = 100.0f;
    float farVolume = 0.0f;
    // The curves run from 1 at the near distance to the far volume at the far one.
    double a = 0.0;
    double b = 0.0;

    Listener()
    {
        const double far = std::fmax(100.0, nearDistance + 1e-12);
        a = -1.0 / (1.0 / (far * far) - 1.0 / (nearDistance * nearDistance));
        b = 1.0 - a / (nearDistance * nearDistance);
    }
};
const Listener g_listener;

constexpr float kVirtualGain = 0.005f;

float dot(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void cross(const float a[3], const float b[3], float out[3])
{
    const float x = a[1] * b[2] - a[2] * b[1];
    const float y = a[2] * b[0] - a[0] * b[2];
    const float z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void store(float v[3], float x, float y, float z)
{
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

void load(const float v[3], float& x, float& y, float& z)
{
    x = v[0];
    y = v[1];
    z = v[2];
}

float length(const float v[3])
{
    return std::sqrt(dot(v, v));
}

float distanceGain(float r)
{
    const Listener& l = g_listener;
    if (r <= l.nearDistance) return 1.0f;
    if (r >= l.farDistance) return l.farVolume;
    float gain;
    switch (l.mode) {
    case 0:
        gain = 1.0f;
        break;
    case 1:
        gain = 1.0f + (r - l.nearDistance) / (l.farDistance - l.nearDistance) * (l.farVolume - 1.0f);
        break;
    case 2:
        gain = static_cast<float>(l.a / r + l.b);
        break;
    default:
        gain = static_cast<float>(l.a / (static_cast<double>(r) * r) + l.b);
        break;
    }
    return gain < l.farVolume ? l.farVolume : gain > 1.0f ? 1.0f : gain;
}

} // namespace

IntrusiveList<Sound, &Sound::m_prevInList, &Sound::m_nextInList> Sound::s_all;

void Sound::setClock(Clock clock)
{
    g_clock = clock;
}

std::int64_t Sound::now()
{
    if (Clock clock = g_clock.load()) return clock();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Sound::Sound()
{
    if (Mixer* master = Mixer::getMaster()) master->attach(this);
    s_all.pushBack(this);
    m_clockStart = now();
    m_effectivelyPaused = getMixedPauseState();
    if (m_effectivelyPaused) m_pauseStart = m_clockStart;
}

Sound::~Sound()
{
    // Destroy has done the rest; a sound deleted without it still leaves the lists.
    unlinkFromList();
    if (Mixer* mixer = getMemberMixer()) mixer->detach(this);
}

void Sound::unlinkFromList()
{
    if (s_all.contains(this)) s_all.remove(this);
}

void Sound::leaveEverything()
{
    unlinkFromList();
    if (m_next) setNextSound(nullptr);
    leavePredecessors();
    stop();
    if (Mixer* mixer = getMemberMixer()) mixer->detach(this);
}

void Sound::leavePredecessors()
{
    while (Sound* predecessor = m_firstPredecessor) predecessor->setNextSound(nullptr);
}

void Sound::updateAll()
{
    for (Sound* sound = s_all.getFirst(); sound;) {
        // A sound's step may not remove another, but it may end itself.
        Sound* next = sound->m_nextInList;
        sound->update();
        sound = next;
    }
}

void Sound::update()
{
    updateSelf();
    if (m_3dEnabled && isPlaying()) run3d();
    if (m_playPending && isSourceReady()) {
        play();
        m_playPending = false;
    }
    if (isPlaying() && m_virtual && m_virtualStopMs >= 0.0f &&
        static_cast<double>(getClockNs()) * 1e-6 >= m_virtualStopMs) {
        stop();
    }
}

void Sound::setMixer(CkMixer* mixer)
{
    Mixer* target = mixer ? static_cast<Mixer*>(mixer) : Mixer::getMaster();
    if (target == getMemberMixer()) return;
    if (target)
        target->attach(this);
    else if (Mixer* old = getMemberMixer())
        old->detach(this);
    volumeChanged();
    notePauseState();
}

void Sound::moveToMixer(Mixer* mixer)
{
    if (mixer) {
        setMixer(mixer);
        return;
    }
    // The master itself is going: the sound is left without a mixer.
    if (Mixer* old = getMemberMixer()) old->detach(this);
}

// The render side always holds the current gains and speed, also while the
// sound is silent: it may start at any block as another sound's next sound.
void Sound::mixerVolumeChanged()
{
    volumeChanged();
}

void Sound::mixerPauseChanged()
{
    notePauseState();
}

bool Sound::getMixedPauseState() const
{
    const Mixer* mixer = getMemberMixer();
    return m_paused || (mixer && mixer->getMixedPauseState());
}

float Sound::getMixedVolume() const
{
    const Mixer* mixer = getMemberMixer();
    return (mixer ? mixer->getMixedVolume() : 1.0f) * m_volume;
}

void Sound::setPaused(bool paused)
{
    if (paused == m_paused) return;
    m_paused = paused;
    notePauseState();
}

// Keeps the paused time out of the sound's clock and tells the render side
// when the effective pause state has changed.
void Sound::notePauseState()
{
    const bool paused = getMixedPauseState();
    if (paused == m_effectivelyPaused) return;
    m_effectivelyPaused = paused;
    const std::int64_t time = now();
    if (paused && m_pauseStart < 0) {
        m_pauseStart = time;
    } else if (!paused && m_pauseStart >= 0) {
        m_pausedTotal += time - m_pauseStart;
        m_pauseStart = -1;
    }
    pauseChanged();
}

std::int64_t Sound::getClockNs() const
{
    const std::int64_t time = now();
    std::int64_t paused = m_pausedTotal;
    if (m_pauseStart >= 0) paused += time - m_pauseStart;
    return time - m_clockStart - paused;
}

void Sound::play()
{
    if (isFailed()) {
        Log::error("tried to play sound that failed to load");
        return;
    }
    stop();
    if (isSourceReady()) {
        if (m_3dEnabled) run3d();
        // The gains go first, so that the node starts at them rather than ramping to them.
        volumeChanged();
        speedChanged();
        startNode();
        if (m_virtual) becameVirtual();
        m_playPending = false;
    } else {
        Log::info("sound is not ready; will delay until it is");
        m_playPending = true;
    }
}

void Sound::stop()
{
    stopNode();
    m_playPending = false;
}

void Sound::setVolume(float volume)
{
    m_volumeSet = true;
    if (volume == m_volume) return;
    m_volume = volume;
    volumeChanged();
}

void Sound::takeInfoVolume(float volume)
{
    if (!m_volumeSet) m_volume = volume;
}

void Sound::takeInfoPan(float pan)
{
    if (!m_panSet) m_pan = pan < -1.0f ? -1.0f : pan > 1.0f ? 1.0f : pan;
}

void Sound::setPan(float pan)
{
    m_panSet = true;
    pan = pan < -1.0f ? -1.0f : pan > 1.0f ? 1.0f : pan;
    if (pan == m_pan && !m_matrixInUse) return;
    m_matrixInUse = false;
    m_pan = pan;
    volumeChanged();
}

float Sound::getPan() const
{
    if (!m_matrixInUse) return m_pan;
    return Pan::fromGains(m_matrix, getChannels() == 2);
}

void Sound::setPanMatrix(float ll, float lr, float rl, float rr)
{
    m_matrixInUse = true;
    m_panSet = true;
    m_matrix[0] = ll;
    m_matrix[1] = rl;
    m_matrix[2] = lr;
    m_matrix[3] = rr;
    volumeChanged();
}

void Sound::getPanMatrix(float& ll, float& lr, float& rl, float& rr) const
{
    float gains[4];
    if (m_matrixInUse) {
        for (int i = 0; i < 4; ++i) gains[i] = m_matrix[i];
    } else {
        Pan::toGains(m_pan, getChannels() == 2, gains);
    }
    ll = gains[0];
    rl = gains[1];
    lr = gains[2];
    rr = gains[3];
}

void Sound::getOutputGains(float gains[4]) const
{
    const bool stereo = getChannels() == 2;
    if (m_3dEnabled) {
        Pan::toGains(m_3dPan, stereo, gains);
    } else if (m_matrixInUse) {
        for (int i = 0; i < 4; ++i) gains[i] = m_matrix[i];
    } else {
        Pan::toGains(m_pan, stereo, gains);
    }
    const float factor = getMixedVolume() * (m_3dEnabled ? m_3dGain : 1.0f);
    for (int i = 0; i < 4; ++i) gains[i] *= factor;
}

void Sound::setPitchShift(float halftones)
{
    setSpeed(std::pow(2.0f, halftones / 12.0f));
}

float Sound::getPitchShift() const
{
    return 12.0f * std::log2(m_speed);
}

void Sound::setSpeed(float speed)
{
    if (speed == m_speed) return;
    m_speed = speed;
    speedChanged();
}

float Sound::getEffectiveSpeed() const
{
    return m_3dEnabled ? m_speed * m_doppler : m_speed;
}

void Sound::setNextSound(CkSound* next)
{
    Sound* sound = static_cast<Sound*>(next);
    if (sound && (!isChainable() || !sound->isChainable()))
        Log::error("setNextSound() does not work with streams in formats other than .cks or Ogg Vorbis.");
    if (m_next) m_next->removePredecessor(this);
    m_next = sound;
    if (sound) {
        m_nextPredecessor = sound->m_firstPredecessor;
        sound->m_firstPredecessor = this;
    }
    nextChanged();
}

void Sound::removePredecessor(Sound* sound)
{
    for (Sound** link = &m_firstPredecessor; *link; link = &(*link)->m_nextPredecessor) {
        if (*link == sound) {
            *link = sound->m_nextPredecessor;
            sound->m_nextPredecessor = nullptr;
            return;
        }
    }
}

void Sound::set3dEnabled(bool enabled)
{
    if (enabled == m_3dEnabled) return;
    m_3dEnabled = enabled;
    if (enabled && isPlaying()) run3d();
    // Off, the sound is heard in full again.
    if (!enabled) m_virtual = false;
    volumeChanged();
    speedChanged();
}

void Sound::set3dPosition(float x, float y, float z)
{
    store(m_position, x, y, z);
}

void Sound::get3dPosition(float& x, float& y, float& z) const
{
    load(m_position, x, y, z);
}

void Sound::set3dVelocity(float vx, float vy, float vz)
{
    store(m_velocity, vx, vy, vz);
}

void Sound::get3dVelocity(float& vx, float& vy, float& vz) const
{
    load(m_velocity, vx, vy, vz);
}

void Sound::run3d()
{
    const Listener& l = g_listener;
    float d[3];
    for (int i = 0; i < 3; ++i) d[i] = m_position[i] - l.position[i];
    const float r = length(d);
    const float gain = distanceGain(r);

    float pan = 0.0f;
    if (r >= 0.1f * l.nearDistance) {
        float forward[3];
        for (int i = 0; i < 3; ++i) forward[i] = l.lookAt[i] - l.position[i];
        float side[3];
        cross(forward, l.up, side);
        float across[3];
        cross(d, l.up, across);
        cross(l.up, across, across);
        const float sideLength = length(side);
        const float acrossLength = length(across);
        // Straight above or below the listener, the sound has no side.
        if (acrossLength >= 0.0001f && sideLength > 0.0f) {
            pan = dot(side, across) / (sideLength * acrossLength);
            const float inner = 0.1f * l.nearDistance;
            if (r < l.nearDistance) pan *= (r - inner) / (l.nearDistance - inner);
        }
    }

    if (l.soundSpeed > 0.0f && r > 0.0f) {
        const float c = l.soundSpeed;
        float away[3];
        for (int i = 0; i < 3; ++i) away[i] = -d[i];
        float vs = dot(m_velocity, d) / r;
        float vl = dot(l.velocity, away) / r;
        if (vs < -0.99f * c) vs = -0.99f * c;
        if (vl < -0.99f * c) vl = -0.99f * c;
        const float factor = (c + vl) / (c + vs);
        if (factor != m_doppler) {
            m_doppler = factor;
            speedChanged();
        }
    }

    const bool isVirtualNow = gain < kVirtualGain;
    if (isVirtualNow != m_virtual) {
        m_virtual = isVirtualNow;
        if (isVirtualNow) becameVirtual();
    }
    if (gain != m_3dGain || (pan != m_3dPan && gain > 0.001f)) {
        m_3dGain = gain;
        m_3dPan = pan;
        volumeChanged();
    }
}

float Sound::getRemainingMs() const
{
    const int count = getLoopCount();
    const bool released = isLoopReleased();
    if (count < 0 && !released) return -1.0f;
    float ms = getLengthMs() - getPlayPositionMs();
    if (count > 0 && !released) {
        int start, end;
        getLoop(start, end);
        if (end < 0) end = getLength();
        const int rate = getSampleRate();
        // The loop part in milliseconds, like the rest.
        if (rate > 0)
            ms += static_cast<float>(end - start) * 1000.0f / static_cast<float>(rate) *
                  static_cast<float>(count - getCurrentLoop());
    }
    return ms / m_speed;
}

// The remaining time is taken now, and the sound's clock starts over to run it out.
void Sound::becameVirtual()
{
    m_virtualStopMs = getRemainingMs();
    m_clockStart = now();
    m_pausedTotal = 0;
    if (m_pauseStart >= 0) m_pauseStart = m_clockStart;
}

} // namespace Daz
