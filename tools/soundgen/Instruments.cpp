#include "Instruments.h"

#include "Dsp.h"

#include <algorithm>
#include <cmath>

namespace Marevane {
namespace SoundGen {

namespace {

using Samples = std::vector<float>;

std::size_t framesOf(double seconds, double sampleRate)
{
    return static_cast<std::size_t>(std::max(0.0, seconds) * sampleRate);
}

float exponential(double t, double seconds)
{
    return static_cast<float>(std::exp(-t / seconds));
}

Samples subtractive(const Patch& patch, const NoteEvent& note, double rate)
{
    const double hz = noteHz(note.pitch);
    const std::size_t keyOff = static_cast<std::size_t>(note.length);
    const std::size_t frames = keyOff + framesOf(patch.release * 1.5 + 0.02, rate);
    Samples out(frames);
    Envelope amp(patch.attack, patch.decay, patch.sustain, patch.release, rate);
    Noise noise(note.seed);
    const int unison = std::max(1, patch.unison);
    std::vector<double> phases(static_cast<std::size_t>(unison));
    std::vector<double> detune(static_cast<std::size_t>(unison), 1.0);
    for (int u = 0; u < unison; ++u) {
        phases[u] = noise.unit();
        if (unison > 1) {
            const double spread = (u - (unison - 1) * 0.5) / ((unison - 1) * 0.5);
            detune[u] = std::pow(2.0, spread * patch.detuneCents / 1200.0);
        }
    }
    double subPhase = 0.0;
    const float unisonGain = 1.0f / std::sqrt(static_cast<float>(unison));
    const double keyCutoff = patch.cutoff * std::pow(2.0, patch.keyTrack * (note.pitch - 60.0) / 12.0) *
                             std::pow(2.0, patch.velocityBrightness * (note.velocity - 0.7));
    Svf filter;
    const float driveNorm = patch.drive > 0.0f ? 1.0f / std::tanh(patch.drive) : 1.0f;
    for (std::size_t i = 0; i < frames; ++i) {
        if (i == keyOff) amp.release();
        const double t = i / rate;
        double cents = 0.0;
        if (patch.vibratoCents > 0.0f && t > patch.vibratoDelay) {
            const double ramp = std::min(1.0, (t - patch.vibratoDelay) / 0.4);
            cents += patch.vibratoCents * ramp * sine(patch.vibratoRate * t);
        }
        if (patch.scoop > 0.0f) cents -= patch.scoop * 100.0 * exponential(t, 0.05);
        const double step = hz * std::pow(2.0, cents / 1200.0) / rate;
        float x = 0.0f;
        for (int u = 0; u < unison; ++u) {
            const double dt = step * detune[u];
            double& phase = phases[u];
            phase += dt;
            if (phase >= 1.0) phase -= 1.0;
            if (patch.sawLevel > 0.0f) x += patch.sawLevel * saw(phase, dt);
            if (patch.squareLevel > 0.0f) x += patch.squareLevel * square(phase, dt, patch.pulseWidth);
            if (patch.sineLevel > 0.0f) x += patch.sineLevel * sine(phase);
        }
        x *= unisonGain;
        if (patch.noiseLevel > 0.0f) x += patch.noiseLevel * noise.next();
        if (patch.subLevel > 0.0f) {
            subPhase += step * 0.5;
            if (subPhase >= 1.0) subPhase -= 1.0;
            x += patch.subLevel * sine(subPhase);
        }
        if (i % 16 == 0) {
            double sweep = 0.0;
            if (patch.filterEnv != 0.0f) {
                sweep = t < patch.filterAttack ? t / patch.filterAttack
                                               : exponential(t - patch.filterAttack, patch.filterDecay);
            }
            filter.set(keyCutoff * std::pow(2.0, patch.filterEnv * sweep), patch.resonance, rate);
        }
        filter.process(x);
        float y = filter.low;
        if (patch.drive > 0.0f) y = std::tanh(y * patch.drive) * driveNorm;
        out[i] = y * amp.next();
        if (amp.finished()) {
            out.resize(i + 1);
            break;
        }
    }
    return out;
}

Samples fm(const Patch& patch, const NoteEvent& note, double rate)
{
    const double hz = noteHz(note.pitch);
    const std::size_t keyOff = static_cast<std::size_t>(note.length);
    const std::size_t frames = keyOff + framesOf(patch.release * 1.5 + 0.02, rate);
    Samples out(frames);
    Envelope amp(patch.attack, patch.decay, patch.sustain, patch.release, rate);
    const double velocityIndex = 0.4 + 0.9 * note.velocity;
    double carrier = 0.0;
    double modulator = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        if (i == keyOff) amp.release();
        const double t = i / rate;
        const double index = (patch.fmIndexSustain +
                              (patch.fmIndex - patch.fmIndexSustain) * exponential(t, patch.fmIndexDecay)) *
                             velocityIndex;
        carrier += hz / rate;
        modulator += hz * patch.fmRatio / rate;
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
        const float value = sine(carrier + index * sine(modulator) / (2.0 * kPi));
        out[i] = value * amp.next();
        if (amp.finished()) {
            out.resize(i + 1);
            break;
        }
    }
    return out;
}

Samples pluck(const Patch& patch, const NoteEvent& note, double rate)
{
    const double period = rate / noteHz(note.pitch);
    const double delay = period - 0.5;
    const std::size_t size = static_cast<std::size_t>(period) + 4;
    const std::size_t keyOff = static_cast<std::size_t>(note.length);
    const std::size_t frames = keyOff + framesOf(patch.release * 1.5 + 0.02, rate);
    Samples out(frames);
    Samples line(size);
    Noise noise(note.seed);
    OnePole excitation;
    excitation.setLowpass(300.0 + 9000.0 * patch.brightness * (0.4 + 0.6 * note.velocity), rate);
    const float loss = static_cast<float>(std::exp(-6.9 / (std::max(0.05f, patch.decay) * rate)));
    Envelope amp(0.0f, 1.0f, 1.0f, patch.release, rate);
    const std::size_t whole = static_cast<std::size_t>(delay);
    const float fraction = static_cast<float>(delay - whole);
    float previous = 0.0f;
    std::size_t write = 0;
    const std::size_t excite = static_cast<std::size_t>(period);
    for (std::size_t i = 0; i < frames; ++i) {
        if (i == keyOff) amp.release();
        const float a = line[(write + size - whole) % size];
        const float b = line[(write + size - whole - 1) % size];
        const float delayed = a + (b - a) * fraction;
        float value = loss * 0.5f * (delayed + previous);
        previous = delayed;
        if (i < excite) value += excitation.lowpass(noise.next());
        line[write] = value;
        write = (write + 1) % size;
        out[i] = value * amp.next();
        if (amp.finished()) {
            out.resize(i + 1);
            break;
        }
    }
    return out;
}

Samples flute(const Patch& patch, const NoteEvent& note, double rate)
{
    const double hz = noteHz(note.pitch);
    const std::size_t keyOff = static_cast<std::size_t>(note.length);
    const std::size_t frames = keyOff + framesOf(patch.release * 1.5 + 0.02, rate);
    Samples out(frames);
    Envelope amp(patch.attack, patch.decay, patch.sustain, patch.release, rate);
    Noise noise(note.seed);
    Svf breath;
    breath.set(hz * 2.0, 3.0, rate);
    double phase = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        if (i == keyOff) amp.release();
        const double t = i / rate;
        double cents = 0.0;
        if (t > patch.vibratoDelay) {
            cents = patch.vibratoCents * std::min(1.0, (t - patch.vibratoDelay) / 0.5) *
                    sine(patch.vibratoRate * t);
        }
        phase += hz * std::pow(2.0, cents / 1200.0) / rate;
        phase -= std::floor(phase);
        breath.process(noise.next());
        const float chiff = 1.0f + 2.0f * exponential(t, 0.04);
        const float value = sine(phase) + 0.22f * sine(2.0 * phase) + 0.07f * sine(3.0 * phase) +
                            patch.brightness * 0.6f * chiff * breath.band;
        out[i] = value * amp.next();
        if (amp.finished()) {
            out.resize(i + 1);
            break;
        }
    }
    return out;
}

// The inharmonic square cluster behind cymbals and hats.
float metal(double t, float colour)
{
    static const double kPartials[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    float sum = 0.0f;
    for (double hz : kPartials) {
        double phase = hz * (1.0 + colour) * t;
        phase -= std::floor(phase);
        sum += phase < 0.5 ? 1.0f : -1.0f;
    }
    return sum / 6.0f;
}

Samples drum(const Patch& patch, const NoteEvent& note, double rate)
{
    const double seconds = patch.length * [&] {
        switch (patch.voice) {
        case Voice::Kick:
            return 0.6;
        case Voice::Snare:
            return 0.45;
        case Voice::HatClosed:
            return 0.12;
        case Voice::HatOpen:
            return 0.6;
        case Voice::Crash:
            return 3.5;
        case Voice::Tom:
            return 1.2;
        case Voice::Timpani:
            return 2.8;
        default:
            return 0.4;
        }
    }();
    const std::size_t frames = framesOf(seconds, rate);
    Samples out(frames);
    Noise noise(note.seed);
    Svf filter;
    Svf second;
    const double hz = noteHz(note.pitch);
    const float b = patch.brightness;
    const float len = patch.length;
    double phase = 0.0;
    double phase2 = 0.0;
    switch (patch.voice) {
    case Voice::HatClosed:
    case Voice::HatOpen:
    case Voice::Crash:
        filter.set(patch.voice == Voice::Crash ? 3500.0 : 6500.0 + 3000.0 * b, 0.8, rate);
        second.set(patch.voice == Voice::Crash ? 9000.0 : 11000.0, 0.6, rate);
        break;
    case Voice::Snare:
        filter.set(1400.0 + 2500.0 * b, 0.7, rate);
        break;
    case Voice::Shaker:
        filter.set(5500.0 + 2000.0 * b, 1.5, rate);
        break;
    case Voice::Clap:
        filter.set(1300.0, 1.8, rate);
        break;
    case Voice::Brush:
        filter.set(2500.0 + 3000.0 * b, 0.6, rate);
        break;
    default:
        filter.set(1200.0, 0.7, rate);
        break;
    }
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = i / rate;
        const float attack = static_cast<float>(std::min(1.0, t / 0.0015));
        float value = 0.0f;
        switch (patch.voice) {
        case Voice::Kick: {
            phase += (46.0 + 120.0 * exponential(t, 0.03)) / rate;
            filter.process(noise.next());
            value = sine(phase) * exponential(t, 0.16 * len) + 0.25f * b * filter.low * exponential(t, 0.004);
            value = std::tanh(1.6f * value);
            break;
        }
        case Voice::Snare: {
            phase += 180.0 * (1.0 + 0.3 * exponential(t, 0.01)) / rate;
            phase2 += 330.0 / rate;
            filter.process(noise.next());
            value = 0.5f * sine(phase) * exponential(t, 0.05) + 0.25f * sine(phase2) * exponential(t, 0.03) +
                    0.9f * filter.high * exponential(t, 0.11 * len);
            break;
        }
        case Voice::HatClosed:
        case Voice::HatOpen:
        case Voice::Crash: {
            const double decay = patch.voice == Voice::HatClosed ? 0.03
                                 : patch.voice == Voice::HatOpen ? 0.2
                                                                 : 1.1;
            const float source = 0.6f * metal(t, 0.0f) + 0.5f * noise.next();
            filter.process(source);
            second.process(filter.high);
            value = (filter.high * 0.5f + second.low * 0.7f) * exponential(t, decay * len);
            break;
        }
        case Voice::Tom:
        case Voice::Timpani: {
            const bool timpani = patch.voice == Voice::Timpani;
            phase += hz * (1.0 + (timpani ? 0.04 : 0.5) * exponential(t, timpani ? 0.1 : 0.05)) / rate;
            phase -= std::floor(phase);
            filter.process(noise.next());
            if (timpani) {
                value = sine(phase) * exponential(t, 0.9 * len) +
                        0.5f * sine(phase * 1.504) * exponential(t, 0.5 * len) +
                        0.3f * sine(phase * 1.742) * exponential(t, 0.35 * len) +
                        0.35f * filter.low * exponential(t, 0.03);
            } else {
                value = sine(phase) * exponential(t, 0.28 * len) + 0.15f * filter.low * exponential(t, 0.02);
            }
            break;
        }
        case Voice::Tamborim: {
            phase += hz * (1.0 + 0.3 * exponential(t, 0.01)) / rate;
            phase -= std::floor(phase);
            filter.process(noise.next());
            value = sine(phase) * exponential(t, 0.035 * len) + 0.4f * filter.high * exponential(t, 0.01);
            break;
        }
        case Voice::Shaker: {
            filter.process(noise.next());
            const float swell = static_cast<float>(std::min(1.0, t / 0.012));
            value = 1.6f * filter.band * swell * exponential(t, 0.045 * len);
            break;
        }
        case Voice::Clap: {
            filter.process(noise.next());
            float envelope = exponential(t, 0.12 * len);
            for (double burst : {0.0, 0.011, 0.022}) {
                if (t >= burst) envelope += 1.5f * exponential(t - burst, 0.004);
            }
            value = 1.4f * filter.band * envelope;
            break;
        }
        case Voice::Woodblock: {
            phase += hz / rate;
            phase -= std::floor(phase);
            value = (sine(phase) + 0.4f * sine(phase * 2.76)) * exponential(t, 0.03 * len);
            break;
        }
        case Voice::Brush: {
            filter.process(noise.next());
            const float swell = static_cast<float>(std::min(1.0, t / 0.02));
            value = filter.low * swell * exponential(t, 0.09 * len);
            break;
        }
        default:
            break;
        }
        out[i] = value * attack;
    }
    // What is left of the decay when the hit's time is up fades away rather than stops.
    const std::size_t fade = frames / 4;
    for (std::size_t j = 0; j < fade; ++j) {
        out[frames - fade + j] *= static_cast<float>(0.5 + 0.5 * std::cos(kPi * (j + 1.0) / fade));
    }
    return out;
}

} // namespace

