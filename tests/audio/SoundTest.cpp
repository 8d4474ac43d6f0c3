#include "audio/BankSound.h"
#include "audio/CkCustomStream.h"
#include "audio/CkEffectBus.h"
#include "audio/CkMixer.h"
#include "audio/Deletable.h"
#include "audio/EffectBus.h"
#include "audio/Pan.h"
#include "audio/StreamSound.h"

#include "SoundFixture.h"

#include <functional>

using namespace Daz;

namespace {

class SoundTest : public SoundFixture {
  protected:
    // A bank "Bank" of mono 48 kHz marked samples named by their lengths.
    CkBank* loadBank(const std::vector<std::pair<std::string, int>>& samples, int channels = 1)
    {
        std::vector<Bytes> data;
        std::vector<BankSample> entries;
        for (const auto& sample : samples) {
            std::vector<std::int16_t> frames;
            for (std::int16_t m : markers(sample.second))
                for (int c = 0; c < channels; ++c) frames.push_back(m);
            data.push_back(pcm16Bytes(frames));
        }
        for (std::size_t i = 0; i < samples.size(); ++i)
            entries.push_back({samples[i].first.c_str(),
                               SampleCodec::makeInfo(kFormat_PcmI16, channels, 48000, samples[i].second),
                               data[i].data(), static_cast<std::uint32_t>(data[i].size())});
        const std::string path =
            folder.write("bank" + std::to_string(++m_banks) + ".ckb", bankBytes("Bank", entries));
        return CkBank::createFromFile(path.c_str(), kCkPathType_AsGiven);
    }

    // A marked mono 48 kHz stream file of `frames` frames.
    std::string writeStream(const std::string& name, int frames, int first = 1)
    {
        std::vector<std::int16_t> samples = markers(frames);
        for (std::int16_t& s : samples) s = static_cast<std::int16_t>(s + first - 1);
        const Bytes data = pcm16Bytes(samples);
        return folder.write(
            name, streamBytes(SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, frames), data.data()));
    }

    static std::vector<int> frames(int from, int to)
    {
        std::vector<int> out;
        for (int f = from; f <= to; ++f) out.push_back(f);
        return out;
    }

    int m_banks = 0;
};

TEST_F(SoundTest, StreamFactoryChecksTheFileAndChoosesByExtension)
{
    const std::string cks = writeStream("music.cks", 100);
    Bytes embedded(10, 'J');
    const Bytes inner =
        streamBytes(SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 4), pcm16Bytes(markers(4)).data());
    embedded.insert(embedded.end(), inner.begin(), inner.end());
    const std::string pack = folder.write("pack.bin", embedded);
    const int packSize = static_cast<int>(embedded.size());
    const std::string upper =
        folder.write("MUSIC.CKS", streamBytes(SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 4),
                                              pcm16Bytes(markers(4)).data()));
    const std::string ogg = folder.write("music.OGG", Bytes(100, 0));
    const std::string wav = folder.write("music.wav", Bytes(100, 0));
    const std::string missing = folder.file("none.cks");

    struct Case {
        const char* name;
        std::function<CkSound*()> create;
        int length; // -2: no sound
        std::vector<LogLine> lines;
    };
    const Case cases[] = {
        {"the path's extension", [&] { return CkSound::createFromStream(cks.c_str(), 0); }, 100, {}},
        {"upper-case cks", [&] { return CkSound::createFromStream(upper.c_str(), 0); }, 4, {}},
        {"embedded with its extension",
         [&] { return CkSound::createFromStream(pack.c_str(), 0, 10, packSize - 10, "cks"); },
         4,
         {}},
        {"embedded to the end of the file",
         [&] { return CkSound::createFromStream(pack.c_str(), 0, 10, 0, "CKS"); },
         4,
         {}},
        {"embedded without an extension",
         [&] { return CkSound::createFromStream(pack.c_str(), 0, 10, 0); },
         -2,
         {{kCkLog_Error, "File extension must be specified for embedded stream file \"" + pack + "\""}}},
        {"missing file",
         [&] { return CkSound::createFromStream(missing.c_str(), 0); },
         -2,
         {{kCkLog_Error, "Stream file \"" + missing + "\" could not be opened"}}},
        {"offset at the size",
         [&] { return CkSound::createFromStream(pack.c_str(), 0, packSize, 0, "cks"); },
         -2,
         {{kCkLog_Error,
           "Invalid offset " + std::to_string(packSize) + " for stream file \"" + pack + "\""}}},
        {"negative offset",
         [&] { return CkSound::createFromStream(pack.c_str(), 0, -1, 0, "cks"); },
         -2,
         {{kCkLog_Error, "Invalid offset -1 for stream file \"" + pack + "\""}}},
        {"length past the end",
         [&] { return CkSound::createFromStream(pack.c_str(), 0, 10, packSize - 9, "cks"); },
         -2,
         {{kCkLog_Error,
           "Invalid length " + std::to_string(packSize - 9) + " for stream file \"" + pack + "\""}}},
        {"upper-case ogg",
         [&] { return CkSound::createFromStream(ogg.c_str(), 0); },
         -2,
         {{kCkLog_Warning,
           "Stream file \"" + ogg +
               "\" has the extension \"OGG\"; Ogg Vorbis streams need \"ogg\" in lower case"}}},
        {"another extension", [&] { return CkSound::createFromStream(wav.c_str(), 0); }, -2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.lines().clear();
        CkSound* sound = c.create();
        EXPECT_EQ(c.lines, log.lines());
        if (c.length == -2) {
            EXPECT_EQ(nullptr, sound);
            continue;
        }
        ASSERT_NE(nullptr, sound);
        EXPECT_EQ(-1, sound->getLength());
        refill();
        EXPECT_EQ(c.length, sound->getLength());
        sound->destroy();
    }
}

