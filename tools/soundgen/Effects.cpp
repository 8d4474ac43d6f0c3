#include "Effects.h"

#include "Dsp.h"
#include "Instruments.h"
#include "Palette.h"
#include "Render.h"

#include "sound/SoundTables.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

namespace Marevane {
namespace SoundGen {

namespace {

constexpr double kRate = kEffectRate;

using Samples = std::vector<float>;

Samples silence(double seconds)
{
    return Samples(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0f);
}

float decay(double t, double seconds)
{
    return static_cast<float>(std::exp(-t / seconds));
}

// The last quarter of a sound fades out, so one cut short does not click.
float tailFade(std::size_t i, std::size_t frames)
{
    const double left = static_cast<double>(frames - i) / frames;
    return left < 0.25 ? static_cast<float>(0.5 - 0.5 * std::cos(kPi * left / 0.25)) : 1.0f;
}

// A soft sine blip with a touch of second harmonic, gliding from `from` to `to` Hz.
void blip(Samples& out, double at, double seconds, double from, double to, float level, double ring)
{
    double phase = 0.0;
    const std::size_t start = static_cast<std::size_t>(at * kRate);
    const std::size_t frames = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < frames && start + i < out.size(); ++i) {
        const double t = i / kRate;
        const double hz = from + (to - from) * std::min(1.0, t / seconds);
        phase += hz / kRate;
        const float attack = static_cast<float>(std::min(1.0, t / 0.003));
        out[start + i] +=
            level * attack * tailFade(i, frames) * decay(t, ring) * (sine(phase) + 0.18f * sine(2.0 * phase));
    }
}

// A note of one of the palette's instruments, mono.
void play(Samples& out, const std::string& name, double at, double seconds, double pitch, float velocity)
{
    Bus bus(out.size());
    Patch patch = instrument(name);
    patch.pan = 0.0f;
    renderNote(patch,
               {at * kRate, seconds * kRate, pitch, velocity, 0.0f, static_cast<std::uint32_t>(pitch * 131)},
               kRate, bus);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] += (bus.left[i] + bus.right[i] + bus.chorusLeft[i] + bus.chorusRight[i]) * 0.7071f;
}

// Noise through a band-pass whose centre moves from `fromHz` to `toHz`.
void sweptNoise(Samples& out, double at, double seconds, double fromHz, double toHz, double q, float level,
                double attack, double ring, std::uint32_t seed)
{
    Noise noise(seed);
    Svf filter;
    const std::size_t start = static_cast<std::size_t>(at * kRate);
    const std::size_t frames = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < frames && start + i < out.size(); ++i) {
        const double t = i / kRate;
        if (i % 16 == 0) filter.set(fromHz * std::pow(toHz / fromHz, t / seconds), q, kRate);
        filter.process(noise.next());
        const float swell = static_cast<float>(std::min(1.0, t / attack));
        out[start + i] += level * swell * tailFade(i, frames) * decay(t, ring) * filter.band;
    }
}

// A low boom: a falling sine thump under low-passed noise.
void boom(Samples& out, double at, float level, double length, std::uint32_t seed)
{
    Noise noise(seed);
    Svf body;
    Svf rumble;
    double phase = 0.0;
    const std::size_t start = static_cast<std::size_t>(at * kRate);
    for (std::size_t i = 0; start + i < out.size(); ++i) {
        const double t = i / kRate;
        if (i % 16 == 0) {
            body.set(180.0 + 2800.0 * std::exp(-t / 0.05), 0.7, kRate);
            rumble.set(140.0, 0.7, kRate);
        }
        const float n = noise.next();
        body.process(n);
        rumble.process(n);
        phase += (38.0 + 70.0 * std::exp(-t / 0.06)) / kRate;
        const float attack = static_cast<float>(std::min(1.0, t / 0.002));
        const float value = 0.9f * sine(phase) * decay(t, 0.16 * length) +
                            0.8f * body.low * decay(t, 0.09 * length) +
                            1.6f * rumble.low * decay(t, 0.3 * length);
        out[start + i] += level * attack * std::tanh(1.5f * value);
    }
}

