#include "audio/StreamSource.h"
#include "audio/AudioStream.h"

#include "SoundFixture.h"

using namespace Daz;

namespace {

// The mark of frame f (from 0): 1, 2, 3, ... and after 30000 from 1 again.
int mark(int frame)
{
    return frame % 30000 + 1;
}

// A stereo PCM16 stream file of 44100 frames per second whose left channel
// carries the marks of the frames and whose right channel their negatives.
Bytes markedStereoStream(int frames)
{
    std::vector<std::int16_t> samples;
    for (int f = 0; f < frames; ++f) {
        samples.push_back(static_cast<std::int16_t>(mark(f)));
        samples.push_back(static_cast<std::int16_t>(-mark(f)));
    }
    const Bytes data = pcm16Bytes(samples);
    return streamBytes(SampleCodec::makeInfo(kFormat_PcmI16, 2, 44100, frames), data.data());
}

// The frame numbers of `blocks` read from the source (0 for none).
std::vector<int> readFrames(StreamSource& source, int blocks, int* got = nullptr)
{
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(2 * blocks));
    const int n = source.read(buffer.data(), blocks);
    if (got) *got = n;
    std::vector<int> frames;
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(-buffer[2 * i], buffer[2 * i + 1]);
        frames.push_back(buffer[2 * i]);
    }
    return frames;
}

// The marks of the frames `from` to `to`, counted from 1.
std::vector<int> count(int from, int to)
{
    std::vector<int> frames;
    for (int f = from; f <= to; ++f) frames.push_back(mark(f - 1));
    return frames;
}

class StreamSourceTest : public ::testing::Test {
  protected:
    StreamSource* open(int frames)
    {
        const std::string path = folder.write("s.cks", markedStereoStream(frames));
        source = std::make_unique<StreamSource>(new CksAudioStream(path.c_str(), kCkPathType_AsGiven, 0, 0));
        source->fileUpdate();
        return source.get();
    }

    LogCapture log;
    TempFolder folder;
    std::unique_ptr<StreamSource> source;
};

TEST_F(StreamSourceTest, TheRingHoldsTheConfiguredTimeInWholeBlocks)
{
    SampleInfo info = SampleCodec::makeInfo(kFormat_PcmI16, 2, 44100, 1);
    EXPECT_EQ(88200, StreamSource::capacityFor(info, 500.0f));
    // Adaptive delta: 58800 bytes a second, so 29400 for half of it, rounded down to 612 blocks of 48.
    info = SampleCodec::makeInfo(kFormat_Adpcm, 2, 44100, 36);
    EXPECT_EQ(612 * 48, StreamSource::capacityFor(info, 500.0f));
    EXPECT_EQ(48, StreamSource::capacityFor(info, 0.001f));

    open(30000);
    EXPECT_TRUE(source->isReady());
    EXPECT_EQ(88200, source->getCapacity());
    EXPECT_EQ(88200, source->getBufferedBytes());
}

