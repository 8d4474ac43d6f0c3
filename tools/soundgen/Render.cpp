#include "Render.h"

#include "Dsp.h"

#include "audio/Adpcm.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace Marevane {
namespace SoundGen {

namespace {

constexpr int kBlock = Daz::Adpcm::kBlockFrames;
constexpr double kTailSeconds = 7.0;
constexpr double kIntroCrossfadeSeconds = 0.3;

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

std::size_t roundToBlocks(double frames)
{
    return static_cast<std::size_t>(std::llround(frames / kBlock)) * kBlock;
}

Stereo renderSection(const Composition& composition, const Section& section, double framesPerBeat,
                     std::size_t frames, int sampleRate, std::uint32_t salt)
{
    Bus bus(frames);
    Noise humanize(composition.seed * 7919u + salt);
    for (std::size_t i = 0; i < section.score.notes.size(); ++i) {
        const Note& note = section.score.notes[i];
        if (note.beat < 0.0 || note.beat >= section.beats - 1e-9) {
            throw std::logic_error("a note at beat " + std::to_string(note.beat) +
                                   " lies outside its section of " + std::to_string(section.beats) +
                                   " beats");
        }
        const Patch& patch = composition.patches.at(static_cast<std::size_t>(note.patch));
        // Late only, never early, so that nothing slips before a section's start.
        const double late = humanize.unit() * patch.humanizeMs * 0.001 * sampleRate;
        const float velocity = note.velocity * (1.0f + 0.06f * humanize.next());
        const NoteEvent event{note.beat * framesPerBeat + late,
                              note.beats * framesPerBeat * patch.gate,
                              note.pitch,
                              std::min(1.0f, velocity),
                              note.pan,
                              composition.seed * 2654435761u + salt * 97u + static_cast<std::uint32_t>(i)};
        renderNote(patch, event, sampleRate, bus);
    }
    Stereo out{std::move(bus.left), std::move(bus.right)};
    chorus(bus.chorusLeft, bus.chorusRight, out.left, out.right, sampleRate, composition.chorusDepthMs,
           composition.chorusRateHz, composition.chorusMix);
    Reverb reverb(sampleRate, composition.roomSize, composition.damping, 22.0f);
    reverb.process(bus.reverb, out.left, out.right, composition.reverbWet);
    for (std::vector<float>* side : {&out.left, &out.right}) {
        OnePole dc;
        dc.setLowpass(12.0, sampleRate);
        for (float& value : *side) value = dc.highpass(value);
    }
    return out;
}

float at(const std::vector<float>& samples, std::size_t index)
{
    return index < samples.size() ? samples[index] : 0.0f;
}

} // namespace

std::int32_t blockRounded(std::int32_t frame)
{
    return static_cast<std::int32_t>(std::lround(static_cast<double>(frame) / kBlock)) * kBlock;
}

float normalize(std::vector<float>& samples, float loudnessDb, float ceilingDb)
{
    double sum = 0.0;
    float peak = 0.0f;
    for (float value : samples) {
        sum += static_cast<double>(value) * value;
        peak = std::max(peak, std::fabs(value));
    }
    if (peak <= 0.0f) return 1.0f;
    const double rms = std::sqrt(sum / samples.size());
    const float gain = std::min(static_cast<float>(dbToGain(loudnessDb) / rms), dbToGain(ceilingDb) / peak);
    for (float& value : samples) value *= gain;
    return gain;
}

SoundTool::Audio renderTrack(const Composition& composition, std::int32_t loopStart, std::int32_t loopEnd,
                             int sampleRate, TrackReport* report)
{
    const std::size_t start = static_cast<std::size_t>(blockRounded(loopStart));
    if ((start > 0) != (composition.intro.beats > 0.0)) {
        throw std::logic_error("a track has an intro exactly when its loop starts after frame 0");
    }
    const double nominal = 60.0 / composition.bpm * sampleRate;
    const std::size_t loopFrames = loopEnd >= 0 ? static_cast<std::size_t>(blockRounded(loopEnd)) - start
                                                : roundToBlocks(composition.loop.beats * nominal);
    const double loopFpb = static_cast<double>(loopFrames) / composition.loop.beats;
    const double introFpb = start > 0 ? static_cast<double>(start) / composition.intro.beats : loopFpb;
    const std::size_t tail = static_cast<std::size_t>(kTailSeconds * sampleRate);
    const std::size_t outroFrames = composition.outro.beats > 0.0
                                        ? roundToBlocks(composition.outro.beats * loopFpb + 3.0 * sampleRate)
                                        : 0;

    const Stereo loop =
        renderSection(composition, composition.loop, loopFpb, loopFrames + tail, sampleRate, 2);
    Stereo intro;
    if (start > 0) intro = renderSection(composition, composition.intro, introFpb, start, sampleRate, 1);
    Stereo outro;
    if (outroFrames > 0) {
        outro = renderSection(composition, composition.outro, loopFpb, outroFrames, sampleRate, 3);
    }

    const std::size_t frames = start + loopFrames + outroFrames;
    SoundTool::Audio audio;
    audio.channels = 2;
    audio.sampleRate = sampleRate;
    audio.samples.assign(frames * 2, 0.0f);
    const std::size_t fade = std::min(start, static_cast<std::size_t>(kIntroCrossfadeSeconds * sampleRate));
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& i = side == 0 ? intro.left : intro.right;
        const std::vector<float>& s = side == 0 ? loop.left : loop.right;
        const std::vector<float>& o = side == 0 ? outro.left : outro.right;
        auto out = [&](std::size_t frame) -> float& { return audio.samples[frame * 2 + side]; };
        for (std::size_t k = 0; k < start; ++k) out(k) = i[k];
        // The intro's last moments blend into the loop's own end, which is what
        // precedes the loop start on every later pass.
        for (std::size_t j = 0; j < fade; ++j) {
            const float w = static_cast<float>(0.5 - 0.5 * std::cos(kPi * (j + 0.5) / fade));
            const std::size_t k = start - fade + j;
            out(k) = (1.0f - w) * i[k] + w * s[loopFrames - fade + j];
        }
        // The loop's own tail sounds on at its start, as it does when the player turns.
        for (std::size_t k = 0; k < loopFrames; ++k) out(start + k) = s[k] + at(s, loopFrames + k);
        for (std::size_t k = 0; k < outroFrames; ++k)
            out(start + loopFrames + k) = at(s, loopFrames + k) + o[k];
    }
    const float gain = normalize(audio.samples, composition.loudnessDb, -1.5f);
    (void)gain;
    if (report) {
        double sum = 0.0;
        float peak = 0.0f;
        for (float value : audio.samples) {
            sum += static_cast<double>(value) * value;
            peak = std::max(peak, std::fabs(value));
        }
        report->loopStart = static_cast<std::int32_t>(start);
        report->loopEnd = static_cast<std::int32_t>(start + loopFrames);
        report->introBpm = start > 0 ? 60.0 * sampleRate / introFpb : 0.0;
        report->loopBpm = 60.0 * sampleRate / loopFpb;
        report->peakDb = 20.0f * std::log10(peak);
        report->rmsDb = static_cast<float>(10.0 * std::log10(sum / audio.samples.size()));
    }
    return audio;
}

} // namespace SoundGen
} // namespace Marevane
