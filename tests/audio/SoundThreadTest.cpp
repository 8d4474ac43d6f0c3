#include "audio/GraphOutputAlsa.h"

#include "SoundFixture.h"

#include <cstring>
#include <fstream>
#include <iterator>

using namespace Daz;

namespace {

// The engine as the program runs it: a render thread (ALSA's "null" device,
// paced by the clock), the stream file thread refilling on its own, and this
// thread calling the API.
class SoundThreadTest : public ::testing::Test {
  protected:
    void TearDown() override
    {
        CkShutdown();
        OutputChoice::setOverride(nullptr);
    }

    LogCapture log;
    TempFolder folder;
};

TEST_F(SoundThreadTest, AStreamPlaysWholeWhileEveryThreadIsAtWork)
{
    if (!AlsaPcm::probe("null")) GTEST_SKIP() << "ALSA's \"null\" device is not available here";
    OutputChoice choice;
    OutputChoice::parse("alsa:null", choice);
    OutputChoice::setOverride(&choice);
    CkConfig config;
    config.logFunc = Log::getFunc();
    config.streamFileUpdateMs = 10.0f;
    config.streamBufferMs = 100.0f;
    ASSERT_NE(0, CkInit(&config));
    GraphOutput* output = EngineGraph::get()->getOutput();
    ASSERT_TRUE(output->hasThread());

    constexpr int kFrames = 14400; // 0.3 s
    std::vector<std::int16_t> samples(kFrames);
    for (int i = 0; i < kFrames; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i % 30000 + 1);
    const Bytes data = pcm16Bytes(samples);
    const std::string path = folder.write(
        "s.cks", streamBytes(SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, kFrames), data.data()));
    const std::string capture = folder.file("out.f32");
    ASSERT_TRUE(output->openCapture(capture.c_str()));

    CkSound* sound = CkSound::createFromStream(path.c_str(), kCkPathType_AsGiven);
    ASSERT_NE(nullptr, sound);
    sound->setPanMatrix(1.0f, 0.0f, 0.0f, 1.0f);
    sound->play();
    // Pauses cost silence but no frame.
    int updates = 0;
    bool started = false;
    ASSERT_TRUE(waitFor(
        [&] {
            CkUpdate();
            started = started || sound->isPlaying();
            if (++updates % 40 == 20) sound->setPaused(true);
            if (updates % 40 == 30) sound->setPaused(false);
            return started && !sound->isPlaying() && !sound->isPaused();
        },
        20.0));
    sound->destroy();
    ASSERT_TRUE(waitFor([] {
        CkUpdate();
        return DeletionList::getCount() == 0;
    }));
    output->closeCapture();

    // The left channel of the float stereo frames rendered, without the silence.
    std::ifstream file(capture, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int> left;
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        float value;
        std::memcpy(&value, &bytes[i], 4);
        const int mark = static_cast<int>(std::lround(value * 32767.0f));
        if (mark != 0) left.push_back(mark);
    }
    std::vector<int> expected(samples.begin(), samples.end());
    EXPECT_EQ(expected, left);
}

} // namespace