double tailSeconds(const Patch& patch)
{
    switch (patch.voice) {
    case Voice::Subtractive:
    case Voice::Fm:
    case Voice::Pluck:
    case Voice::Flute:
        return patch.release * 1.5 + 0.05;
    default:
        return 3.6 * patch.length;
    }
}

void renderNote(const Patch& patch, const NoteEvent& note, double sampleRate, Bus& bus)
{
    Samples sound;
    switch (patch.voice) {
    case Voice::Subtractive:
        sound = subtractive(patch, note, sampleRate);
        break;
    case Voice::Fm:
        sound = fm(patch, note, sampleRate);
        break;
    case Voice::Pluck:
        sound = pluck(patch, note, sampleRate);
        break;
    case Voice::Flute:
        sound = flute(patch, note, sampleRate);
        break;
    default:
        sound = drum(patch, note, sampleRate);
        break;
    }
    const float gain = patch.gain * std::pow(std::max(0.0f, note.velocity), 1.5f);
    const float pan = std::max(-1.0f, std::min(1.0f, patch.pan + note.pan));
    const float angle = static_cast<float>((pan + 1.0) * kPi / 4.0);
    const float leftGain = gain * std::cos(angle);
    const float rightGain = gain * std::sin(angle);
    const std::size_t start = static_cast<std::size_t>(std::max(0.0, note.start));
    if (start >= bus.left.size()) return;
    const std::size_t count = std::min(sound.size(), bus.left.size() - start);
    std::vector<float>& left = patch.chorus > 0.0f ? bus.chorusLeft : bus.left;
    std::vector<float>& right = patch.chorus > 0.0f ? bus.chorusRight : bus.right;
    for (std::size_t i = 0; i < count; ++i) {
        const float value = sound[i];
        left[start + i] += value * leftGain;
        right[start + i] += value * rightGain;
        bus.reverb[start + i] += value * gain * patch.reverb;
    }
}

} // namespace SoundGen
} // namespace Marevane