TEST_F(SoundTest, BankFactoryFindsSamplesInTheGivenBankOrInAny)
{
    CkBank* first = loadBank({{"A", 10}, {"Shared", 20}});
    CkBank* second = loadBank({{"Shared", 30}});
    ASSERT_TRUE(first && second);
    CkSound* newest = CkSound::createFromBank(nullptr, "Shared");
    CkSound* own = CkSound::createFromBank(first, "Shared");
    ASSERT_TRUE(newest && own);
    EXPECT_EQ(30, newest->getLength());
    EXPECT_EQ(20, own->getLength());
    EXPECT_EQ(2, static_cast<Bank*>(first)->getSoundCount() + static_cast<Bank*>(second)->getSoundCount());
    EXPECT_TRUE(log.lines().empty());

    EXPECT_EQ(nullptr, CkSound::createFromBank(second, "A"));
    EXPECT_EQ(nullptr, CkSound::createFromBank(nullptr, "a"));
    EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, "Could not find sample \"A\""},
                                    {kCkLog_Error, "Could not find sample \"a\""}}),
              log.lines());
    own->destroy();
    EXPECT_EQ(0, static_cast<Bank*>(first)->getSoundCount());
}

TEST_F(SoundTest, PlayingABufferingStreamWaitsForItOnce)
{
    CkSound* sound = CkSound::createFromStream(writeStream("s.cks", 500).c_str(), 0);
    ASSERT_NE(nullptr, sound);
    EXPECT_FALSE(sound->isReady());
    playAtUnitGain(sound);
    EXPECT_FALSE(sound->isPlaying());
    EXPECT_FALSE(sound->isReady());
    CkUpdate();
    CkUpdate();
    EXPECT_EQ((std::vector<LogLine>{{kCkLog_Info, "sound is not ready; will delay until it is"}}),
              log.lines());

    refill();
    CkUpdate();
    EXPECT_TRUE(sound->isReady());
    EXPECT_TRUE(sound->isPlaying());
    EXPECT_EQ(frames(1, 500), playOut(sound));
    EXPECT_EQ(1u, log.lines().size());
}

