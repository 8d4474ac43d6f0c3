#include "audio/AudioStream.h"

#include "SoundFixture.h"

#include <cstdio>

using namespace Daz;

namespace {

// Runs a shell command; gives its standard output, and false in `ok` when it failed.
std::string run(const std::string& command, bool& ok)
{
    std::string output;
    std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) {
        ok = false;
        return output;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    ok = pclose(pipe) == 0;
    return output;
}

// The tools come from Debian's sox and vorbis-tools (tools/install-deps).
::testing::AssertionResult haveTools()
{
    for (const char* tool : {"sox", "soxi", "oggenc"}) {
        bool ok = false;
        run(std::string("command -v ") + tool, ok);
        if (!ok)
            return ::testing::AssertionFailure()
                   << tool << " is missing: install sox and vorbis-tools (tools/install-deps)";
    }
    return ::testing::AssertionSuccess();
}

// An Ogg Vorbis file made by oggenc from a tone made by sox; gives its frame count as soxi reports it.
long long makeOgg(const TempFolder& folder, const std::string& name, int rate, int channels, double seconds)
{
    const std::string wav = folder.file(name + ".wav");
    const std::string ogg = folder.file(name);
    bool ok = false;
    run("sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 " + wav +
            " synth " + std::to_string(seconds) + " sine 440 sine 660",
        ok);
    EXPECT_TRUE(ok) << "sox could not make " << wav;
    run("oggenc -Q -o " + ogg + " " + wav, ok);
    EXPECT_TRUE(ok) << "oggenc could not encode " << wav;
    const std::string frames = run("soxi -s " + ogg, ok);
    EXPECT_TRUE(ok) << "soxi could not read " << ogg;
    return std::atoll(frames.c_str());
}

using VorbisTest = SoundFixture;

TEST_F(VorbisTest, AnOggencFileDecodesToTheFrameCountSoxiReports)
{
    ASSERT_TRUE(haveTools());
    struct Case {
        int rate;
        int channels;
        double seconds;
    };
    for (const Case& c : {Case{44100, 2, 1.7}, Case{22050, 1, 0.9}}) {
        SCOPED_TRACE(c.rate);
        const long long frames = makeOgg(folder, "tone.ogg", c.rate, c.channels, c.seconds);
        ASSERT_GT(frames, 0);

        VorbisAudioStream stream(folder.file("tone.ogg").c_str(), kCkPathType_AsGiven, 0, 0);
        ASSERT_TRUE(stream.open());
        EXPECT_EQ(kFormat_PcmI16, stream.getSampleInfo().format);
        EXPECT_EQ(c.channels, stream.getSampleInfo().channels);
        EXPECT_EQ(c.rate, stream.getSampleInfo().sampleRate);
        EXPECT_EQ(frames, stream.getTotalBlocks());
        std::vector<std::int16_t> buffer(2 * 4096);
        long long decoded = 0;
        while (int got = stream.read(buffer.data(), 4096)) decoded += got;
        EXPECT_EQ(frames, decoded);
        EXPECT_FALSE(stream.isFailed());

        stream.setBlockPos(static_cast<int>(frames / 2));
        EXPECT_EQ(frames / 2, stream.getBlockPos());
        decoded = 0;
        while (int got = stream.read(buffer.data(), 4096)) decoded += got;
        EXPECT_EQ(frames - frames / 2, decoded);

        // The same file as a sound.
        CkSound* sound = CkSound::createFromStream(folder.file("tone.ogg").c_str(), kCkPathType_AsGiven);
        ASSERT_NE(nullptr, sound);
        refill();
        EXPECT_EQ(frames, sound->getLength());
        EXPECT_EQ(c.rate, sound->getSampleRate());
        sound->destroy();
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(VorbisTest, RatesBeyondTheSampleInfoAndOtherFilesFailClearly)
{
    ASSERT_TRUE(haveTools());
    ASSERT_GT(makeOgg(folder, "high.ogg", 96000, 1, 0.2), 0);
    VorbisAudioStream high(folder.file("high.ogg").c_str(), kCkPathType_AsGiven, 0, 0);
    EXPECT_FALSE(high.open());
    EXPECT_TRUE(high.isFailed());

    const std::string other = folder.write("other.ogg", Bytes(4000, 'x'));
    VorbisAudioStream notOgg(other.c_str(), kCkPathType_AsGiven, 0, 0);
    EXPECT_FALSE(notOgg.open());
    ASSERT_EQ(2u, log.lines().size());
    EXPECT_EQ((LogLine{kCkLog_Error, "Ogg Vorbis stream \"" + folder.file("high.ogg") +
                                         "\" has sample rate 96000; the engine plays 1 to 65535"}),
              log.lines()[0]);
    EXPECT_EQ(0u, log.lines()[1].text.find("Stream file \"" + other + "\" is no Ogg Vorbis stream (error -"))
        << log.lines()[1];
}

} // namespace