void room(Samples& out, float roomSize, float wet)
{
    std::vector<float> left(out.size()), right(out.size());
    Reverb reverb(kRate, roomSize, 0.5f, 10.0f);
    reverb.process(out, left, right, wet);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] += 0.5f * (left[i] + right[i]);
}

// Brings the peak to `peakDb` and fades the last milliseconds to silence.
SoundTool::Audio finish(Samples samples, float peakDb)
{
    // Thumps leave a slow swing below hearing; take it out before the level is set.
    for (int pass = 0; pass < 2; ++pass) {
        OnePole slow;
        slow.setLowpass(25.0, kRate);
        for (float& value : samples) value = slow.highpass(value);
    }
    normalize(samples, 100.0f, peakDb);
    const std::size_t fade = std::min<std::size_t>(samples.size(), static_cast<std::size_t>(0.012 * kRate));
    for (std::size_t j = 0; j < fade; ++j) {
        samples[samples.size() - fade + j] *=
            static_cast<float>(0.5 + 0.5 * std::cos(kPi * (j + 1.0) / fade));
    }
    SoundTool::Audio audio;
    audio.channels = 1;
    audio.sampleRate = kEffectRate;
    audio.samples = std::move(samples);
    return audio;
}

SoundTool::Audio selected()
{
    Samples s = silence(0.16);
    blip(s, 0.0, 0.06, 1318.5, 1318.5, 0.8f, 0.03);
    blip(s, 0.045, 0.115, 1975.5, 1975.5, 1.0f, 0.04);
    return finish(s, -9.0f);
}

SoundTool::Audio pointed()
{
    Samples s = silence(0.06);
    blip(s, 0.0, 0.06, 1760.0, 1760.0, 1.0f, 0.012);
    return finish(s, -15.0f);
}

SoundTool::Audio canceled()
{
    Samples s = silence(0.18);
    blip(s, 0.0, 0.08, 784.0, 760.0, 1.0f, 0.035);
    blip(s, 0.07, 0.11, 587.3, 560.0, 0.9f, 0.04);
    return finish(s, -10.0f);
}

SoundTool::Audio titleSelected()
{
    Samples s = silence(0.6);
    const double notes[] = {84, 88, 91, 96};
    for (int k = 0; k < 4; ++k) play(s, "bell", 0.035 * k, 0.2, notes[k], 0.5f + 0.1f * k);
    room(s, 0.6f, 0.5f);
    return finish(s, -7.0f);
}

SoundTool::Audio titleSubSelected()
{
    Samples s = silence(0.35);
    play(s, "bell", 0.0, 0.1, 79, 0.5f);
    play(s, "bell", 0.05, 0.1, 86, 0.6f);
    room(s, 0.5f, 0.4f);
    return finish(s, -9.0f);
}

SoundTool::Audio nextStep()
{
    Samples s = silence(0.22);
    blip(s, 0.0, 0.22, 660.0, 1320.0, 1.0f, 0.06);
    blip(s, 0.06, 0.16, 990.0, 1980.0, 0.4f, 0.04);
    return finish(s, -10.0f);
}

SoundTool::Audio windowOpened()
{
    Samples s = silence(0.3);
    sweptNoise(s, 0.0, 0.3, 700.0, 3200.0, 2.0, 1.0f, 0.08, 0.09, 71);
    blip(s, 0.02, 0.25, 880.0, 1320.0, 0.25f, 0.07);
    return finish(s, -12.0f);
}

SoundTool::Audio timerTick()
{
    Samples s = silence(0.05);
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        phase += 2100.0 / kRate;
        const float attack = static_cast<float>(std::min(1.0, t / 0.0008));
        s[i] = attack * decay(t, 0.006) * (sine(phase) + 0.5f * sine(phase * 2.71));
    }
    return finish(s, -12.0f);
}

