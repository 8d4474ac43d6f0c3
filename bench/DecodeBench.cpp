// Decoding speed of a 60 s stereo track at 44100 Hz: the adaptive delta
// decoder (beside PCM16 for scale) as the render thread drives it, 240 frames
// at a time, and Tremor decoding the same music as Ogg Vorbis, beside Debian's
// oggdec (the float libvorbis) decoding the same file in the same run.
#include "audio/AudioStream.h"
#include "audio/BufferSource.h"
#include "audio/Decoders.h"
#include "audio/SampleCodec.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Daz;

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 60;
constexpr int kFrames = kRate * kSeconds;
constexpr int kBlock = 240;
constexpr int kRuns = 3;
constexpr double kPi = 3.14159265358979323846;

typedef std::chrono::steady_clock Clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Chords over a bass line with a little noise: music-like, deterministic.
std::vector<float> makeTrack()
{
    std::vector<float> track(2 * static_cast<std::size_t>(kFrames));
    const double roots[4] = {110.0, 146.83, 130.81, 98.0};
    std::uint32_t seed = 1;
    for (int f = 0; f < kFrames; ++f) {
        const double t = static_cast<double>(f) / kRate;
        const double root = roots[static_cast<int>(t / 2.0) % 4];
        const double envelope = 0.6 + 0.4 * std::cos(2.0 * kPi * t * 2.0);
        double left = 0.0, right = 0.0;
        for (int h = 1; h <= 4; ++h) {
            const double ratio = h == 1 ? 1.0 : h == 2 ? 1.25 : h == 3 ? 1.5 : 2.0;
            left += std::sin(2.0 * kPi * root * ratio * t) / (h + 1);
            right += std::sin(2.0 * kPi * root * ratio * 1.003 * t + h) / (h + 1);
        }
        seed = seed * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.02;
        track[2 * static_cast<std::size_t>(f)] = static_cast<float>(0.3 * envelope * left + noise);
        track[2 * static_cast<std::size_t>(f) + 1] = static_cast<float>(0.3 * envelope * right - noise);
    }
    return track;
}

// The best of a few runs of `decode`, which gives the frames it decoded.
template <typename F> double bestSeconds(F decode, long long& frames)
{
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const Clock::time_point start = Clock::now();
        frames = decode();
        best = std::min(best, secondsSince(start));
    }
    return best;
}

void report(const char* name, long long frames, double seconds)
{
    const double audio = static_cast<double>(frames) / kRate;
    std::printf("%-34s %9lld frames %8.1f ms %9.0fx real time\n", name, frames, seconds * 1000.0,
                audio / seconds);
}

// The render thread's way: 240 frames a pass into a float pipeline buffer.
long long decodeAll(Decoder& decoder)
{
    std::vector<float> buffer(2 * kBlock);
    decoder.setFramePos(0);
    long long frames = 0;
    while (int got = decoder.decode(buffer.data(), kBlock)) frames += got;
    return frames;
}

void benchBlocks(const std::vector<float>& track, int format, const char* name)
{
    const SampleInfo info = SampleCodec::makeInfo(format, 2, kRate, kFrames);
    std::vector<unsigned char> data(static_cast<std::size_t>(info.getDataBytes()));
    SampleCodec::encode(info, track.data(), kFrames, data.data());
    BufferSource source(info, data.data());
    Decoder* decoder = createDecoder(&source);
    long long frames = 0;
    const double seconds = bestSeconds([&] { return decodeAll(*decoder); }, frames);
    report(name, frames, seconds);
    delete decoder;
}

bool writeWav(const std::string& path, const std::vector<float>& track)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(track.size() * 2);
    auto u32 = [&](std::uint32_t v) { std::fwrite(&v, 4, 1, file); };
    auto u16 = [&](std::uint16_t v) { std::fwrite(&v, 2, 1, file); };
    std::fwrite("RIFF", 1, 4, file);
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, file);
    u32(dataBytes);
    for (float sample : track) {
        const float clamped = std::max(-1.0f, std::min(1.0f, sample));
        const std::int16_t value = static_cast<std::int16_t>(std::lround(clamped * 32767.0f));
        std::fwrite(&value, 2, 1, file);
    }
    return std::fclose(file) == 0;
}

void benchVorbis(const std::vector<float>& track)
{
    const std::string folder = "/tmp/marevane-bench-decode-" + std::to_string(getpid());
    const std::string wav = folder + "/track.wav";
    const std::string ogg = folder + "/track.ogg";
    if (std::system(("mkdir -p " + folder).c_str()) != 0 || !writeWav(wav, track)) {
        std::printf("could not write %s\n", wav.c_str());
        return;
    }
    if (std::system(("oggenc -Q -q 3 -o " + ogg + " " + wav).c_str()) != 0) {
        std::printf("oggenc (vorbis-tools) is missing or failed: no Vorbis figures\n");
    } else {
        long long frames = 0;
        const double tremor = bestSeconds(
            [&] {
                VorbisAudioStream stream(ogg.c_str(), 0, 0, 0);
                if (!stream.open()) return 0LL;
                std::vector<std::int16_t> buffer(2 * 4096);
                long long total = 0;
                while (int got = stream.read(buffer.data(), 4096)) total += got;
                return total;
            },
            frames);
        report("Ogg Vorbis, Tremor (to memory)", frames, tremor);
        bool ran = true;
        const double oggdec = bestSeconds(
            [&] {
                ran = std::system(("oggdec -Q -o /dev/null " + ogg).c_str()) == 0 && ran;
                return static_cast<long long>(kFrames);
            },
            frames);
        if (ran)
            report("Ogg Vorbis, oggdec (to /dev/null)", frames, oggdec);
        else
            std::printf("oggdec (vorbis-tools) is missing or failed\n");
    }
    std::system(("rm -rf " + folder).c_str());
}

} // namespace

int main()
{
    std::printf("decoding a %d s stereo track at %d Hz, best of %d runs\n", kSeconds, kRate, kRuns);
    const std::vector<float> track = makeTrack();
    benchBlocks(track, kFormat_PcmI16, "PCM16 decoder");
    benchBlocks(track, kFormat_Adpcm, "adaptive delta decoder");
    benchVorbis(track);
    return 0;
}