TEST_F(SoundTest, PanAndMatrixFollowThePanRules)
{
    loadBank({{"Mono", 10}});
    loadBank({{"Stereo", 10}}, 2);
    CkSound* mono = CkSound::createFromBank(nullptr, "Mono");
    CkSound* stereo = CkSound::createFromBank(nullptr, "Stereo");
    ASSERT_TRUE(mono && stereo);

    mono->setPan(2.0f);
    EXPECT_EQ(1.0f, mono->getPan());
    mono->setPan(-7.0f);
    EXPECT_EQ(-1.0f, mono->getPan());
    for (CkSound* sound : {mono, stereo}) {
        const bool isStereo = sound == stereo;
        for (float pan : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) {
            SCOPED_TRACE(std::to_string(pan) + (isStereo ? " stereo" : " mono"));
            float gains[4];
            Pan::toGains(pan, isStereo, gains);
            sound->setPan(pan);
            float ll, lr, rl, rr;
            sound->getPanMatrix(ll, lr, rl, rr);
            EXPECT_EQ((std::vector<float>{gains[0], gains[2], gains[1], gains[3]}),
                      (std::vector<float>{ll, lr, rl, rr}));
            // The matrix read back as a pan.
            sound->setPanMatrix(ll, lr, rl, rr);
            EXPECT_NEAR(pan, sound->getPan(), 1e-4);
        }
        sound->setPan(0.3f);
        EXPECT_EQ(0.3f, sound->getPan());
    }
    // Left out = L ll + R rl: a stereo sound with its channels swapped.
    stereo->setPanMatrix(0.0f, 1.0f, 1.0f, 0.0f);
    float gains[4];
    static_cast<Sound*>(stereo)->getOutputGains(gains);
    EXPECT_EQ((std::vector<float>{0.0f, 1.0f, 1.0f, 0.0f}), std::vector<float>(gains, gains + 4));
}

TEST_F(SoundTest, PitchShiftIsSpeedInHalftonesAndSpeedScalesTheRate)
{
    loadBank({{"S", 480}});
    CkSound* sound = CkSound::createFromBank(nullptr, "S");
    sound->setPitchShift(12.0f);
    EXPECT_EQ(2.0f, sound->getSpeed());
    EXPECT_EQ(12.0f, sound->getPitchShift());
    sound->setPitchShift(-12.0f);
    EXPECT_EQ(0.5f, sound->getSpeed());
    sound->setSpeed(2.0f);
    playAtUnitGain(sound);
    // Twice the speed: 480 frames end within the first 240 output frames.
    pump();
    CkUpdate();
    EXPECT_FALSE(sound->isPlaying());
}

TEST_F(SoundTest, VolumeAndPanComeFromTheSampleInfoUnlessSet)
{
    SampleInfo info = SampleCodec::makeInfo(kFormat_PcmI16, 1, 48000, 4);
    info.volume = 32768;
    info.pan = -16384;
    const Bytes data = pcm16Bytes(markers(4));
    CkBank* bank = CkBank::createFromFile(
        folder.write("v.ckb", bankBytes("V", {{"Quiet", info, data.data(), 8}})).c_str(),
        kCkPathType_AsGiven);
    ASSERT_NE(nullptr, bank);
    CkSound* fromFile = CkSound::createFromBank(bank, "Quiet");
    CkSound* ownVolume = CkSound::createFromBank(bank, "Quiet");
    ownVolume->setVolume(0.25f);
    CkUpdate();
    EXPECT_FLOAT_EQ(32768.0f / 65535.0f, fromFile->getVolume());
    EXPECT_FLOAT_EQ(-16384.0f / 32767.0f, fromFile->getPan());
    EXPECT_EQ(0.25f, ownVolume->getVolume());
    EXPECT_FLOAT_EQ(-16384.0f / 32767.0f, ownVolume->getPan());

    CkMixer* se = CkMixer::createNamed("SE");
    fromFile->setMixer(se);
    se->setVolume(0.5f);
    EXPECT_FLOAT_EQ(0.5f * 32768.0f / 65535.0f, fromFile->getMixedVolume());
    fromFile->destroy();
    se->destroy();
}

