// The instruments of our synthesizer: a patch of parameters per sound and the
// rendering of one note of it into a mix bus.
#pragma once

#include <cstdint>
#include <vector>

namespace Marevane {
namespace SoundGen {

enum class Voice {
    Subtractive, // oscillators through a resonant low-pass
    Fm,          // two-operator frequency modulation: pianos, bells
    Pluck,       // a plucked string: guitar, harp
    Flute,       // a few sine partials and breath
    Kick,
    Snare,
    HatClosed,
    HatOpen,
    Crash,
    Tom, // also surdo and timpani-like drums, tuned by the note
    Tamborim,
    Shaker,
    Clap,
    Woodblock,
    Timpani,
    Brush,
};

struct Patch {
    Voice voice = Voice::Subtractive;
    float gain = 1.0f;
    float attack = 0.005f;
    float decay = 0.3f;
    float sustain = 0.7f;
    float release = 0.2f;
    // Subtractive oscillators.
    float sawLevel = 1.0f;
    float squareLevel = 0.0f;
    float sineLevel = 0.0f;
    float subLevel = 0.0f;
    float noiseLevel = 0.0f;
    float pulseWidth = 0.5f;
    int unison = 1;
    float detuneCents = 0.0f;
    // The low-pass: base cutoff at middle C, how far it follows the key, and an
    // envelope sweep in octaves.
    float cutoff = 2000.0f;
    float keyTrack = 0.5f;
    float filterEnv = 0.0f;
    float filterAttack = 0.01f;
    float filterDecay = 0.3f;
    float velocityBrightness = 1.0f;
    float resonance = 0.7f;
    float vibratoRate = 5.0f;
    float vibratoCents = 0.0f;
    float vibratoDelay = 0.3f;
    float drive = 0.0f;
    // A short glide up into the note, in semitones.
    float scoop = 0.0f;
    // FM: modulator ratio, index at the attack and where it settles.
    float fmRatio = 1.0f;
    float fmIndex = 0.0f;
    float fmIndexSustain = 0.0f;
    float fmIndexDecay = 0.5f;
    // Pluck and drum colour, 0 dull .. 1 bright; drum length factor.
    float brightness = 0.5f;
    float length = 1.0f;
    // Mix sends.
    float pan = 0.0f;
    float reverb = 0.2f;
    float chorus = 0.0f;
    // The share of a written length that sounds; random timing spread in ms.
    float gate = 0.92f;
    float humanizeMs = 6.0f;
};

// One note in frames, ready to render.
struct NoteEvent {
    double start;
    double length;
    double pitch;
    float velocity;
    float pan;
    std::uint32_t seed;
};

// Where notes are mixed: dry stereo, a stereo chorus send and a mono reverb send.
struct Bus {
    explicit Bus(std::size_t frames)
        : left(frames), right(frames), chorusLeft(frames), chorusRight(frames), reverb(frames)
    {
    }
    std::vector<float> left, right, chorusLeft, chorusRight, reverb;
};

// Renders the note; what would pass the end of the bus is dropped.
void renderNote(const Patch& patch, const NoteEvent& note, double sampleRate, Bus& bus);

// How long after its written end a note of the patch may still sound, in seconds.
double tailSeconds(const Patch& patch);

} // namespace SoundGen
} // namespace Marevane