SoundTool::Audio alarm()
{
    Samples s = silence(1.0);
    Svf soften;
    soften.set(3500.0, 0.7, kRate);
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        // Pairs of beeps, four pairs a second.
        const double inPair = std::fmod(t, 0.25);
        const bool on = inPair < 0.07 || (inPair >= 0.1 && inPair < 0.17);
        const double edge = inPair < 0.085 ? inPair : inPair - 0.1;
        phase += 1568.0 / kRate;
        phase -= std::floor(phase);
        soften.process(square(phase, 1568.0 / kRate));
        const float gate = on ? static_cast<float>(std::min(1.0, std::min(edge, 0.07 - edge) / 0.004)) : 0.0f;
        s[i] = gate * soften.low;
    }
    return finish(s, -11.0f);
}

SoundTool::Audio attack()
{
    Samples s = silence(0.68);
    sweptNoise(s, 0.0, 0.05, 5000.0, 2000.0, 0.8, 1.2f, 0.0005, 0.012, 5);
    boom(s, 0.0, 1.0f, 1.0, 6);
    room(s, 0.5f, 0.35f);
    return finish(s, -1.5f);
}

SoundTool::Audio damage()
{
    Samples s = silence(1.352);
    boom(s, 0.0, 0.9f, 1.5, 16);
    // Struck steel: inharmonic partials ringing out.
    static const double kPartials[] = {311.0, 527.0, 813.0, 1183.0, 1571.0, 2113.0};
    for (int k = 0; k < 6; ++k) {
        blip(s, 0.005, 1.3, kPartials[k], kPartials[k] * 0.985, 0.22f / (1.0f + 0.3f * k), 0.35 - 0.04 * k);
    }
    // Debris and crackle.
    Noise noise(17);
    for (int k = 0; k < 40; ++k) {
        const double at = 0.08 + 0.9 * noise.unit() * noise.unit();
        sweptNoise(s, at, 0.05, 2500.0, 1200.0, 1.5, 0.5f * (1.0f - static_cast<float>(at)), 0.001, 0.01,
                   100u + static_cast<std::uint32_t>(k));
    }
    room(s, 0.6f, 0.4f);
    return finish(s, -1.5f);
}

SoundTool::Audio sinking()
{
    Samples s = silence(2.752);
    Noise noise(23);
    Svf creak;
    Svf water;
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        // The hull's groan slides down while water rushes in.
        const double hz = 62.0 * std::pow(0.55, t / 2.75) * (1.0 + 0.03 * sine(3.1 * t));
        phase += hz / kRate;
        phase -= std::floor(phase);
        if (i % 16 == 0) {
            creak.set(420.0 + 160.0 * sine(0.7 * t + 0.2), 4.0, kRate);
            water.set(500.0 + 300.0 * std::min(1.0, t), 0.7, kRate);
        }
        const float groanSource = saw(phase, hz / kRate);
        creak.process(groanSource);
        water.process(noise.next());
        const float swell = static_cast<float>(std::min(1.0, t / 0.4));
        const float fade = static_cast<float>(std::min(1.0, (2.752 - t) / 1.0));
        s[i] = swell * fade * (0.55f * creak.band + 0.25f * groanSource * 0.3f + 0.9f * water.low);
    }
    // Bubbles rising to the surface, thicker as the ship goes down.
    for (int k = 0; k < 70; ++k) {
        const double at = 0.15 + 2.4 * std::sqrt(noise.unit());
        const double hz = 350.0 + 700.0 * noise.unit();
        blip(s, at, 0.045, hz, hz * 1.8, 0.35f * static_cast<float>(0.3 + 0.7 * noise.unit()), 0.015);
    }
    boom(s, 0.0, 0.5f, 1.2, 24);
    room(s, 0.75f, 0.45f);
    return finish(s, -1.5f);
}