TEST_F(SoundTest, AChainedSoundStartsRightAfterTheEndWithoutAGap)
{
    loadBank({{"First", 300}});
    CkSound* first = CkSound::createFromBank(nullptr, "First");
    CkSound* second = CkSound::createFromStream(writeStream("second.cks", 200, 1001).c_str(), 0);
    CkSound* third = CkSound::createFromStream(writeStream("third.cks", 100, 2001).c_str(), 0);
    refill();
    first->setNextSound(second);
    second->setNextSound(third);
    EXPECT_EQ(second, first->getNextSound());
    for (CkSound* sound : {second, third}) sound->setPanMatrix(1.0f, 0.0f, 0.0f, 1.0f);
    playAtUnitGain(first);

    std::vector<int> expected = frames(1, 300);
    for (int f : frames(1001, 1200)) expected.push_back(f);
    for (int f : frames(2001, 2100)) expected.push_back(f);
    std::vector<int> left;
    for (int block = 0; block < 6; ++block) {
        refill();
        CkUpdate();
        // The second sound started inside block 1 and plays through block 2.
        if (block == 2) {
            EXPECT_TRUE(second->isPlaying());
        }
        const std::vector<float> out = pump();
        for (std::size_t i = 0; i < out.size(); i += 2)
            left.push_back(static_cast<int>(std::lround(out[i] * 32767.0f)));
    }
    left.resize(expected.size() + 10);
    expected.resize(expected.size() + 10);
    EXPECT_EQ(expected, left);
    CkUpdate();
    EXPECT_FALSE(first->isPlaying());
    EXPECT_FALSE(third->isPlaying());
    EXPECT_TRUE(log.lines().empty());

    // Destroying a sound takes it out of every chain.
    second->destroy();
    EXPECT_EQ(nullptr, first->getNextSound());
}

class FakeStream : public CkCustomStream {
  public:
    FakeStream(int channels, int rate, int frames) : m_channels(channels), m_rate(rate), m_frames(frames) {}
    void init() override {}
    bool isFailed() const override { return false; }
    int getChannels() const override { return m_channels; }
    int getSampleRate() const override { return m_rate; }
    int getLength() const override { return m_frames; }
    // Marks its frames, and hands out at most 7 at a time.
    int read(short* buffer, int frames) override
    {
        int n = frames < 7 ? frames : 7;
        if (n > m_frames - m_pos) n = m_frames - m_pos;
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < m_channels; ++c)
                buffer[i * m_channels + c] = static_cast<short>(m_pos + i + 1);
        m_pos += n;
        return n;
    }
    bool isAtEnd() const override { return m_pos >= m_frames; }
    void setPlayPosition(int frame) override { m_pos = frame; }
    int getPlayPosition() const override { return m_pos; }

  private:
    int m_channels;
    int m_rate;
    int m_frames;
    int m_pos = 0;
};

TEST_F(SoundTest, CustomStreamsAreCheckedAndPlayed)
{
    struct Case {
        int channels;
        int rate;
        const char* line;
    };
    const Case cases[] = {
        {3, 48000, "Custom stream has 3 channels; streams must have 1 or 2."},
        {0, 48000, "Custom stream has 0 channels; streams must have 1 or 2."},
        {1, 48001, "Custom stream has illegal sample rate (48001); must be between 1 and 48000"},
        {2, 0, "Custom stream has illegal sample rate (0); must be between 1 and 48000"},
    };
    for (const Case& c : cases) {
        log.lines().clear();
        CkSound* sound = CustomStreamSound::create(new FakeStream(c.channels, c.rate, 10));
        refill();
        EXPECT_TRUE(sound->isFailed());
        EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, c.line}}), log.lines());
        sound->destroy();
    }

    log.lines().clear();
    CkSound* custom = CustomStreamSound::create(new FakeStream(1, 48000, 300));
    refill();
    EXPECT_EQ(300, custom->getLength());
    playAtUnitGain(custom);
    EXPECT_EQ(frames(1, 300), playOut(custom));
    // Chaining works only between bank sounds and the engine's own streams; the link is made all the same.
    loadBank({{"S", 10}});
    CkSound* bankSound = CkSound::createFromBank(nullptr, "S");
    bankSound->setNextSound(custom);
    EXPECT_EQ(custom, bankSound->getNextSound());
    EXPECT_EQ((std::vector<LogLine>{
                  {kCkLog_Error,
                   "setNextSound() does not work with streams in formats other than .cks or Ogg Vorbis."}}),
              log.lines());
}

TEST_F(SoundTest, PausingKeepsThePlaceAndResumingGoesOnFromIt)
{
    loadBank({{"S", 1000}});
    CkSound* sound = CkSound::createFromBank(nullptr, "S");
    CkMixer* se = CkMixer::createNamed("SE");
    sound->setMixer(se);
    playAtUnitGain(sound);
    std::vector<int> left = playOut(sound, 1);
    sound->setPaused(true);
    EXPECT_TRUE(sound->isPaused());
    EXPECT_TRUE(sound->isPlaying());
    EXPECT_TRUE(playOut(sound, 2).empty());
    sound->setPaused(false);
    se->setPaused(true);
    EXPECT_TRUE(sound->getMixedPauseState());
    EXPECT_FALSE(sound->isPaused());
    EXPECT_TRUE(playOut(sound, 2).empty());
    se->setPaused(false);
    for (int f : playOut(sound)) left.push_back(f);
    EXPECT_EQ(frames(1, 1000), left);
    sound->destroy();
    se->destroy();
}

