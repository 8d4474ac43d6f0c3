#include "Render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

using namespace Marevane;
using namespace Marevane::SoundGen;

namespace {

// A plain sine voice: any jump in it shows at once.
Composition humming(double introBeats)
{
    Composition c;
    c.bpm = 120.0;
    Patch sineVoice;
    sineVoice.sawLevel = 0.0f;
    sineVoice.sineLevel = 1.0f;
    sineVoice.cutoff = 8000.0f;
    sineVoice.attack = 0.05f;
    sineVoice.sustain = 1.0f;
    sineVoice.release = 0.4f;
    sineVoice.reverb = 0.3f;
    sineVoice.humanizeMs = 0.0f;
    sineVoice.gate = 1.0f;
    const int voice = c.add(sineVoice);
    c.intro.beats = introBeats;
    if (introBeats > 0.0) c.intro.score.note(voice, 0.0, introBeats, 57.0);
    c.loop.beats = 8.0;
    // The last note rings past the loop's end into its start.
    c.loop.score.note(voice, 0.0, 6.0, 57.0);
    c.loop.score.note(voice, 6.0, 2.0, 64.0);
    return c;
}

// How far the frames from `next` on stray from a straight continuation of
// the frames up to `last`, as if `next` followed `last`.
float predictionMiss(const SoundTool::Audio& audio, int next, int last)
{
    const auto at = [&](int frame) { return audio.samples[static_cast<std::size_t>(frame) * 2]; };
    const float spliced[4] = {at(last - 1), at(last), at(next), at(next + 1)};
    return std::max(std::fabs(spliced[2] - 2.0f * spliced[1] + spliced[0]),
                    std::fabs(spliced[3] - 2.0f * spliced[2] + spliced[1]));
}

TEST(RenderTrack, TheLoopSeamContinuesTheMusicAtTheBlockRoundedPoints)
{
    TrackReport report;
    // 100000 lies between blocks; the player turns at 100008.
    const SoundTool::Audio audio = renderTrack(humming(4.0), 100000, -1, 44100, &report);
    EXPECT_EQ(100008, report.loopStart);
    EXPECT_EQ(report.loopEnd, audio.frames());
    EXPECT_EQ(0, audio.frames() % 36);
    EXPECT_EQ(100008 + 176400, audio.frames()); // eight beats at 120
    const int start = report.loopStart;
    const int end = audio.frames();
    // A sine of 220 Hz bends by about 0.1 % of its level between frames.
    EXPECT_LT(predictionMiss(audio, start, end - 1), 0.005f);
    EXPECT_LT(predictionMiss(audio, start, start - 1), 0.005f);
}

TEST(RenderTrack, AGivenLoopEndKeepsTheEndingAfterIt)
{
    Composition c = humming(4.0);
    c.outro.beats = 2.0;
    c.outro.score.note(0, 0.0, 2.0, 50.0);
    TrackReport report;
    const SoundTool::Audio audio = renderTrack(c, 100000, 276000, 44100, &report);
    EXPECT_EQ(100008, report.loopStart);
    EXPECT_EQ(276012, report.loopEnd);
    EXPECT_GT(audio.frames(), 276012 + 44100);
    EXPECT_LT(predictionMiss(audio, report.loopStart, report.loopEnd - 1), 0.005f);
    EXPECT_LT(predictionMiss(audio, report.loopEnd, report.loopEnd - 1), 0.005f);
}

TEST(RenderTrack, RefusesAnIntroWithoutALoopStartAndNotesOutsideTheirSection)
{
    EXPECT_THROW(renderTrack(humming(4.0), 0, -1, 44100), std::logic_error);
    EXPECT_THROW(renderTrack(humming(0.0), 100000, -1, 44100), std::logic_error);
    Composition late = humming(0.0);
    late.loop.score.note(0, 8.0, 1.0, 60.0);
    EXPECT_THROW(renderTrack(late, 0, -1, 44100), std::logic_error);
}

} // namespace
