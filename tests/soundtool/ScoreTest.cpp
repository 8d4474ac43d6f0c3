#include "Score.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace Marevane::SoundGen;

namespace {

struct Expected {
    double beat;
    double beats;
    double pitch;
};

void expectNotes(const std::vector<Expected>& expected, const Score& score)
{
    ASSERT_EQ(expected.size(), score.notes.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(expected[i].beat, score.notes[i].beat);
        EXPECT_DOUBLE_EQ(expected[i].beats, score.notes[i].beats);
        EXPECT_DOUBLE_EQ(expected[i].pitch, score.notes[i].pitch);
    }
}

TEST(MelodyText, ReadsPitchesLengthsTiesChordsAndRests)
{
    const struct {
        const char* text;
        double end;
        std::vector<Expected> notes;
    } cases[] = {
        {"c4:4 e:8. f#5:16 | bb3:2", 4.0, {{0, 1, 60}, {1, 0.75, 64}, {1.75, 0.25, 78}, {2, 2, 58}}},
        {"bb3:2~ bb3:4 r:4 a3", 5.0, {{0, 3, 58}, {4, 1, 57}}},
        {"[c4 e g]:2 d5:8t e f",
         3.0,
         {{0, 2, 60},
          {0, 2, 64},
          {0, 2, 67},
          {2, 1.0 / 3, 74},
          {2 + 1.0 / 3, 1.0 / 3, 76},
          {2 + 2.0 / 3, 1.0 / 3, 77}}},
        {"g4:2' >a4:4", 3.0, {{0, 1, 67}, {2, 1, 69}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Score score;
        EXPECT_DOUBLE_EQ(c.end, score.melody(0, 0.0, c.text));
        expectNotes(c.notes, score);
    }
    Score loud;
    loud.melody(3, 8.0, "@50 c4:4 >d4:4", 12);
    EXPECT_EQ(3, loud.notes[0].patch);
    EXPECT_DOUBLE_EQ(8.0, loud.notes[0].beat);
    EXPECT_DOUBLE_EQ(72.0, loud.notes[0].pitch);
    EXPECT_FLOAT_EQ(0.5f, loud.notes[0].velocity);
    EXPECT_FLOAT_EQ(0.65f, loud.notes[1].velocity);

    Score bad;
    EXPECT_THROW(bad.melody(0, 0.0, "h4:4"), std::invalid_argument);
    EXPECT_THROW(bad.melody(0, 0.0, "c4:0"), std::invalid_argument);
    EXPECT_THROW(bad.melody(0, 0.0, "c4:4x"), std::invalid_argument);
}

TEST(ChordText, ReadsRootsQualitiesBassesAndLengths)
{
    const std::vector<Chord> progression = chords(4.0, "Dm7:2 G7/B:1 F#:4 Bbmaj7");
    ASSERT_EQ(4u, progression.size());
    EXPECT_EQ(2, progression[0].root);
    EXPECT_EQ((std::vector<int>{0, 3, 7, 10}), progression[0].tones);
    EXPECT_DOUBLE_EQ(4.0, progression[0].beat);
    EXPECT_DOUBLE_EQ(2.0, progression[0].beats);
    EXPECT_EQ(7, progression[1].root);
    EXPECT_EQ(11, progression[1].bass);
    EXPECT_DOUBLE_EQ(6.0, progression[1].beat);
    EXPECT_EQ(6, progression[2].root);
    EXPECT_DOUBLE_EQ(10.0, progression[2].beat);
    EXPECT_DOUBLE_EQ(1.0, progression[3].beats);
    EXPECT_THROW(chords(0.0, "Cm13"), std::invalid_argument);
}

TEST(Accompaniment, ChordsAreVoicedWithoutSemitoneClustersAndFollowTheirGrids)
{
    Score score;
    score.pads(0, chords(0.0, "Bbmaj7:1 Fmaj7:1"), 53, 70);
    ASSERT_EQ(8u, score.notes.size());
    for (std::size_t first = 0; first < 8; first += 4) {
        for (std::size_t k = first + 1; k < first + 4; ++k) {
            EXPECT_GT(score.notes[k].pitch - score.notes[k - 1].pitch, 1.0) << k;
            EXPECT_GE(score.notes[k].pitch, 53.0);
            EXPECT_LE(score.notes[k].pitch, 70.0);
        }
    }

    Score bass;
    bass.bass(1, chords(0.0, "C/E:2"), "R-5.", 0.5, 2);
    expectNotes({{0, 1, 40}, {1, 0.5, 43}}, bass);

    Score drums;
    drums.drums(2, 1.0, "x.X. o...", 0.25, 2, 45.0, 0.8f);
    ASSERT_EQ(6u, drums.notes.size());
    EXPECT_DOUBLE_EQ(1.5, drums.notes[1].beat);
    EXPECT_FLOAT_EQ(1.0f, drums.notes[1].velocity);
    EXPECT_FLOAT_EQ(0.4f, drums.notes[2].velocity);
    EXPECT_DOUBLE_EQ(3.0, drums.notes[3].beat);
}

} // namespace