SoundTool::Audio torpedo()
{
    Samples s = silence(0.872);
    // Compressed air, the splash, then the motor running away.
    sweptNoise(s, 0.0, 0.35, 2200.0, 900.0, 0.9, 1.0f, 0.006, 0.09, 31);
    sweptNoise(s, 0.12, 0.4, 1800.0, 600.0, 0.7, 0.8f, 0.01, 0.08, 32);
    Noise noise(33);
    double phase = 0.0;
    for (std::size_t i = static_cast<std::size_t>(0.15 * kRate); i < s.size(); ++i) {
        const double t = i / kRate - 0.15;
        const double hz = 160.0 * (1.0 + 0.15 * std::min(1.0, t / 0.3));
        phase += hz / kRate;
        const float flutter = 0.7f + 0.3f * sine(38.0 * t);
        const float level = static_cast<float>(std::min(1.0, t / 0.08)) * decay(t, 0.45);
        s[i] += 0.35f * level * flutter * (sine(phase) + 0.5f * sine(2.0 * phase) + 0.1f * noise.next());
    }
    for (int k = 0; k < 18; ++k) {
        const double hz = 500.0 + 600.0 * noise.unit();
        blip(s, 0.2 + 0.55 * noise.unit(), 0.04, hz, hz * 1.7, 0.2f, 0.012);
    }
    room(s, 0.5f, 0.3f);
    return finish(s, -2.0f);
}

SoundTool::Audio surprise()
{
    Samples s = silence(1.0);
    // A sudden stab: a diminished brass chord over a timpani hit.
    for (double pitch : {60.0, 63.0, 66.0, 69.0, 72.0}) play(s, "brass", 0.0, 0.35, pitch, 0.95f);
    play(s, "strings.short", 0.0, 0.3, 84.0, 0.9f);
    play(s, "timpani", 0.0, 0.5, 36.0, 1.0f);
    play(s, "crash", 0.0, 0.5, 60.0, 0.6f);
    room(s, 0.7f, 0.6f);
    return finish(s, -2.0f);
}

SoundTool::Audio whistle()
{
    Samples s = silence(1.0);
    Noise noise(41);
    Svf breath;
    breath.set(3000.0, 2.0, kRate);
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        // A call that rises, holds with a rattle, and falls away.
        const double rise = std::min(1.0, t / 0.12);
        const double fall = t > 0.78 ? (t - 0.78) / 0.2 : 0.0;
        const double warble = t > 0.2 && t < 0.78 ? 0.035 * sine(24.0 * t) : 0.0;
        const double hz = 2000.0 + 700.0 * rise - 500.0 * fall;
        phase += hz * (1.0 + warble) / kRate;
        breath.process(noise.next());
        const float envelope =
            static_cast<float>(std::min(1.0, t / 0.03) * std::min(1.0, std::max(0.0, (0.98 - t) / 0.12)));
        s[i] = envelope * (sine(phase) + 0.08f * sine(2.0 * phase) + 0.25f * breath.band);
    }
    room(s, 0.55f, 0.3f);
    return finish(s, -8.0f);
}

const std::map<std::string, std::function<SoundTool::Audio()>>& makers()
{
    static const std::map<std::string, std::function<SoundTool::Audio()>> table = {
        {"SystemDefaultSelected", selected},
        {"SystemDefaultPointed", pointed},
        {"SystemDefaultCanceled", canceled},
        {"SystemTitleSelected", titleSelected},
        {"SystemTitleSubSelected", titleSubSelected},
        {"SystemNextStep", nextStep},
        {"SystemWindowOpened", windowOpened},
        {"SystemTimer", timerTick},
        {"SystemAlarmTimer", alarm},
        {"AttackSound", attack},
        {"DamageSound", damage},
        {"SinkingSound", sinking},
        {"TorpedoSound", torpedo},
        {"SurpriseSound", surprise},
        {"WhistleSound", whistle},
    };
    return table;
}

} // namespace

std::vector<SoundTool::Cue> effectCues(Sound::SeType type)
{
    std::vector<SoundTool::Cue> cues;
    for (Sound::SeCode code : Sound::CSeGroupMap::GetInstance().Get(type)) {
        if (code == Sound::SeNone) continue;
        const std::string& name = Sound::CBankProfiles::GetInstance().Get(code).cue;
        auto maker = makers().find(name);
        if (maker == makers().end()) throw std::logic_error("no sound is made for cue \"" + name + "\"");
        cues.push_back({name, maker->second()});
    }
    return cues;
}

std::string bankName(Sound::SeType type)
{
    return type == Sound::SeTypeSystem ? "System" : "Battle";
}

} // namespace SoundGen
} // namespace Marevane