TEST_F(SoundTest, AReplayRightAfterTheEndIsNotEndedByTheLateReport)
{
    loadBank({{"S", 100}});
    CkSound* sound = CkSound::createFromBank(nullptr, "S");
    playAtUnitGain(sound);
    pump(); // plays to the end; the node reports the stop of play 1
    sound->play();
    CkUpdate();
    EXPECT_TRUE(sound->isPlaying());
    EXPECT_EQ(frames(1, 100), playOut(sound));
    EXPECT_FALSE(sound->isPlaying());
}

TEST_F(SoundTest, PlayPositionsSeekBankSoundsAtOnceAndStreamsOnceTheyCan)
{
    loadBank({{"S", 1000}});
    CkSound* bankSound = CkSound::createFromBank(nullptr, "S");
    bankSound->setPlayPositionMs(10.0f); // 480 frames at 48 kHz
    playAtUnitGain(bankSound);
    EXPECT_EQ(frames(481, 1000), playOut(bankSound));

    CkSound* stream = CkSound::createFromStream(writeStream("s.cks", 1000).c_str(), 0);
    stream->setPlayPosition(700);
    EXPECT_EQ(0, stream->getPlayPosition());
    refill();
    CkUpdate();
    playAtUnitGain(stream);
    EXPECT_EQ(frames(701, 1000), playOut(stream));

    // Loop points stay while a stream plays.
    playAtUnitGain(stream);
    refill();
    CkUpdate();
    ASSERT_TRUE(stream->isPlaying());
    log.lines().clear();
    stream->setLoop(10, 20);
    int start, end;
    stream->getLoop(start, end);
    EXPECT_EQ(0, start);
    EXPECT_EQ(-1, end);
    EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, "Can't set loop points on a playing stream"}}),
              log.lines());
}

TEST_F(SoundTest, DestroyingABankStopsItsSoundsAndTheyPlayNoMore)
{
    CkBank* bank = loadBank({{"Long", 48000}, {"Short", 10}});
    CkSound* playing = CkSound::createFromBank(bank, "Long");
    CkSound* idle = CkSound::createFromBank(bank, "Short");
    loadBank({{"Other", 10}});
    CkSound* before = CkSound::createFromBank(nullptr, "Other");
    before->setNextSound(idle);
    playAtUnitGain(playing);
    pump();
    CkUpdate();
    ASSERT_TRUE(playing->isPlaying());

    log.lines().clear();
    bank->destroy();
    EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, "Stopping sound; bank has been unloaded"}}), log.lines());
    // A sound of another bank no longer chains to one whose memory is gone.
    EXPECT_EQ(nullptr, before->getNextSound());
    // The render side lets go of the bank memory before it is freed.
    pump();
    CkUpdate();
    EXPECT_FALSE(playing->isPlaying());
    EXPECT_EQ(0, DeletionList::getCount());

    log.lines().clear();
    idle->play();
    EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, "Could not play sound; bank has been unloaded"}}),
              log.lines());
    EXPECT_FALSE(idle->isPlaying());
    EXPECT_EQ(10, idle->getLength());
}

TEST_F(SoundTest, ADestroyedSoundIsDeletedOnceTheRenderSideLetsGo)
{
    loadBank({{"S", 48000}});
    CkSound* sound = CkSound::createFromBank(nullptr, "S");
    CkEffectBus* bus = CkEffectBus::createEffectBus();
    sound->setEffectBus(bus);
    playAtUnitGain(sound);
    pump();
    CkUpdate();
    const auto* node = &static_cast<GraphSound*>(sound)->getNode();
    EXPECT_EQ(static_cast<EffectBus*>(bus)->getInputNode(), node->getOutputMix());
    // Without a bus the node feeds the graph root.
    sound->setEffectBus(nullptr);
    pump();
    EXPECT_EQ(EngineGraph::get(), node->getOutputMix());
    sound->setEffectBus(bus);

    const int sounds = Sound::getCount();
    sound->destroy();
    EXPECT_EQ(sounds - 1, Sound::getCount());
    EXPECT_EQ(nullptr, static_cast<EffectBus*>(bus)->getFirstMember());
    pump();
    CkUpdate();
    EXPECT_EQ(0, DeletionList::getCount());
    bus->destroy();
}

