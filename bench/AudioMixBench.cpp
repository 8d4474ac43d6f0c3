// Mixing N voices per 5 ms block through the engine's render graph, in the
// float and fixed pipelines with plain and SSE2 kernels, beside a naive float
// mixer doing the same work in the same run: 16-bit stereo samples, half of
// the voices resampled (44100 Hz) and every voice's gains ramping.
#include "audio/AudioNode.h"
#include "audio/AudioSource.h"
#include "audio/GraphOutput.h"
#include "audio/Kernels.h"
#include "audio/MixBuffer.h"
#include "audio/SourceNode.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

using namespace Daz;

namespace {

constexpr int kBlock = 240; // 5 ms at 48000 Hz
constexpr int kBlocks = 2000;
constexpr int kSampleFrames = 48000;
constexpr int kRetarget = 4; // blocks between gain changes, shorter than a 40 ms ramp

// A looping 16-bit stereo sample, decoded with the pipeline's own conversion.
class PcmVoice : public AudioSource, public Decoder {
  public:
    PcmVoice(const std::vector<std::int16_t>& data, int rate) : m_data(data)
    {
        m_info.format = kFormat_PcmI16;
        m_info.channels = 2;
        m_info.sampleRate = static_cast<std::uint16_t>(rate);
        m_info.blockFrames = 1;
        m_info.blockBytes = 4;
        m_info.blocks = kSampleFrames;
    }
    const SampleInfo& getSampleInfo() const override { return m_info; }
    bool isReady() const override { return true; }
    bool isFailed() const override { return false; }
    void setLoopCount(int) override {}
    void releaseLoop() override {}
    void setLoop(int, int) override {}
    void reset() override { m_pos = 0; }
    bool isAtEnd() const override { return false; }
    int read(void*, int) override { return 0; }
    void setBlockPos(int block) override { setFramePos(block); }
    int getBlockPos() const override { return m_pos; }
    int getCurrentLoop() const override { return 0; }
    int decode(float* out, int frames) override { return produce(out, frames); }
    int decode(Fixed* out, int frames) override { return produce(out, frames); }
    void setFramePos(int frame) override { m_pos = frame % kSampleFrames; }
    int getFramePos() const override { return m_pos; }
    int getFrames() const override { return kSampleFrames; }

  private:
    template <typename S> int produce(S* out, int frames)
    {
        unsigned char* raw = reinterpret_cast<unsigned char*>(out);
        for (int done = 0; done < frames;) {
            const int n = std::min(frames - done, kSampleFrames - m_pos);
            std::memcpy(raw + 4 * done, m_data.data() + 2 * m_pos, 4 * static_cast<std::size_t>(n));
            m_pos = (m_pos + n) % kSampleFrames;
            done += n;
        }
        RenderContext::get().kernels<S>().convertI16(out, 2 * frames);
        return frames;
    }

