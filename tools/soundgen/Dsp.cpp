#include "Dsp.h"

#include <algorithm>
#include <cmath>

namespace Marevane {
namespace SoundGen {

namespace {

constexpr int kTableSize = 4096;

const std::vector<float>& sineTable()
{
    static const std::vector<float> table = [] {
        std::vector<float> values(kTableSize + 1);
        for (int i = 0; i <= kTableSize; ++i)
            values[i] = static_cast<float>(std::sin(2.0 * kPi * i / kTableSize));
        return values;
    }();
    return table;
}

// Smooths the step of a naive waveform at phase t (PolyBLEP).
double blep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

float decayFactor(float seconds, double sampleRate)
{
    // Falls to about -60 dB in the given time.
    return seconds <= 0.0f ? 0.0f : static_cast<float>(std::exp(-6.9 / (seconds * sampleRate)));
}

} // namespace

double noteHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

float dbToGain(float db)
{
    return static_cast<float>(std::pow(10.0, db / 20.0));
}

float sine(double phase)
{
    const std::vector<float>& table = sineTable();
    const double position = (phase - std::floor(phase)) * kTableSize;
    const int index = static_cast<int>(position);
    const float fraction = static_cast<float>(position - index);
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

float saw(double phase, double dt)
{
    return static_cast<float>(2.0 * phase - 1.0 - blep(phase, dt));
}

float square(double phase, double dt, double width)
{
    double value = phase < width ? 1.0 : -1.0;
    value += blep(phase, dt);
    double shifted = phase + 1.0 - width;
    shifted -= std::floor(shifted);
    value -= blep(shifted, dt);
    return static_cast<float>(value);
}

float triangle(double phase)
{
    return static_cast<float>(phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase);
}

Envelope::Envelope(float attack, float decay, float sustain, float release, double sampleRate)
    : m_attackStep(attack <= 0.0f ? 1.0f : static_cast<float>(1.0 / (attack * sampleRate))),
      m_decayFactor(decayFactor(decay, sampleRate)), m_sustain(sustain),
      m_releaseFactor(decayFactor(release, sampleRate))
{
}

void Envelope::release()
{
    if (m_stage != Stage::Done) m_stage = Stage::Release;
}

float Envelope::next()
{
    switch (m_stage) {
    case Stage::Attack:
        m_value += m_attackStep;
        if (m_value >= 1.0f) {
            m_value = 1.0f;
            m_stage = Stage::Decay;
        }
        break;
    case Stage::Decay:
        m_value = m_sustain + (m_value - m_sustain) * m_decayFactor;
        break;
    case Stage::Release:
        m_value *= m_releaseFactor;
        if (m_value < 1e-4f) {
            m_value = 0.0f;
            m_stage = Stage::Done;
        }
        break;
    case Stage::Done:
        break;
    }
    return m_value;
}

void OnePole::setLowpass(double hz, double sampleRate)
{
    m_a = static_cast<float>(1.0 - std::exp(-2.0 * kPi * hz / sampleRate));
}

void Svf::set(double hz, double q, double sampleRate)
{
    hz = std::max(20.0, std::min(hz, sampleRate * 0.45));
    const double g = std::tan(kPi * hz / sampleRate);
    const double k = 1.0 / std::max(0.5, q);
    const double a1 = 1.0 / (1.0 + g * (g + k));
    m_a1 = static_cast<float>(a1);
    m_a2 = static_cast<float>(g * a1);
    m_a3 = static_cast<float>(g * g * a1);
    m_k = static_cast<float>(k);
}

void Svf::process(float x)
{
    const float v3 = x - m_ic2;
    const float v1 = m_a1 * m_ic1 + m_a2 * v3;
    const float v2 = m_ic2 + m_a2 * m_ic1 + m_a3 * v3;
    m_ic1 = 2.0f * v1 - m_ic1;
    m_ic2 = 2.0f * v2 - m_ic2;
    low = v2;
    band = v1;
    high = x - m_k * v1 - v2;
}

Reverb::Reverb(double sampleRate, float roomSize, float damping, float preDelayMs)
    : m_preDelay(static_cast<std::size_t>(preDelayMs * 0.001 * sampleRate)),
      m_feedback(0.7f + 0.28f * roomSize), m_damping(0.4f * damping)
{
    static const int kCombs[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int kAllpasses[] = {556, 441, 341, 225};
    const double scale = sampleRate / 44100.0;
    for (int side = 0; side < 2; ++side) {
        const int spread = side * 23;
        for (int length : kCombs) {
            Comb comb;
            comb.buffer.assign(static_cast<std::size_t>((length + spread) * scale), 0.0f);
            m_combs[side].push_back(comb);
        }
        for (int length : kAllpasses) {
            Allpass allpass;
            allpass.buffer.assign(static_cast<std::size_t>((length + spread) * scale), 0.0f);
            m_allpasses[side].push_back(allpass);
        }
    }
}

void Reverb::process(const std::vector<float>& in, std::vector<float>& left, std::vector<float>& right,
                     float wet)
{
    const std::size_t frames = std::min(in.size(), left.size());
    std::vector<float>* outputs[2] = {&left, &right};
    const float gain = 0.015f * wet;
    for (int side = 0; side < 2; ++side) {
        std::vector<float>& out = *outputs[side];
        for (std::size_t i = 0; i < frames; ++i) {
            const float input = i >= m_preDelay ? in[i - m_preDelay] * gain : 0.0f;
            float sum = 0.0f;
            for (Comb& comb : m_combs[side]) {
                const float delayed = comb.buffer[comb.at];
                comb.store = delayed * (1.0f - m_damping) + comb.store * m_damping;
                comb.buffer[comb.at] = input + comb.store * m_feedback;
                if (++comb.at == comb.buffer.size()) comb.at = 0;
                sum += delayed;
            }
            for (Allpass& allpass : m_allpasses[side]) {
                const float delayed = allpass.buffer[allpass.at];
                allpass.buffer[allpass.at] = sum + delayed * 0.5f;
                if (++allpass.at == allpass.buffer.size()) allpass.at = 0;
                sum = delayed - sum;
            }
            out[i] += sum;
        }
    }
}

void chorus(const std::vector<float>& inLeft, const std::vector<float>& inRight, std::vector<float>& left,
            std::vector<float>& right, double sampleRate, float depthMs, float rateHz, float mix)
{
    const std::size_t frames = std::min(inLeft.size(), left.size());
    const double base = 0.014 * sampleRate;
    const double depth = depthMs * 0.001 * sampleRate;
    const std::vector<float>* inputs[2] = {&inLeft, &inRight};
    std::vector<float>* outputs[2] = {&left, &right};
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& in = *inputs[side];
        std::vector<float>& out = *outputs[side];
        const double offset = side * 0.25;
        for (std::size_t i = 0; i < frames; ++i) {
            const double delay = base + depth * (0.5 + 0.5 * sine(rateHz * i / sampleRate + offset));
            const double position = static_cast<double>(i) - delay;
            float delayed = 0.0f;
            if (position >= 0.0) {
                const std::size_t index = static_cast<std::size_t>(position);
                const float fraction = static_cast<float>(position - index);
                delayed = in[index] + (in[index + 1] - in[index]) * fraction;
            }
            out[i] += in[i] + delayed * mix;
        }
    }
}

} // namespace SoundGen
} // namespace Marevane