std::int64_t g_fakeNs = 1;
std::int64_t fakeClock()
{
    return g_fakeNs;
}

TEST_F(SoundTest, ThreeDimensionalSoundsFadeWithDistanceAndFarOnesStopWhenTheirTimeRunsOut)
{
    Sound::setClock(&fakeClock);
    loadBank({{"S", 48000}});
    CkSound* sound = CkSound::createFromBank(nullptr, "S");
    auto* sound3d = static_cast<Sound*>(sound);
    sound->set3dEnabled(true);
    struct Case {
        float x, y, z;
        float gain;
        bool isVirtual;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.5f, 1.0f, false},  {0.0f, 0.0f, 1.0f, 1.0f, false},  {0.0f, 0.0f, 100.0f, 0.0f, true},
        {0.0f, 60.0f, 80.0f, 0.0f, true}, {0.0f, 0.0f, 10.0f, 0.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.z);
        sound->set3dPosition(c.x, c.y, c.z);
        sound->play();
        if (c.z == 10.0f) {
            // The inverse square curve from 1 at distance 1 to 0 at 100.
            const double a = -1.0 / (1.0 / 10000.0 - 1.0);
            EXPECT_NEAR(a / 100.0 + 1.0 - a, sound3d->get3dGain(), 1e-6);
        } else {
            EXPECT_EQ(c.gain, sound3d->get3dGain());
        }
        EXPECT_EQ(c.isVirtual, sound->isVirtual());
    }
    // Straight ahead there is no side; to the side there is all of it.
    sound->set3dPosition(0.0f, 0.0f, 5.0f);
    CkUpdate();
    EXPECT_EQ(0.0f, sound3d->get3dPan());
    sound->set3dPosition(5.0f, 0.0f, 0.0f);
    CkUpdate();
    EXPECT_NEAR(1.0f, std::fabs(sound3d->get3dPan()), 1e-6);

    // A virtual sound of 1 s, its last half looped twice more, plays on for 2 s.
    sound->setLoop(24000, -1);
    sound->setLoopCount(2);
    sound->set3dPosition(0.0f, 0.0f, 200.0f);
    sound->play();
    ASSERT_TRUE(sound->isVirtual());
    EXPECT_FLOAT_EQ(2000.0f, sound3d->getVirtualStopMs());
    g_fakeNs += 1999000000;
    CkUpdate();
    EXPECT_TRUE(sound->isPlaying());
    g_fakeNs += 2000000;
    CkUpdate();
    EXPECT_FALSE(sound->isPlaying());
}

// A .cks of stereo 16-bit frames at 48 kHz comes out of the engine as its
// samples at the stereo centre gains of 0.5: no resampling, no rounding.
TEST_F(SoundTest, AStereoStreamRendersItsSamplesAtTheCentreGains)
{
    std::vector<std::int16_t> samples;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 2 * 4800; ++i) {
        seed = seed * 1664525u + 1013904223u;
        samples.push_back(static_cast<std::int16_t>(seed >> 16));
    }
    const Bytes data = pcm16Bytes(samples);
    const std::string path = folder.write(
        "noise.cks", streamBytes(SampleCodec::makeInfo(kFormat_PcmI16, 2, 48000, 4800), data.data()));
    CkSound* sound = CkSound::createFromStream(path.c_str(), 0);
    refill();
    sound->play();
    std::vector<float> out;
    for (int block = 0; block < 21; ++block) {
        refill();
        CkUpdate();
        const std::vector<float> part = pump();
        out.insert(out.end(), part.begin(), part.end());
    }
    ASSERT_GE(out.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(static_cast<float>(samples[i]) * Pcm::kFromI16 * 0.5f, out[i]) << i;
    }
    EXPECT_EQ(0.0f, out[samples.size()]);
    EXPECT_TRUE(log.lines().empty());
}

} // namespace