    const std::vector<std::int16_t>& m_data;
    SampleInfo m_info;
    int m_pos = 0;
};

// The same work written plainly: interpolate, ramp the 2 x 2 gains, sum, clamp.
struct NaiveVoice {
    double pos = 0.0, step = 1.0;
    float gain[4] = {0.5f, 0.0f, 0.0f, 0.5f}, target[4] = {0.5f, 0.0f, 0.0f, 0.5f}, delta[4] = {};
    int rampLeft[4] = {};
};

void naiveMix(std::vector<NaiveVoice>& voices, const std::vector<std::int16_t>& data, float* out)
{
    std::fill(out, out + 2 * kBlock, 0.0f);
    for (NaiveVoice& v : voices) {
        for (int j = 0; j < kBlock; ++j) {
            const int i = static_cast<int>(v.pos);
            const float f = static_cast<float>(v.pos - i);
            const int k = (i + 1) % kSampleFrames;
            const float l = (data[2 * i] + (data[2 * k] - data[2 * i]) * f) * (1.0f / 32767.0f);
            const float r = (data[2 * i + 1] + (data[2 * k + 1] - data[2 * i + 1]) * f) * (1.0f / 32767.0f);
            for (int g = 0; g < 4; ++g) {
                if (v.rampLeft[g] > 0) {
                    v.gain[g] += v.delta[g];
                    if (--v.rampLeft[g] == 0) v.gain[g] = v.target[g];
                }
            }
            out[2 * j] += l * v.gain[0] + r * v.gain[1];
            out[2 * j + 1] += l * v.gain[2] + r * v.gain[3];
            v.pos += v.step;
            if (v.pos >= kSampleFrames) v.pos -= kSampleFrames;
        }
    }
    for (int i = 0; i < 2 * kBlock; ++i) out[i] = std::min(1.0f, std::max(-1.0f, out[i]));
}

void naiveRetarget(NaiveVoice& v, const float gains[4])
{
    for (int g = 0; g < 4; ++g) {
        v.target[g] = gains[g];
        v.rampLeft[g] = static_cast<int>(std::fabs(gains[g] - v.gain[g]) * 1920.0f);
        v.delta[g] = v.rampLeft[g] ? (gains[g] - v.gain[g]) / static_cast<float>(v.rampLeft[g]) : 0.0f;
        if (!v.rampLeft[g]) v.gain[g] = gains[g];
    }
}

// The gains a voice moves to at a retarget: a pan sweeping back and forth.
void gainsFor(int voice, int round, float gains[4])
{
    const float pan = ((voice + round) % 2 ? 0.6f : -0.6f);
    const float volume = 0.5f / std::sqrt(1.0f + static_cast<float>(voice));
    gains[0] = volume * (1.0f - std::max(pan, 0.0f));
    gains[1] = 0.0f;
    gains[2] = 0.0f;
    gains[3] = volume * (1.0f + std::min(pan, 0.0f));
}

// Every few blocks each voice is given new gains to ramp to.
template <typename F> void retarget(int block, int voices, F give)
{
    if (block % kRetarget) return;
    for (int v = 0; v < voices; ++v) {
        float gains[4];
        gainsFor(v, block / kRetarget, gains);
        give(v, gains);
    }
}

typedef std::chrono::steady_clock Clock;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Seconds per block through the engine's graph, best of three runs.
double engineRun(int voices, bool fixedPoint, bool simd, const std::vector<std::int16_t>& data)
{
    MixBufferPool pool(4 * kBlock, 2);
    RenderContext& context = RenderContext::get();
    context.pool = &pool;
    context.fixedPoint = fixedPoint;
    context.useKernels(simd);
    // Every voice is mixed, however long a block takes (another process may hold the core).
    context.budgetMs = 1e9f;
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        MixNode root;
        GraphOutputPumped output(kBlock);
        output.setRoot(&root);
        output.start();
        std::vector<std::unique_ptr<PcmVoice>> sources;
        std::vector<std::unique_ptr<SourceNode>> nodes;
        for (int v = 0; v < voices; ++v) {
            sources.push_back(std::make_unique<PcmVoice>(data, v % 2 ? 44100 : 48000));
            nodes.push_back(std::make_unique<SourceNode>(sources.back().get()));
            SourceNode& node = *nodes.back();
            node.execute(SourceNode::kSetDecoder, static_cast<Decoder*>(sources.back().get()), 0);
            node.execute(SourceNode::kSetOutput, static_cast<MixNode*>(&root), 0);
            node.execute(SourceNode::kSetPlayState, 1, 0);
            node.execute(SourceNode::kAttach, 0, 0);
        }
        std::vector<float> out(2 * kBlock);
        const Clock::time_point start = Clock::now();
        for (int b = 0; b < kBlocks; ++b) {
            retarget(b, voices, [&](int v, const float gains[4]) {
                nodes[static_cast<std::size_t>(v)]->execute(SourceNode::kSetGains12, gains[0], gains[1]);
                nodes[static_cast<std::size_t>(v)]->execute(SourceNode::kSetGains34, gains[2], gains[3]);
            });
            output.pump(out.data(), kBlock);
        }
        best = std::min(best, seconds(Clock::now() - start) / kBlocks);
        output.stop();
        nodes.clear();
    }
    context.pool = nullptr;
    return best;
}

double naiveRun(int voices, const std::vector<std::int16_t>& data)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        std::vector<NaiveVoice> state(static_cast<std::size_t>(voices));
        for (int v = 0; v < voices; ++v)
            state[static_cast<std::size_t>(v)].step = v % 2 ? 44100.0 / 48000.0 : 1.0;
        std::vector<float> out(2 * kBlock);
        const Clock::time_point start = Clock::now();
        for (int b = 0; b < kBlocks; ++b) {
            retarget(b, voices, [&](int v, const float gains[4]) {
                naiveRetarget(state[static_cast<std::size_t>(v)], gains);
            });
            naiveMix(state, data, out.data());
        }
        best = std::min(best, seconds(Clock::now() - start) / kBlocks);
    }
    return best;
}

} // namespace

int main()
{
    std::vector<std::int16_t> data(2 * kSampleFrames);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noise(-3000, 3000);
    for (int i = 0; i < kSampleFrames; ++i) {
        const double tone = 12000.0 * std::sin(2.0 * M_PI * 440.0 * i / 44100.0);
        data[2 * static_cast<std::size_t>(i)] = static_cast<std::int16_t>(tone + noise(rng));
        data[2 * static_cast<std::size_t>(i) + 1] = static_cast<std::int16_t>(-tone + noise(rng));
    }
    const double budget = 0.005; // one block of audio
    std::printf("Mixing per 5 ms block (%d blocks, best of 3); load = share of one core in real time\n",
                kBlocks);
    std::printf("%-6s %-22s %12s %8s %12s\n", "voices", "mixer", "us/block", "load", "x naive");
    for (int voices : {1, 8, 32, 128}) {
        const double naive = naiveRun(voices, data);
        std::printf("%-6d %-22s %12.2f %7.2f%% %12s\n", voices, "naive float", naive * 1e6,
                    naive / budget * 100, "1.00");
        struct Variant {
            const char* name;
            bool fixedPoint;
            bool simd;
        };
        for (const Variant& v :
             {Variant{"engine float plain", false, false}, Variant{"engine float SSE2", false, true},
              Variant{"engine fixed plain", true, false}, Variant{"engine fixed SSE2", true, true}}) {
            const double t = engineRun(voices, v.fixedPoint, v.simd, data);
            std::printf("%-6d %-22s %12.2f %7.2f%% %12.2f\n", voices, v.name, t * 1e6, t / budget * 100,
                        t / naive);
        }
    }
    return 0;
}