TEST_F(StreamSourceTest, TheRefillTopsUpOnlyBelowHalfFull)
{
    open(60000);
    EXPECT_EQ(count(1, 11025), readFrames(*source, 11025));
    EXPECT_EQ(44100, source->getBufferedBytes());
    source->fileUpdate();
    EXPECT_EQ(44100, source->getBufferedBytes());

    EXPECT_EQ(count(11026, 11026), readFrames(*source, 1));
    source->fileUpdate();
    EXPECT_EQ(88200, source->getBufferedBytes());
    // Across the ring's wrap the frames run on.
    EXPECT_EQ(count(11027, 31026), readFrames(*source, 20000));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(StreamSourceTest, TheEndOfTheDataFinishesWithoutAWarning)
{
    open(100);
    int got = 0;
    EXPECT_EQ(count(1, 100), readFrames(*source, 240, &got));
    EXPECT_TRUE(source->isAtEnd());
    EXPECT_EQ(0, source->getBlockPos());
    EXPECT_TRUE(log.lines().empty());
    // A reset after the end starts the stream over at the next refill.
    source->reset();
    EXPECT_FALSE(source->isAtEnd());
    EXPECT_EQ(0, readFrames(*source, 10).size());
    source->fileUpdate();
    EXPECT_EQ(count(1, 10), readFrames(*source, 10));
}

TEST_F(StreamSourceTest, AStalledRefillWarnsOnceUntilAWholeReadSucceeds)
{
    open(60000);
    const LogLine underrun{kCkLog_Warning, "Stream buffer underrun! Try increasing CkConfig.streamBufferMs."};
    int got = 0;
    readFrames(*source, 22051, &got);
    EXPECT_EQ(22050, got);
    readFrames(*source, 10, &got);
    EXPECT_EQ(0, got);
    EXPECT_EQ(std::vector<LogLine>{underrun}, log.lines());

    source->fileUpdate();
    EXPECT_EQ(count(22051, 22051), readFrames(*source, 1));
    readFrames(*source, 30000, &got);
    EXPECT_EQ((std::vector<LogLine>{underrun, underrun}), log.lines());
    EXPECT_FALSE(source->isAtEnd());
}

TEST_F(StreamSourceTest, ASeekAheadInTheRingDropsBlocksAndAnyOtherWaitsForTheRefill)
{
    open(30000);
    source->setBlockPos(1000);
    EXPECT_EQ(1000, source->getBlockPos());
    EXPECT_EQ(88200 - 4000, source->getBufferedBytes());
    EXPECT_EQ(count(1001, 1002), readFrames(*source, 2));

    // Behind the play position: the ring is refilled from there.
    source->setBlockPos(10);
    EXPECT_EQ(10, source->getBlockPos());
    EXPECT_TRUE(readFrames(*source, 2).empty());
    source->fileUpdate();
    EXPECT_EQ(count(11, 12), readFrames(*source, 2));

    // Past what the ring holds.
    source->setBlockPos(25000);
    EXPECT_TRUE(readFrames(*source, 2).empty());
    source->fileUpdate();
    EXPECT_EQ(count(25001, 25002), readFrames(*source, 2));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(StreamSourceTest, ALoopIsFilledAheadAndThePositionFollowsIt)
{
    open(1000);
    source->setLoop(100, 300);
    source->setLoopCount(-1);
    source->reset();
    source->fileUpdate();
    EXPECT_EQ(count(1, 300), readFrames(*source, 300));
    EXPECT_EQ(100, source->getBlockPos());
    EXPECT_EQ(1, source->getCurrentLoop());
    EXPECT_EQ(count(101, 300), readFrames(*source, 200));
    EXPECT_EQ(2, source->getCurrentLoop());
    EXPECT_EQ(count(101, 150), readFrames(*source, 50));
    EXPECT_EQ(150, source->getBlockPos());
}

TEST_F(StreamSourceTest, ALoopStartBeyondTheEndIsWarnedAbout)
{
    SampleInfo info = SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 1000);
    info.loopStart = 1000;
    info.loopCount = -1;
    const Bytes data = pcm16Bytes(std::vector<std::int16_t>(1000, 3));
    StreamSource late(
        new CksAudioStream(folder.write("late.cks", streamBytes(info, data.data())).c_str(), kCkPathType_AsGiven, 0, 0));
    late.fileUpdate();
    EXPECT_TRUE(late.isReady());
    EXPECT_EQ((std::vector<LogLine>{
                  {kCkLog_Warning, "Loop start frame 1000 is at or beyond the end of the stream (1000 frames)"}}),
              log.lines());
}

TEST_F(StreamSourceTest, AMissingOrForeignFileFailsTheSource)
{
    StreamSource missing(new CksAudioStream(folder.file("none.cks").c_str(), kCkPathType_AsGiven, 0, 0));
    missing.fileUpdate();
    EXPECT_TRUE(missing.isFailed());
    EXPECT_FALSE(missing.isReady());
    const Bytes bank = bankBytes("B", {});
    StreamSource foreign(new CksAudioStream(folder.write("b.ckb", bank).c_str(), kCkPathType_AsGiven, 0, 0));
    foreign.fileUpdate();
    EXPECT_TRUE(foreign.isFailed());
    EXPECT_EQ((std::vector<LogLine>{
                  {kCkLog_Error, "Stream file \"" + folder.file("none.cks") + "\" could not be opened"},
                  {kCkLog_Error, "Invalid file type: 1 (expecting 0)"}}),
              log.lines());
}

} // namespace
