// Sounds on a running engine with a pumped output: the render side runs when
// the test pumps a block, and stream buffers refill when the test asks, so
// every rendered frame is known.
#pragma once

#include "audio/Bank.h"
#include "audio/BinaryStream.h"
#include "audio/CkSound.h"
#include "audio/EngineGraph.h"
#include "audio/GraphOutput.h"
#include "audio/SampleCodec.h"
#include "audio/Sound.h"
#include "audio/StreamFile.h"
#include "audio/StreamFileThread.h"

#include "AudioTestSupport.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A file's bytes: a bank of samples, or a stream.
inline Bytes bankBytes(const char* name, const std::vector<Daz::BankSample>& samples)
{
    std::size_t size = 16 + Daz::BankImage::kRecordBytes;
    for (const Daz::BankSample& sample : samples) size += Daz::BankImage::kEntryBytes + sample.dataBytes;
    Bytes bytes(size);
    Daz::BufferStream stream(bytes.data(), 0, static_cast<int>(bytes.size()));
    EXPECT_TRUE(Daz::BankImage::write(stream, name, samples.data(), static_cast<int>(samples.size())));
    return bytes;
}

inline Bytes streamBytes(const Daz::SampleInfo& info, const void* data)
{
    Bytes bytes(static_cast<std::size_t>(Daz::StreamFile::kDataOffset + info.getDataBytes()));
    Daz::BufferStream stream(bytes.data(), 0, static_cast<int>(bytes.size()));
    EXPECT_TRUE(Daz::StreamFile::write(stream, info, data));
    return bytes;
}

// Mono 16-bit frames whose values count 1, 2, 3, ...: the frame a rendered sample came from.
inline std::vector<std::int16_t> markers(int frames)
{
    std::vector<std::int16_t> data(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) data[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i + 1);
    return data;
}

// The PCM16 data of the frames, little endian as in the files.
inline Bytes pcm16Bytes(const std::vector<std::int16_t>& samples)
{
    Bytes bytes(2 * samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        Daz::LittleEndian::put16(&bytes[2 * i], static_cast<std::uint16_t>(samples[i]));
    return bytes;
}

// A folder of its own in the temporary folder for the files of one test.
class TempFolder {
  public:
    TempFolder()
    {
        static int count = 0;
        m_path = "/tmp/marevane-sound-" + std::to_string(getpid()) + "-" + std::to_string(++count);
        EXPECT_EQ(0, std::system(("mkdir -p " + m_path).c_str()));
    }
    ~TempFolder() { std::system(("rm -rf " + m_path).c_str()); }

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    std::string write(const std::string& name, const Bytes& bytes) const
    {
        const std::string path = file(name);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        EXPECT_NE(nullptr, out);
        if (out) {
            std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        }
        return path;
    }

  private:
    std::string m_path;
};

class SoundFixture : public ::testing::Test {
  protected:
    void SetUp() override
    {
        CkConfig config;
        // The stream file thread makes one pass at start and then sleeps; the test refills.
        config.streamFileUpdateMs = 1.0e6f;
        ASSERT_TRUE(startPumpedEngine(config));
        log.lines().clear();
    }

    void TearDown() override
    {
        while (Daz::Sound* sound = Daz::Sound::getFirst()) sound->destroy();
        while (Daz::Bank* bank = Daz::Bank::getFirst()) bank->destroy();
        CkUpdate();
        stopPumpedEngine();
        Daz::Sound::setClock(nullptr);
    }

    // `frames` frames through the output, as float stereo.
    std::vector<float> pump(int frames = 240)
    {
        auto* output = static_cast<Daz::GraphOutputPumped*>(Daz::EngineGraph::get()->getOutput());
        std::vector<float> out(static_cast<std::size_t>(2 * frames));
        EXPECT_TRUE(output->pump(out.data(), frames));
        return out;
    }

    static void refill() { Daz::StreamList::fileUpdateAll(); }

    // Plays `sound` to its end (at most `maxBlocks` blocks), refilling streams
    // before each block; gives the left channel as 16-bit values.
    std::vector<int> playOut(CkSound* sound, int maxBlocks = 200, int releaseAfter = -1)
    {
        std::vector<int> left;
        for (int block = 0; block < maxBlocks; ++block) {
            if (block == releaseAfter) sound->releaseLoop();
            refill();
            CkUpdate();
            if (block > 0 && !sound->isPlaying()) break;
            const std::vector<float> out = pump();
            for (std::size_t i = 0; i < out.size(); i += 2)
                left.push_back(static_cast<int>(std::lround(out[i] * 32767.0f)));
        }
        // The silence after the end.
        while (!left.empty() && left.back() == 0) left.pop_back();
        return left;
    }

    // A mono 48 kHz sound at unit gain on both sides, so that its samples come out unchanged.
    static void playAtUnitGain(CkSound* sound)
    {
        sound->setPanMatrix(1.0f, 0.0f, 0.0f, 1.0f);
        sound->play();
    }

    LogCapture log;
    TempFolder folder;
};
