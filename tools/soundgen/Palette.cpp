#include "Palette.h"

#include <stdexcept>

namespace Marevane {
namespace SoundGen {

namespace {

Patch strings()
{
    Patch p;
    p.unison = 3;
    p.detuneCents = 9.0f;
    p.cutoff = 2400.0f;
    p.keyTrack = 0.3f;
    p.attack = 0.22f;
    p.decay = 1.0f;
    p.sustain = 0.9f;
    p.release = 0.5f;
    p.vibratoCents = 7.0f;
    p.vibratoDelay = 0.35f;
    p.chorus = 1.0f;
    p.reverb = 0.45f;
    p.gain = 0.22f;
    p.gate = 0.98f;
    return p;
}

Patch brass()
{
    Patch p;
    p.unison = 2;
    p.detuneCents = 5.0f;
    p.cutoff = 750.0f;
    p.keyTrack = 0.6f;
    p.filterEnv = 1.6f;
    p.filterAttack = 0.07f;
    p.filterDecay = 0.45f;
    p.resonance = 0.8f;
    p.attack = 0.035f;
    p.decay = 0.5f;
    p.sustain = 0.8f;
    p.release = 0.22f;
    p.scoop = 0.25f;
    p.vibratoCents = 6.0f;
    p.vibratoRate = 5.5f;
    p.vibratoDelay = 0.35f;
    p.reverb = 0.35f;
    p.gain = 0.3f;
    return p;
}

Patch drum(Voice voice, float gain, float brightness = 0.5f, float length = 1.0f)
{
    Patch p;
    p.voice = voice;
    p.gain = gain;
    p.brightness = brightness;
    p.length = length;
    p.reverb = 0.12f;
    p.humanizeMs = 4.0f;
    return p;
}

Patch sound(const std::string& name);

// Where each instrument sits on the stage, left negative.
float stagePosition(const std::string& name)
{
    static const struct {
        const char* name;
        float pan;
    } kSeats[] = {
        {"strings", -0.25f}, {"strings.soft", -0.25f}, {"strings.short", -0.3f}, {"cello", 0.3f},
        {"brass", 0.15f},    {"horn", -0.15f},         {"flute", 0.25f},         {"oboe", 0.2f},
        {"epiano", -0.1f},   {"bell", 0.35f},          {"glock", 0.35f},         {"marimba", -0.35f},
        {"harp", -0.35f},    {"guitar", -0.3f},        {"pizz", -0.2f},          {"lead", 0.1f},
        {"hat", 0.3f},       {"hat.open", 0.3f},       {"shaker", -0.3f},        {"tamborim", 0.35f},
        {"clap", 0.1f},      {"brush", 0.2f},          {"woodblock", -0.2f},     {"crash", 0.2f},
        {"tom", -0.2f},      {"timpani", -0.1f},       {"surdo", -0.1f}};
    for (const auto& seat : kSeats) {
        if (name == seat.name) return seat.pan;
    }
    return 0.0f;
}

Patch sound(const std::string& name)
{
    Patch p;
    if (name == "strings") return strings();
    if (name == "strings.soft") {
        p = strings();
        p.cutoff = 1500.0f;
        p.attack = 0.5f;
        p.release = 0.9f;
        return p;
    }
    if (name == "strings.short") {
        p = strings();
        p.attack = 0.012f;
        p.decay = 0.18f;
        p.sustain = 0.35f;
        p.release = 0.12f;
        p.vibratoCents = 0.0f;
        p.gate = 0.8f;
        return p;
    }
    if (name == "brass") return brass();
    if (name == "horn") {
        p = brass();
        p.cutoff = 480.0f;
        p.filterEnv = 1.1f;
        p.attack = 0.06f;
        p.scoop = 0.1f;
        p.reverb = 0.5f;
        p.gain = 0.34f;
        return p;
    }
    if (name == "flute") {
        p.voice = Voice::Flute;
        p.attack = 0.06f;
        p.decay = 0.4f;
        p.sustain = 0.85f;
        p.release = 0.2f;
        p.vibratoCents = 12.0f;
        p.vibratoDelay = 0.25f;
        p.brightness = 0.3f;
        p.reverb = 0.45f;
        p.gain = 0.2f;
        return p;
    }
    if (name == "oboe") {
        p.sawLevel = 0.3f;
        p.squareLevel = 0.8f;
        p.pulseWidth = 0.3f;
        p.cutoff = 1300.0f;
        p.keyTrack = 0.8f;
        p.resonance = 1.6f;
        p.attack = 0.05f;
        p.decay = 0.3f;
        p.sustain = 0.85f;
        p.release = 0.15f;
        p.vibratoCents = 10.0f;
        p.vibratoDelay = 0.3f;
        p.reverb = 0.4f;
        p.gain = 0.16f;
        return p;
    }
    if (name == "epiano") {
        p.voice = Voice::Fm;
        p.fmRatio = 1.0f;
        p.fmIndex = 1.8f;
        p.fmIndexSustain = 0.25f;
        p.fmIndexDecay = 0.5f;
        p.attack = 0.003f;
        p.decay = 2.4f;
        p.sustain = 0.0f;
        p.release = 0.35f;
        p.reverb = 0.35f;
        p.chorus = 1.0f;
        p.gain = 0.25f;
        return p;
    }
    if (name == "piano") {
        p.voice = Voice::Fm;
        p.fmRatio = 2.0f;
        p.fmIndex = 1.4f;
        p.fmIndexSustain = 0.15f;
        p.fmIndexDecay = 0.3f;
        p.attack = 0.002f;
        p.decay = 2.0f;
        p.sustain = 0.0f;
        p.release = 0.3f;
        p.reverb = 0.4f;
        p.gain = 0.26f;
        return p;
    }
    if (name == "bell") {
        p.voice = Voice::Fm;
        p.fmRatio = 3.5f;
        p.fmIndex = 2.2f;
        p.fmIndexSustain = 0.4f;
        p.fmIndexDecay = 1.2f;
        p.attack = 0.002f;
        p.decay = 3.0f;
        p.sustain = 0.0f;
        p.release = 1.2f;
        p.reverb = 0.6f;
        p.gain = 0.16f;
        p.gate = 1.0f;
        return p;
    }
    if (name == "glock") {
        p.voice = Voice::Fm;
        p.fmRatio = 3.0f;
        p.fmIndex = 1.2f;
        p.fmIndexSustain = 0.1f;
        p.fmIndexDecay = 0.25f;
        p.attack = 0.001f;
        p.decay = 1.4f;
        p.sustain = 0.0f;
        p.release = 0.8f;
        p.reverb = 0.5f;
        p.gain = 0.14f;
        p.gate = 1.0f;
        return p;
    }
    if (name == "marimba") {
        p.voice = Voice::Fm;
        p.fmRatio = 4.0f;
        p.fmIndex = 2.0f;
        p.fmIndexDecay = 0.04f;
        p.attack = 0.001f;
        p.decay = 0.7f;
        p.sustain = 0.0f;
        p.release = 0.3f;
        p.reverb = 0.3f;
        p.gain = 0.3f;
        return p;
    }
    if (name == "sonar") {
        p.voice = Voice::Fm;
        p.fmRatio = 1.0f;
        p.fmIndex = 0.3f;
        p.fmIndexDecay = 0.2f;
        p.attack = 0.004f;
        p.decay = 2.2f;
        p.sustain = 0.0f;
        p.release = 1.5f;
        p.reverb = 1.0f;
        p.gain = 0.12f;
        p.gate = 1.0f;
        p.humanizeMs = 0.0f;
        return p;
    }
    if (name == "harp") {
        p.voice = Voice::Pluck;
        p.decay = 3.5f;
        p.brightness = 0.5f;
        p.release = 0.8f;
        p.reverb = 0.5f;
        p.gain = 0.35f;
        p.gate = 1.0f;
        return p;
    }
    if (name == "guitar") {
        p.voice = Voice::Pluck;
        p.decay = 1.8f;
        p.brightness = 0.35f;
        p.release = 0.1f;
        p.reverb = 0.25f;
        p.gain = 0.32f;
        return p;
    }
    if (name == "pizz") {
        p.voice = Voice::Pluck;
        p.decay = 0.45f;
        p.brightness = 0.45f;
        p.release = 0.1f;
        p.reverb = 0.45f;
        p.gain = 0.4f;
        p.gate = 1.0f;
        return p;
    }
    if (name == "bass") {
        p.sawLevel = 0.6f;
        p.squareLevel = 0.35f;
        p.subLevel = 0.5f;
        p.cutoff = 380.0f;
        p.keyTrack = 0.3f;
        p.filterEnv = 1.4f;
        p.filterAttack = 0.005f;
        p.filterDecay = 0.15f;
        p.attack = 0.004f;
        p.decay = 0.4f;
        p.sustain = 0.7f;
        p.release = 0.08f;
        p.reverb = 0.05f;
        p.gain = 0.42f;
        p.humanizeMs = 3.0f;
        return p;
    }
    if (name == "bass.soft") {
        p.sawLevel = 0.25f;
        p.sineLevel = 1.0f;
        p.cutoff = 600.0f;
        p.keyTrack = 0.2f;
        p.attack = 0.01f;
        p.decay = 0.8f;
        p.sustain = 0.55f;
        p.release = 0.15f;
        p.reverb = 0.08f;
        p.gain = 0.5f;
        return p;
    }
    if (name == "cello") {
        p = strings();
        p.unison = 2;
        p.cutoff = 900.0f;
        p.attack = 0.08f;
        p.chorus = 0.0f;
        p.gain = 0.3f;
        return p;
    }
    if (name == "pad") {
        p.unison = 3;
        p.detuneCents = 12.0f;
        p.cutoff = 850.0f;
        p.keyTrack = 0.2f;
        p.attack = 1.2f;
        p.decay = 2.0f;
        p.sustain = 0.85f;
        p.release = 1.6f;
        p.chorus = 1.0f;
        p.reverb = 0.6f;
        p.gain = 0.14f;
        p.gate = 1.0f;
        return p;
    }
    if (name == "pad.dark") {
        p = sound("pad");
        p.cutoff = 450.0f;
        p.sawLevel = 0.6f;
        p.squareLevel = 0.4f;
        p.gain = 0.18f;
        return p;
    }
    if (name == "lead") {
        p.unison = 2;
        p.detuneCents = 7.0f;
        p.squareLevel = 0.3f;
        p.cutoff = 2200.0f;
        p.keyTrack = 0.5f;
        p.filterEnv = 0.8f;
        p.filterDecay = 0.25f;
        p.attack = 0.01f;
        p.decay = 0.3f;
        p.sustain = 0.8f;
        p.release = 0.2f;
        p.vibratoCents = 14.0f;
        p.vibratoRate = 5.5f;
        p.vibratoDelay = 0.25f;
        p.reverb = 0.35f;
        p.gain = 0.2f;
        return p;
    }
    if (name == "power") {
        p.unison = 2;
        p.detuneCents = 10.0f;
        p.squareLevel = 0.5f;
        p.drive = 4.0f;
        p.cutoff = 1700.0f;
        p.keyTrack = 0.0f;
        p.attack = 0.004f;
        p.decay = 0.5f;
        p.sustain = 0.6f;
        p.release = 0.1f;
        p.reverb = 0.15f;
        p.gain = 0.13f;
        p.humanizeMs = 3.0f;
        return p;
    }
    if (name == "waves") {
        p.sawLevel = 0.0f;
        p.noiseLevel = 1.0f;
        p.cutoff = 500.0f;
        p.keyTrack = 0.0f;
        p.filterEnv = 1.5f;
        p.filterAttack = 2.0f;
        p.filterDecay = 2.5f;
        p.velocityBrightness = 0.0f;
        p.attack = 1.8f;
        p.decay = 3.0f;
        p.sustain = 0.3f;
        p.release = 2.5f;
        p.reverb = 0.5f;
        p.gain = 0.12f;
        p.gate = 1.0f;
        p.humanizeMs = 0.0f;
        return p;
    }
    if (name == "kick") return drum(Voice::Kick, 0.9f);
    if (name == "snare") return drum(Voice::Snare, 0.55f);
    if (name == "snare.march") return drum(Voice::Snare, 0.24f, 0.8f, 0.6f);
    if (name == "hat") return drum(Voice::HatClosed, 0.22f);
    if (name == "hat.open") return drum(Voice::HatOpen, 0.18f);
    if (name == "crash") {
        p = drum(Voice::Crash, 0.16f);
        p.reverb = 0.3f;
        return p;
    }
    if (name == "tom") return drum(Voice::Tom, 0.6f);
    if (name == "surdo") return drum(Voice::Tom, 0.75f, 0.3f, 2.0f);
    if (name == "timpani") {
        p = drum(Voice::Timpani, 0.4f);
        p.reverb = 0.4f;
        return p;
    }
    if (name == "tamborim") return drum(Voice::Tamborim, 0.28f);
    if (name == "shaker") return drum(Voice::Shaker, 0.2f);
    if (name == "clap") return drum(Voice::Clap, 0.35f);
    if (name == "woodblock") return drum(Voice::Woodblock, 0.3f);
    if (name == "brush") return drum(Voice::Brush, 0.25f);
    throw std::invalid_argument("no instrument \"" + name + "\"");
}

} // namespace

Patch instrument(const std::string& name)
{
    Patch p = sound(name);
    p.pan = stagePosition(name);
    return p;
}

} // namespace SoundGen
} // namespace Marevane
