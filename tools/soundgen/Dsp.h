// The building blocks of our synthesizer: oscillators, noise, envelopes,
// filters, delays and the two room effects. Everything is deterministic: no
// clock, no global random state.
#pragma once

#include <cstdint>
#include <vector>

namespace Marevane {
namespace SoundGen {

constexpr double kPi = 3.14159265358979323846;

// Frequency of a (possibly fractional) MIDI note; A4 = 69 = 440 Hz.
double noteHz(double note);
float dbToGain(float db);

// One cycle of a sine from a table, phase 0..1.
float sine(double phase);
// Band-limited saw and square at phase 0..1 and phase step dt.
float saw(double phase, double dt);
float square(double phase, double dt, double width = 0.5);
float triangle(double phase);

// xorshift noise: a fixed seed gives the same sequence everywhere.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : m_state(seed ? seed : 0x9e3779b9u) {}
    std::uint32_t nextBits()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // Uniform in -1..1.
    float next() { return static_cast<float>(nextBits() >> 8) / 8388608.0f - 1.0f; }
    // Uniform in 0..1.
    float unit() { return static_cast<float>(nextBits() >> 8) / 16777216.0f; }

  private:
    std::uint32_t m_state;
};

// Attack, exponential decay to the sustain level, exponential release after
// the key is let go. Times in seconds.
class Envelope {
  public:
    Envelope(float attack, float decay, float sustain, float release, double sampleRate);
    // Lets the key go now.
    void release();
    float next();
    bool finished() const { return m_stage == Stage::Done; }

  private:
    enum class Stage { Attack, Decay, Release, Done };
    Stage m_stage = Stage::Attack;
    float m_value = 0.0f;
    float m_attackStep;
    float m_decayFactor;
    float m_sustain;
    float m_releaseFactor;
};

class OnePole {
  public:
    void setLowpass(double hz, double sampleRate);
    float lowpass(float x)
    {
        m_z += m_a * (x - m_z);
        return m_z;
    }
    float highpass(float x) { return x - lowpass(x); }

  private:
    float m_a = 1.0f;
    float m_z = 0.0f;
};

// A state-variable filter (trapezoidal integration): stable under fast
// cutoff sweeps, low, band and high outputs at once.
class Svf {
  public:
    void set(double hz, double q, double sampleRate);
    void process(float x);
    float low = 0.0f;
    float band = 0.0f;
    float high = 0.0f;

  private:
    float m_a1 = 0.0f, m_a2 = 0.0f, m_a3 = 0.0f, m_k = 1.0f;
    float m_ic1 = 0.0f, m_ic2 = 0.0f;
};

// A stereo room: parallel damped combs into series allpasses. Linear and
// time-invariant, so renders of parts may be summed after it.
class Reverb {
  public:
    Reverb(double sampleRate, float roomSize, float damping, float preDelayMs);
    // Adds the wet signal of `in` (mono send) to left and right.
    void process(const std::vector<float>& in, std::vector<float>& left, std::vector<float>& right,
                 float wet);

  private:
    struct Comb {
        std::vector<float> buffer;
        std::size_t at = 0;
        float store = 0.0f;
    };
    struct Allpass {
        std::vector<float> buffer;
        std::size_t at = 0;
    };
    std::vector<Comb> m_combs[2];
    std::vector<Allpass> m_allpasses[2];
    std::size_t m_preDelay;
    float m_feedback;
    float m_damping;
};

// A slow stereo chorus: each side reads its input back through a delay that
// sways a few milliseconds.
void chorus(const std::vector<float>& inLeft, const std::vector<float>& inRight, std::vector<float>& left,
            std::vector<float>& right, double sampleRate, float depthMs, float rateHz, float mix);

} // namespace SoundGen
} // namespace Marevane
