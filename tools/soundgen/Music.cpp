#include "Music.h"

#include "Palette.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace Marevane {
namespace SoundGen {

namespace {

// Writes a melody that must fill exactly `beats`: a miscounted bar fails the
// build instead of shifting everything after it.
void phrase(Score& score, int patch, double at, double beats, const std::string& text, int transpose = 0,
            float velocity = 0.8f)
{
    const double end = score.melody(patch, at, text, transpose, velocity);
    if (std::abs(end - at - beats) > 1e-6) {
        throw std::logic_error("a phrase at beat " + std::to_string(at) + " lasts " +
                               std::to_string(end - at) + " beats instead of " + std::to_string(beats));
    }
}

// Heroic theme in D major at 120: a sixty-second opening (horn call, the theme
// on horn, then on brass, a bridge) and a 24-bar loop with the theme in full.
Composition theme()
{
    Composition c;
    c.bpm = 120.0;
    c.seed = 1;
    c.loudnessDb = -17.0f;
    const int horn = c.add(instrument("horn"));
    const int brass = c.add(instrument("brass"));
    const int str = c.add(instrument("strings"));
    const int strSoft = c.add(instrument("strings.soft"));
    const int flute = c.add(instrument("flute"));
    const int harp = c.add(instrument("harp"));
    const int cello = c.add(instrument("cello"));
    const int glock = c.add(instrument("glock"));
    const int timpani = c.add(instrument("timpani"));
    const int snare = c.add(instrument("snare.march"));
    const int crash = c.add(instrument("crash"));
    const int bass = c.add(instrument("bass.soft"));

    const std::string themeA = "f#4:4. e:8 d:4 a4:4 | e4:4. f#:8 e:4 c#:4 | d4:4 f#:4 b4:4 a:4 | a4:2 f#4:2 |"
                               "g4:4. a:8 b:4 d5:4 | a4:4 f#:4 d:4 f#:4 | g4:4 f#:4 e:4 d:4 | e4:1";
    const std::string chordsA = "D:1 A/C#:1 Bm:1 F#m:1 G:1 D/F#:1 Em7:1 A7:1";
    const std::string turn = "g4:4 f#:4 e:4 d:4 | e4:2 a3:8 c#4:8 e4:8 g4:8";
    const std::string chordsTurn = "G:1 A7:1";

    // The opening, 30 bars.
    Score& in = c.intro.score;
    c.intro.beats = 120.0;
    const auto call = chords(0.0, "D:1 Bm:1 G:1 A:1");
    in.pads(strSoft, call, 50, 62, 0.5f);
    in.bass(cello, call, "R---", 1.0, 2, 0.6f);
    phrase(in, horn, 0.0, 16.0, "a3:4. d4:8 e4:4 f#4:4 | a4:2. r:4 | g4:4. f#:8 e:4 d:4 | e4:2. r:4", 0,
           0.7f);
    in.drums(timpani, 0.0, "x.......x.......", 0.25, 1, 50, 0.6f);
    in.drums(timpani, 12.0, "x.x.xxxxxxxxXXXX", 0.25, 1, 45, 0.55f);
    const auto a1 = chords(16.0, chordsA);
    phrase(in, horn, 16.0, 32.0, themeA, 0, 0.75f);
    in.pads(strSoft, a1, 55, 69, 0.45f);
    in.arpeggio(harp, a1, "0 1 2 3 4 3 2 1", 0.5, 50, 2, 0.5f);
    in.bass(cello, a1, "R---", 1.0, 2, 0.6f);
    const auto a2 = chords(48.0, chordsA);
    phrase(in, brass, 48.0, 32.0, themeA, 12, 0.75f);
    phrase(in, flute, 48.0, 32.0, themeA, 24, 0.55f);
    in.pads(str, a2, 55, 69, 0.45f);
    in.comp(horn, a2, "x--x----", 0.5, 50, 62, 0.4f);
    in.bass(bass, a2, "R-R-5-R-", 0.5, 2, 0.6f);
    in.drums(snare, 48.0, "x...x.x.x...xxx.", 0.25, 8, 60, 0.45f);
    in.drums(timpani, 48.0, "x.......x.......", 0.25, 8, 50, 0.5f);
    in.note(crash, 48.0, 1.0, 60, 0.6f);
    const auto bridge = chords(80.0, "Bm:1 G:1 D:1 A:1 Bm:1 G:1 Em:1 A:1");
    phrase(in, str, 80.0, 32.0,
           "b4:4. c#5:8 d5:4 b4:4 | g4:2 d5:2 | a4:4. b:8 a:4 f#:4 | e4:2. r:4 |"
           "b4:4. c#5:8 d5:4 e5:4 | f#5:2 d5:2 | e5:4 d5:4 c#5:4 b4:4 | c#5:2 a4:2",
           0, 0.7f);
    phrase(in, horn, 80.0, 32.0, "d4:1 | d4:1 | f#4:1 | e4:1 | f#4:1 | g4:1 | g4:1 | e4:1", 0, 0.5f);
    in.arpeggio(harp, bridge, "0 2 4 2", 0.5, 47, 2, 0.45f);
    in.bass(bass, bridge, "R---5---", 0.5, 2, 0.6f);
    in.drums(timpani, 80.0, "x...............", 0.25, 8, 47, 0.45f);
    in.note(crash, 80.0, 1.0, 60, 0.45f);
    const auto turnIn = chords(112.0, chordsTurn);
    phrase(in, brass, 112.0, 8.0, turn, 12, 0.75f);
    in.pads(str, turnIn, 55, 69, 0.5f);
    in.bass(bass, turnIn, "R-R-5-R-", 0.5, 2, 0.65f);
    in.drums(snare, 112.0, "x...x.x.x...xxx.x...x.x.xxxxXXXX", 0.25, 1, 60, 0.5f);

    // The loop, 24 bars: theme in full, a second strain in B minor, the theme
    // again and the turn back.
    Score& s = c.loop.score;
    c.loop.beats = 96.0;
    const auto l1 = chords(0.0, chordsA);
    phrase(s, brass, 0.0, 32.0, themeA, 12, 0.85f);
    phrase(s, str, 0.0, 32.0, themeA, 0, 0.6f);
    s.pads(horn, l1, 50, 62, 0.45f);
    s.pads(str, l1, 62, 74, 0.35f);
    s.bass(bass, l1, "R-R-5-R-", 0.5, 2, 0.7f);
    s.bass(cello, l1, "R-------", 0.5, 2, 0.5f);
    s.drums(snare, 0.0, "X...x.x.x...xxx.", 0.25, 8, 60, 0.5f);
    s.drums(timpani, 0.0, "x.......x.......", 0.25, 8, 50, 0.55f);
    s.note(crash, 0.0, 1.0, 60, 0.7f);
    const auto l2 = chords(32.0, "Em:1 A:1 D:1 Bm:1 G:1 A:1 F#:1 Bm:1");
    phrase(s, flute, 32.0, 32.0,
           "b5:4 a:4 g:4 f#:4 | e5:2 a5:2 | f#5:4 e:4 d:4 c#:4 | d5:2 b4:2 |"
           "g5:4 a:4 b:4 c#6:4 | c#6:2 e6:2 | c#6:4. b5:8 a#5:4 c#6:4 | b5:1",
           0, 0.6f);
    phrase(s, str, 32.0, 32.0,
           "b4:4 a:4 g:4 f#:4 | e4:2 a4:2 | f#4:4 e:4 d:4 c#:4 | d4:2 b3:2 |"
           "g4:4 a:4 b:4 c#5:4 | c#5:2 e5:2 | c#5:4. b4:8 a#4:4 c#5:4 | b4:1",
           0, 0.6f);
    s.arpeggio(harp, l2, "0 1 2 3 4 3 2 1", 0.5, 47, 2, 0.45f);
    s.pads(horn, l2, 50, 62, 0.4f);
    s.bass(bass, l2, "R---5---", 0.5, 2, 0.65f);
    s.drums(timpani, 32.0, "x...............", 0.25, 8, 47, 0.4f);
    s.drums(snare, 56.0, "x.x.x.x.xxxxXXXX", 0.25, 2, 60, 0.4f);
    const auto l3 = chords(64.0, "D:1 A/C#:1 Bm:1 F#m:1 G:1 D/F#:1");
    phrase(s, brass, 64.0, 24.0,
           "f#4:4. e:8 d:4 a4:4 | e4:4. f#:8 e:4 c#:4 | d4:4 f#:4 b4:4 a:4 | a4:2 f#4:2 |"
           "g4:4. a:8 b:4 d5:4 | a4:4 f#:4 d:4 f#:4",
           12, 0.9f);
    phrase(s, glock, 64.0, 24.0,
           "f#4:4. e:8 d:4 a4:4 | e4:4. f#:8 e:4 c#:4 | d4:4 f#:4 b4:4 a:4 | a4:2 f#4:2 |"
           "g4:4. a:8 b:4 d5:4 | a4:4 f#:4 d:4 f#:4",
           24, 0.5f);
    s.pads(str, l3, 57, 72, 0.45f);
    s.pads(horn, l3, 50, 62, 0.45f);
    s.bass(bass, l3, "R-R-5-R-", 0.5, 2, 0.7f);
    s.drums(snare, 64.0, "X...x.x.x...xxx.", 0.25, 6, 60, 0.5f);
    s.drums(timpani, 64.0, "x.......x.......", 0.25, 6, 50, 0.55f);
    s.note(crash, 64.0, 1.0, 60, 0.65f);
    const auto turnLoop = chords(88.0, chordsTurn);
    phrase(s, brass, 88.0, 8.0, turn, 12, 0.75f);
    s.pads(str, turnLoop, 55, 69, 0.5f);
    s.bass(bass, turnLoop, "R-R-5-R-", 0.5, 2, 0.65f);
    s.drums(snare, 88.0, "x...x.x.x...xxx.x...x.x.xxxxXXXX", 0.25, 1, 60, 0.5f);
    return c;
}

// Calm bossa in F at 80: electric piano, soft bass, brushes and a flute,
// 32 bars that come back to their first chord.
Composition relaxation()
{
    Composition c;
    c.bpm = 80.0;
    c.seed = 2;
    c.loudnessDb = -19.0f;
    c.roomSize = 0.7f;
    const int ep = c.add(instrument("epiano"));
    const int bass = c.add(instrument("bass.soft"));
    const int pad = c.add(instrument("pad"));
    const int flute = c.add(instrument("flute"));
    const int bell = c.add(instrument("glock"));
    const int brush = c.add(instrument("brush"));
    const int shaker = c.add(instrument("shaker"));
    const int kick = c.add(instrument("kick"));
    c.patches[static_cast<std::size_t>(kick)].gain = 0.45f;
    c.patches[static_cast<std::size_t>(shaker)].gain = 0.12f;
    Score& s = c.loop.score;
    c.loop.beats = 128.0;
    const std::string verse = "Fmaj7:1 Em7:2 A7:2 Dm7:1 Gm7:2 C7:2 Bbmaj7:1 Am7:1 Gm7:1 C7sus4:2 C7:2";
    const std::string bridge = "Bbmaj7:1 Am7:1 Gm7:1 Fmaj7:1 Bbmaj7:1 Am7:2 D7:2 Gm7:1 C7sus4:1";
    const std::string melody1 =
        "a4:4. g:8 f:4 c:4 | e4:4. d:8 c#:4 a3:4 | d4:4 f:4 a:4 c5:4 | bb4:8 a:8 g:2. |"
        "bb4:4. a:8 g:4 d:4 | c5:4. a4:8 e:4 c:4 | d4:4 e:4 f:4 g:4 | f4:2 e4:2";
    for (int part = 0; part < 4; ++part) {
        const double at = part * 32.0;
        const auto progression = chords(at, part == 2 ? bridge : verse);
        s.comp(ep, progression, "x--.x-.x", 0.5, 53, 70, 0.5f);
        s.pads(pad, progression, 53, 70, 0.35f);
        s.bass(bass, progression, "R--5R--5", 0.5, 2, 0.65f);
        s.drums(brush, at, "....x.......x...", 0.25, 8, 60, 0.6f);
        s.drums(shaker, at, "xoxoxoxoxoxoxoxo", 0.25, 8, 60, 0.5f);
        s.drums(kick, at, "x.......x.....x.", 0.25, 8, 60, 0.5f);
    }
    phrase(s, flute, 32.0, 32.0, melody1, 12, 0.7f);
    phrase(s, bell, 64.0, 32.0,
           "d5:4 c:4 bb4:4 a:4 | c5:2 e5:2 | d5:4 bb4:4 g:4 f:4 | a4:1 |"
           "f5:4 e:4 d:4 c:4 | e5:2 f#5:2 | g5:4 f:4 e:4 d:4 | c5:1",
           12, 0.55f);
    phrase(s, flute, 96.0, 32.0,
           "a4:4. g:8 f:4 c:4 | e4:4. d:8 c#:4 e4:4 | f4:4 a:4 c5:4 e5:4 | d5:8 c:8 bb4:2. |"
           "d5:4. c:8 bb4:4 f:4 | e5:4. c:8 a4:4 e:4 | d4:4 e:4 f:4 g:4 | f4:2 e4:2",
           12, 0.7f);
    return c;
}

// Submarine: C minor at 104, dark pads, a sonar ping and a slow pulse. An
// 8-bar approach, then a 16-bar loop that ends like the approach.
Composition submarine()
{
    Composition c;
    c.bpm = 104.0;
    c.seed = 3;
    c.loudnessDb = -20.0f;
    c.roomSize = 0.85f;
    const int pad = c.add(instrument("pad.dark"));
    const int sonar = c.add(instrument("sonar"));
    const int bass = c.add(instrument("bass"));
    const int piano = c.add(instrument("piano"));
    const int cello = c.add(instrument("cello"));
    const int kick = c.add(instrument("kick"));
    const int hat = c.add(instrument("hat"));
    c.patches[static_cast<std::size_t>(bass)].cutoff = 220.0f;
    c.patches[static_cast<std::size_t>(bass)].gain = 0.35f;
    c.patches[static_cast<std::size_t>(kick)].gain = 0.55f;
    c.patches[static_cast<std::size_t>(hat)].gain = 0.08f;
    const std::string ending = "Gsus4:1 G:1";

    Score& in = c.intro.score;
    c.intro.beats = 32.0;
    const auto approach = chords(0.0, "Cm:1 Ab:1 Cm:1 Ab:1 Fm:1 Db:1 " + ending);
    in.pads(pad, approach, 48, 62, 0.6f);
    for (double beat = 0.0; beat < 32.0; beat += 8.0) in.note(sonar, beat, 1.0, 79, 0.7f);
    in.bass(bass, chords(16.0, "Fm:1 Db:1 " + ending), "R.R.R.R.", 0.5, 1, 0.55f);
    in.drums(kick, 16.0, "x.........x.....", 0.25, 4, 60, 0.5f);
    phrase(in, piano, 24.0, 8.0, "g4:8 c5:8 d5:4 r:2 | g4:8 b4:8 d5:4 r:2", 0, 0.5f);

    Score& s = c.loop.score;
    c.loop.beats = 64.0;
    const auto loop =
        chords(0.0, "Cm:1 Cm:1 Ab:1 Ab:1 Fm:1 Fm:1 G:1 G:1 Cm:1 Eb:1 Ab:1 Fm:1 Db:1 Ab:1 " + ending);
    s.pads(pad, loop, 48, 62, 0.55f);
    s.bass(bass, loop, "R.R.R.R.", 0.5, 1, 0.6f);
    s.drums(kick, 0.0, "x.........x.....", 0.25, 16, 60, 0.55f);
    s.drums(hat, 0.0, "..x...x...x...x.", 0.25, 16, 60, 0.5f);
    for (double beat = 0.0; beat < 64.0; beat += 8.0) s.note(sonar, beat, 1.0, 79, 0.7f);
    phrase(s, piano, 0.0, 32.0,
           "c5:8 g4:8 eb5:4 r:2 | c5:8 g4:8 d5:4 r:2 | c5:8 ab4:8 eb5:4 r:2 | c5:8 ab4:8 f5:4 r:2 |"
           "c5:8 ab4:8 f5:4 r:2 | ab4:8 c5:8 f5:4 r:2 | g4:8 b4:8 d5:4 r:2 | g4:8 b4:8 f5:4 r:2",
           0, 0.45f);
    phrase(s, cello, 32.0, 32.0,
           "c4:2. d4:4 | eb4:2. g4:4 | ab4:2 g4:2 | f4:1 | f4:2. eb4:4 | c4:2 eb4:2 | d4:1 | g3:1", 0, 0.6f);
    phrase(s, piano, 48.0, 16.0, "r:1 | r:1 | g4:8 c5:8 d5:4 r:2 | g4:8 b4:8 d5:4 r:2", 0, 0.5f);
    return c;
}

// Battlefront Samba: A minor at 104 over a batucada (surdo, tamborim,
// shaker), guitar and a brass tune; 32 bars ending on the dominant.
Composition samba()
{
    Composition c;
    c.bpm = 104.0;
    c.seed = 5;
    c.loudnessDb = -16.0f;
    c.roomSize = 0.6f;
    const int brass = c.add(instrument("brass"));
    const int lead = c.add(instrument("lead"));
    const int guitar = c.add(instrument("guitar"));
    const int bass = c.add(instrument("bass"));
    const int str = c.add(instrument("strings.short"));
    const int surdo = c.add(instrument("surdo"));
    const int tamborim = c.add(instrument("tamborim"));
    const int shaker = c.add(instrument("shaker"));
    const int agogo = c.add(instrument("marimba"));
    const int kick = c.add(instrument("kick"));
    const int crash = c.add(instrument("crash"));
    c.patches[static_cast<std::size_t>(lead)].gain = 0.17f;
    c.patches[static_cast<std::size_t>(agogo)].gain = 0.12f;
    c.patches[static_cast<std::size_t>(kick)].gain = 0.5f;
    Score& s = c.loop.score;
    c.loop.beats = 128.0;
    const std::string verse = "Am:1 Dm:1 E7:1 Am:1 F:1 Dm:1 E7:1 Am:2 E7:2";
    const std::string chorus = "C:1 G:1 Dm:1 Am:1 F:1 G:1 E7:1 E7:1";
    // Groove on every bar.
    s.drums(surdo, 0.0, "o.......x.......", 0.25, 32, 45, 0.8f);
    s.drums(surdo, 0.0, "x.......o.....o.", 0.25, 32, 40, 0.7f);
    s.drums(kick, 0.0, "x.......x.......", 0.25, 32, 60, 0.5f);
    s.drums(shaker, 0.0, "XoxoXoxoXoxoXoxo", 0.25, 32, 60, 0.6f);
    s.drums(tamborim, 16.0, "x.x.xx.x.x.xx.x.", 0.25, 24, 76, 0.6f);
    s.drums(tamborim, 112.0, "x.x.x.x.xxxxxxxx", 0.25, 4, 76, 0.7f);
    s.drums(agogo, 16.0, "x.x...x.x.x.x...", 0.25, 24, 81, 0.5f);
    s.drums(agogo, 16.0, "....x.......x...", 0.25, 24, 76, 0.5f);
    const auto intro = chords(0.0, "Am:1 Dm:1 E7:1 Am:1");
    const auto a1 = chords(16.0, verse);
    const auto b1 = chords(48.0, chorus);
    const auto a2 = chords(80.0, verse);
    const auto brk = chords(112.0, "E7:1 E7:1 E7:1 E7:1");
    for (const auto* part : {&intro, &a1, &b1, &a2, &brk}) {
        s.comp(guitar, *part, "x.xx.x.x.xx.x.x.", 0.25, 52, 64, 0.55f);
        s.bass(bass, *part, "R..5R..5", 0.5, 1, 0.7f);
    }
    const std::string tune = "e5:8 e:16 e:16 d:8 c:8 b4:8 c5:8 a4:4 | f5:8 f:16 f:16 e:8 d:8 c:8 d:8 a4:4 |"
                             "g#4:8 b:8 d5:8 e:8 f:8 e:8 d:8 b4:8 | a4:4. c5:8 e5:4 a5:4 |"
                             "a5:8 g:8 f:8 e:8 f:8 e:8 c:8 a4:8 | d5:4 f:4 a:8 g:8 f:8 d:8 |"
                             "e5:8 d:8 b4:8 g#:8 e4:8 g#:8 b:8 d5:8 | c5:4 a4:4 b4:4 g#4:4";
    phrase(s, brass, 16.0, 32.0, tune, 0, 0.8f);
    phrase(s, lead, 48.0, 32.0,
           "e5:4. d:8 c:4 g4:4 | d5:4. c:8 b4:4 g:4 | f5:4. e:8 d:4 a4:4 | c5:2 e5:2 |"
           "a5:4. g:8 f:4 c:4 | b4:4 d5:4 g5:4 f5:4 | e5:8 f:8 e:8 d:8 b4:8 c5:8 d:8 g#4:8 | b4:2 e4:2",
           0, 0.75f);
    s.comp(str, b1, "x...x...", 0.5, 60, 74, 0.45f);
    phrase(s, brass, 80.0, 32.0, tune, 0, 0.85f);
    phrase(s, lead, 80.0, 32.0, tune, 12, 0.45f);
    s.comp(str, brk, "X..X..X.X..X..X.", 0.25, 56, 68, 0.6f);
    for (double beat : {16.0, 48.0, 80.0}) s.note(crash, beat, 1.0, 60, 0.6f);
    return c;
}

// Missing Sea: E minor waltz at 72 with harp, waves and a lonely flute; 40
// bars that close on the dominant.
Composition missingSea()
{
    Composition c;
    c.bpm = 72.0;
    c.seed = 6;
    c.loudnessDb = -20.0f;
    c.roomSize = 0.88f;
    c.damping = 0.35f;
    const int harp = c.add(instrument("harp"));
    const int pad = c.add(instrument("strings.soft"));
    const int flute = c.add(instrument("flute"));
    const int str = c.add(instrument("strings"));
    const int cello = c.add(instrument("cello"));
    const int bell = c.add(instrument("bell"));
    const int waves = c.add(instrument("waves"));
    Score& s = c.loop.score;
    c.loop.beats = 120.0;
    const std::string a = "Em:2. Cmaj7:2. Am7:2. Bm7:2. Em:2. Cmaj7:2. D:2. B7:2.";
    const std::string b = "G:2. D/F#:2. Em:2. C:2. Am:2. Em:2. C:2. B7:2.";
    const std::string melodyA = "b4:2 a4:8 g4:8 | e4:2. | a4:4 g4:4 e4:4 | f#4:2. |"
                                "g4:4 f#4:8 e4:8 d4:4 | e4:2 b3:4 | d4:4 e4:4 f#4:4 | d#4:2.";
    const char* parts[] = {a.c_str(), a.c_str(), b.c_str(), a.c_str(), a.c_str()};
    for (int part = 0; part < 5; ++part) {
        const double at = part * 24.0;
        const auto progression = chords(at, parts[part]);
        s.arpeggio(harp, progression, "0 2 4 5 4 2", 0.5, 40, 2, 0.5f);
        s.pads(pad, triads(progression), 52, 66, 0.4f);
        if (part >= 3) s.bass(cello, progression, "R--", 1.0, 2, 0.5f);
    }
    for (double beat = 0.0; beat < 120.0; beat += 12.0) s.note(waves, beat, 9.0, 60, 0.6f);
    phrase(s, flute, 24.0, 24.0, melodyA, 12, 0.7f);
    phrase(s, str, 48.0, 24.0,
           "d5:2 b4:4 | a4:2 f#4:4 | g4:4 a4:4 b4:4 | e5:2. | c5:4 b4:4 a4:4 | g4:4 f#:4 e:4 | e4:4 g4:4 "
           "c5:4 | b4:2.",
           0, 0.6f);
    phrase(s, flute, 72.0, 24.0, melodyA, 12, 0.7f);
    phrase(s, str, 72.0, 24.0, melodyA, 0, 0.4f);
    for (double beat : {96.0, 102.0, 108.0, 114.0})
        s.note(bell, beat + 1.0, 2.0, beat == 114.0 ? 87 : 83, 0.4f);
    return c;
}

// Death Match: D minor at about 156, four on the floor, chugging power
// chords and a synth lead. A 10-bar run-up, an 80-bar loop and a final hit.
Composition deathMatch()
{
    Composition c;
    c.bpm = 155.6;
    c.seed = 7;
    c.loudnessDb = -15.0f;
    c.roomSize = 0.55f;
    const int power = c.add(instrument("power"));
    const int lead = c.add(instrument("lead"));
    const int bass = c.add(instrument("bass"));
    const int str = c.add(instrument("strings"));
    const int stab = c.add(instrument("strings.short"));
    const int bell = c.add(instrument("bell"));
    const int kick = c.add(instrument("kick"));
    const int snare = c.add(instrument("snare"));
    const int hat = c.add(instrument("hat"));
    const int crash = c.add(instrument("crash"));
    const int tom = c.add(instrument("tom"));
    const int clap = c.add(instrument("clap"));
    c.patches[static_cast<std::size_t>(kick)].gain = 0.7f;
    const std::string progA = "Dm:1 Bb:1 C:1 Dm:1 Dm:1 Bb:1 Gm:1 A:1";
    const std::string progB = "Bb:1 C:1 Am:1 Dm:1 Gm:1 C:1 F:1 A:1";
    const std::string progC = "Gm:1 Dm:1 Bb:1 A:1";
    const std::string tuneA = "d5:8 d:8 a4:8 d5:8 f5:8 e:8 d:8 c:8 | d5:4. bb4:8 r:8 f4:8 g4:8 bb4:8 |"
                              "c5:8 c:8 g4:8 c5:8 e5:8 d:8 c:8 bb4:8 | a4:2 r:4 a4:8 c5:8 |"
                              "d5:8 d:8 a4:8 d5:8 f5:8 g:8 a:8 f:8 | bb5:4. a:8 g:4 f:4 |"
                              "g5:8 f:8 e:8 d:8 bb4:4 g4:4 | a4:2 c#5:4 e5:4";
    const std::string tuneB = "f5:4. d:8 bb4:4 f5:4 | g5:4. e:8 c:4 g5:4 | e5:4 c:4 a4:4 e5:4 | f5:2 d5:2 |"
                              "g5:4. f:8 d:4 bb4:4 | c5:4 e:4 g:4 bb5:4 | a5:4 f:4 c:4 a4:4 | c#5:2 e5:2";
    const std::string turnTune = "f5:4 e5:4 d5:4 c#5:4 | e5:2 a4:8 c#5:8 e5:8 g5:8";
    const std::string beat = "x...x...x...x...";
    auto groove = [&](Score& sc, double at, int bars, bool full) {
        sc.drums(kick, at, beat, 0.25, bars, 60, 0.9f);
        sc.drums(snare, at, "....x.......x...", 0.25, bars, 60, 0.75f);
        sc.drums(hat, at, full ? "x.xxx.xxx.xxx.xx" : "..x...x...x...x.", 0.25, bars, 60, 0.6f);
    };
    auto riff = [&](Score& sc, const std::vector<Chord>& progression) {
        sc.comp(power, fifths(progression), "X.xxX.xxX.xxX.x.", 0.25, 38, 57, 0.75f);
        sc.bass(bass, progression, "RRRRRRRR", 0.5, 1, 0.75f);
    };

    // Run-up: drums gather over the A progression, then the turn.
    Score& in = c.intro.score;
    c.intro.beats = 40.0;
    const auto runUp = chords(0.0, progA);
    in.bass(bass, runUp, "RRRRRRRR", 0.5, 1, 0.7f);
    in.drums(kick, 0.0, beat, 0.25, 8, 60, 0.85f);
    in.drums(hat, 16.0, "..x...x...x...x.", 0.25, 4, 60, 0.6f);
    in.drums(snare, 24.0, "....x.......x...", 0.25, 2, 60, 0.7f);
    in.drums(snare, 28.0, "x.x.x.x.xxxxXXXX", 0.25, 1, 60, 0.6f);
    in.pads(str, runUp, 50, 64, 0.45f);
    const auto turnIn = chords(32.0, "A:1 A7:1");
    riff(in, turnIn);
    groove(in, 32.0, 2, true);
    phrase(in, lead, 32.0, 8.0, turnTune, 0, 0.8f);
    in.note(crash, 32.0, 1.0, 60, 0.7f);

    Score& s = c.loop.score;
    c.loop.beats = 320.0;
    // A: the riff, then the tune over it (16 bars).
    const auto a1 = chords(0.0, progA + " " + progA);
    riff(s, a1);
    groove(s, 0.0, 16, true);
    phrase(s, lead, 32.0, 32.0, tuneA, 0, 0.8f);
    phrase(s, bell, 0.0, 32.0, "d6:1 | d6:1 | e6:1 | f6:1 | d6:1 | d6:1 | bb5:1 | c#6:1", 0, 0.4f);
    // B: the second tune with strings (16 bars).
    const auto b1 = chords(64.0, progB + " " + progB);
    riff(s, b1);
    groove(s, 64.0, 16, true);
    s.pads(str, b1, 55, 69, 0.45f);
    phrase(s, lead, 64.0, 32.0, tuneB, 0, 0.75f);
    phrase(s, lead, 96.0, 32.0, tuneB, 0, 0.8f);
    phrase(s, str, 96.0, 32.0, tuneB, -12, 0.5f);
    // C: a half-time breakdown with bells (16 bars).
    const auto brk = chords(128.0, progC + " " + progC + " " + progC + " " + progC);
    s.pads(str, brk, 50, 66, 0.55f);
    s.bass(bass, brk, "R-------", 0.5, 1, 0.7f);
    s.drums(kick, 128.0, "x.........x.....", 0.25, 16, 60, 0.8f);
    s.drums(clap, 128.0, "........x.......", 0.25, 16, 60, 0.6f);
    s.drums(hat, 128.0, "x.x.x.x.x.x.x.x.", 0.25, 16, 60, 0.45f);
    for (int k = 0; k < 4; ++k) {
        phrase(s, bell, 128.0 + 16.0 * k, 16.0, "g5:4 bb:4 d6:2 | a5:4 f:4 d:2 | f5:4 d:4 bb4:2 | c#5:2 e5:2",
               0, 0.5f);
    }
    phrase(s, lead, 160.0, 32.0, "g5:1 | f5:1 | f5:2 d5:2 | e5:1 | bb5:1 | a5:1 | f5:2 d5:2 | c#5:2 e5:2", 0,
           0.65f);
    // D: the riff returns, snare rising (8 bars).
    const auto d1 = chords(192.0, progA);
    riff(s, d1);
    s.drums(kick, 192.0, beat, 0.25, 8, 60, 0.85f);
    s.drums(snare, 192.0, "x...x...x...x...", 0.25, 4, 60, 0.55f);
    s.drums(snare, 208.0, "x.x.x.x.x.x.x.x.", 0.25, 2, 60, 0.65f);
    s.drums(snare, 216.0, "xxxxxxxxxxxxxxxx", 0.25, 1, 60, 0.65f);
    s.drums(tom, 220.0, "x.x.x.x.XXXXXXXX", 0.25, 1, 45, 0.7f);
    s.pads(str, d1, 50, 64, 0.5f);
    // A again, the tune at once, strings above (16 bars).
    const auto a2 = chords(224.0, progA + " " + progA);
    riff(s, a2);
    groove(s, 224.0, 16, true);
    phrase(s, lead, 224.0, 32.0, tuneA, 0, 0.85f);
    phrase(s, lead, 256.0, 32.0, tuneA, 0, 0.85f);
    phrase(s, str, 256.0, 32.0, tuneA, 12, 0.45f);
    s.comp(stab, a2, "x.......", 0.5, 62, 74, 0.5f);
    // The turn back (8 bars), ending as the run-up ends.
    const auto t1 = chords(288.0, "Bb:1 C:1 Am:1 Dm:1 Gm:1 Bb:1 A:1 A7:1");
    riff(s, t1);
    groove(s, 288.0, 8, true);
    s.pads(str, chords(288.0, "Bb:1 C:1 Am:1 Dm:1 Gm:1 Bb:1"), 55, 69, 0.5f);
    phrase(s, lead, 288.0, 24.0,
           "f5:4. d:8 bb4:4 f5:4 | g5:4. e:8 c:4 g5:4 | e5:4 c:4 a4:4 e5:4 | f5:2 d5:2 |"
           "g5:4. f:8 d:4 bb4:4 | d5:4 f:4 bb5:4 a5:4",
           0, 0.75f);
    phrase(s, lead, 312.0, 8.0, turnTune, 0, 0.8f);
    for (double at : {0.0, 64.0, 128.0, 192.0, 224.0, 288.0, 312.0}) s.note(crash, at, 1.0, 60, 0.7f);

    // The end, heard when the loop is let go.
    Score& out = c.outro.score;
    c.outro.beats = 8.0;
    const auto last = chords(0.0, "Dm:1 Dm:1");
    out.comp(power, fifths(last), "X-------........", 0.25, 38, 57, 0.8f);
    out.bass(bass, last, "R-------........", 0.5, 1, 0.8f);
    out.pads(str, chords(0.0, "Dm:1"), 50, 66, 0.6f);
    out.note(kick, 0.0, 1.0, 60, 1.0f);
    out.note(crash, 0.0, 1.0, 60, 0.8f);
    out.note(lead, 0.0, 4.0, 74, 0.8f);
    return c;
}

// Blue Anthem: a proud hymn in B flat at 94 with brass, strings and a march;
// an 8-bar fanfare, then a 16-bar loop whose last two bars close the fanfare too.
Composition blueAnthem()
{
    Composition c;
    c.bpm = 94.0;
    c.seed = 8;
    c.loudnessDb = -17.0f;
    c.roomSize = 0.8f;
    const int brass = c.add(instrument("brass"));
    const int horn = c.add(instrument("horn"));
    const int str = c.add(instrument("strings"));
    const int cello = c.add(instrument("cello"));
    const int glock = c.add(instrument("glock"));
    const int timpani = c.add(instrument("timpani"));
    const int snare = c.add(instrument("snare.march"));
    const int crash = c.add(instrument("crash"));
    const int bass = c.add(instrument("bass.soft"));
    const std::string closing = "g5:4 f5:4 eb5:4 g5:4 | f5:2 c5:4 a4:4";

    Score& in = c.intro.score;
    c.intro.beats = 32.0;
    const auto fanfare = chords(0.0, "Bb:1 Eb/Bb:1 Bb:1 F/A:1 Gm:1 Cm7:1 Eb:1 F7:1");
    phrase(in, brass, 0.0, 24.0,
           "f4:8t f:8t f:8t bb4:4. f4:8 bb4:4 | g4:2 eb5:2 | d5:8t d:8t d:8t f5:4. d5:8 bb4:4 | c5:2. r:4 |"
           "d5:4. c:8 bb4:4 g4:4 | c5:4. d5:8 eb5:4 g4:4",
           0, 0.8f);
    phrase(in, brass, 24.0, 8.0, closing, 0, 0.8f);
    in.pads(horn, fanfare, 46, 60, 0.5f);
    in.pads(str, fanfare, 58, 72, 0.4f);
    in.bass(cello, fanfare, "R---", 1.0, 2, 0.55f);
    in.drums(timpani, 0.0, "x...............", 0.25, 4, 46, 0.7f);
    in.drums(timpani, 16.0, "x.......x.......", 0.25, 3, 46, 0.6f);
    in.drums(timpani, 28.0, "x.x.x.x.xxxxXXXX", 0.25, 1, 53, 0.6f);
    in.note(crash, 0.0, 1.0, 60, 0.6f);

    Score& s = c.loop.score;
    c.loop.beats = 64.0;
    const auto verse = chords(0.0, "Bb:1 F/A:1 Gm:1 Dm/F:1 Eb:1 Bb/D:1 Cm7:2 F7:2 Bb:1");
    const auto refrain = chords(32.0, "Eb:1 F:1 Dm:1 Gm:1 Cm7:1 Bb/D:1 Eb:1 F7:1");
    const std::string hymn = "f4:4. g:8 bb:4 d5:4 | c5:2 a4:2 | bb4:4 d5:4 g5:4 f5:4 | f5:2 d5:2 |"
                             "eb5:4. d:8 c:4 bb4:4 | f5:2 d5:2 | c5:4 eb5:4 d5:4 c5:4 | bb4:1";
    const std::string refrainTune = "g5:4. f:8 eb:4 g:4 | f5:4. eb:8 d:4 c:4 | d5:4 f:4 a:4 f:4 | g5:2 d5:2 |"
                                    "eb5:4 g5:4 c6:4 bb5:4 | bb5:2 f5:2 | " +
                                    closing;
    phrase(s, horn, 0.0, 32.0, hymn, 0, 0.75f);
    phrase(s, str, 0.0, 32.0, hymn, 12, 0.5f);
    phrase(s, brass, 32.0, 32.0, refrainTune, 0, 0.85f);
    phrase(s, str, 32.0, 32.0, refrainTune, 0, 0.5f);
    phrase(s, glock, 32.0, 16.0, "g5:4. f:8 eb:4 g:4 | f5:4. eb:8 d:4 c:4 | d5:4 f:4 a:4 f:4 | g5:2 d5:2", 12,
           0.45f);
    for (const auto* part : {&verse, &refrain}) {
        s.pads(str, *part, 55, 67, 0.4f);
        s.pads(horn, *part, 46, 58, 0.4f);
        s.bass(bass, *part, "R-5-R-5-", 0.5, 2, 0.6f);
        s.bass(cello, *part, "R-------", 0.5, 2, 0.45f);
    }
    s.drums(snare, 0.0, "X..x..x.x...x.x.", 0.25, 16, 60, 0.45f);
    s.drums(timpani, 0.0, "x.......x.......", 0.25, 16, 46, 0.5f);
    s.drums(snare, 60.0, "x.x.x.x.xxxxXXXX", 0.25, 1, 60, 0.5f);
    for (double at : {0.0, 32.0}) s.note(crash, at, 1.0, 60, 0.55f);
    return c;
}

// Finale of a symphony in D minor, Allegro at 144: the main theme, a second
// theme in F, development, return and a coda in D major; 48 bars.
Composition finale()
{
    Composition c;
    c.bpm = 144.0;
    c.seed = 9;
    c.loudnessDb = -17.0f;
    c.roomSize = 0.85f;
    const int violins = c.add(instrument("strings"));
    const int spiccato = c.add(instrument("strings.short"));
    const int cello = c.add(instrument("cello"));
    const int horn = c.add(instrument("horn"));
    const int brass = c.add(instrument("brass"));
    const int flute = c.add(instrument("flute"));
    const int oboe = c.add(instrument("oboe"));
    const int timpani = c.add(instrument("timpani"));
    const int crash = c.add(instrument("crash"));
    c.patches[static_cast<std::size_t>(violins)].attack = 0.04f;
    Score& s = c.loop.score;
    c.loop.beats = 192.0;
    const std::string main = "d5:8 a4:8 d5:8 e5:8 f5:8 e5:8 d5:8 c#5:8 | d5:8 a4:8 f4:8 a4:8 d4:4 r:4 |"
                             "g5:8 f:8 e:8 d:8 c#:8 d:8 e:8 c#:8 | a4:8 c#5:8 e5:8 g5:8 a5:4 r:4 |"
                             "bb5:8 a:8 g:8 f:8 e:8 f:8 g:8 e:8 | f5:8 e:8 d:8 c#:8 d:8 e:8 f:8 d:8 |"
                             "e5:8 d:8 c#:8 b4:8 c#5:8 e:8 a:8 g:8 | f5:4 e5:4 d5:2";
    const std::string mainChords = "Dm:1 Dm:1 A7:1 A:1 Gm:1 Dm:1 A7:1 Dm:1";
    auto drive = [&](const std::vector<Chord>& progression, float level) {
        s.comp(spiccato, progression, "xoxoxoxo", 0.5, 50, 62, level);
        s.bass(cello, progression, "R.R.R.R.", 0.5, 2, level);
        s.bass(timpani, progression, "R...R...", 0.5, 2, level * 0.8f);
    };
    // Exposition: the theme, then again with brass and flute.
    const auto e1 = chords(0.0, mainChords);
    phrase(s, violins, 0.0, 32.0, main, 0, 0.8f);
    drive(e1, 0.6f);
    const auto e2 = chords(32.0, mainChords);
    phrase(s, violins, 32.0, 32.0, main, 0, 0.85f);
    phrase(s, flute, 32.0, 32.0, main, 12, 0.5f);
    s.pads(horn, e2, 50, 62, 0.5f);
    drive(e2, 0.7f);
    s.note(crash, 32.0, 1.0, 60, 0.5f);
    // Second theme in F major.
    const auto second = chords(64.0, "F:1 C/E:1 Dm:1 Am:1 Bb:1 F/A:1 Gm7:1 C7:1");
    phrase(s, oboe, 64.0, 32.0,
           "a4:2 c5:4 f5:4 | e5:2 c5:2 | d5:4. e:8 f:4 a:4 | e5:2. r:4 |"
           "d5:4 f:4 bb5:4 a:4 | a5:2 f5:2 | g5:4 f:4 e:4 d:4 | c5:2 e5:2",
           0, 0.7f);
    phrase(s, horn, 64.0, 32.0, "f4:1 | e4:1 | f4:1 | e4:1 | d4:1 | c4:1 | d4:1 | e4:1", 0, 0.5f);
    s.pads(violins, second, 57, 69, 0.45f);
    s.arpeggio(spiccato, second, "0 1 2 1", 0.5, 48, 2, 0.55f);
    s.bass(cello, second, "R---5---", 0.5, 2, 0.55f);
    // Development: the head of the theme climbs through the keys.
    const auto dev = chords(96.0, "Gm:1 A7:1 Dm:1 Bb:1 Gm:1 E7:1 A:1 A7:1");
    const std::string head = "d5:8 a4:8 d5:8 e5:8 f5:4 r:4";
    const int steps[] = {-7, -5, 0, -4, -7, -10, -5, -5};
    for (int k = 0; k < 8; ++k) {
        phrase(s, violins, 96.0 + 4.0 * k, 4.0, k < 6 ? head : "e5:8 c#5:8 e5:8 g5:8 a5:4 r:4",
               k < 6 ? steps[k] : 0, 0.8f);
    }
    s.comp(brass, dev, "x...x...", 0.5, 50, 64, 0.6f);
    drive(dev, 0.7f);
    s.drums(timpani, 124.0, "x.x.x.x.xxxxxxxx", 0.25, 1, 45, 0.5f);
    // Return of the theme, full.
    const auto recap = chords(128.0, mainChords);
    phrase(s, violins, 128.0, 32.0, main, 0, 0.9f);
    phrase(s, brass, 128.0, 32.0, main, -12, 0.55f);
    phrase(s, flute, 128.0, 32.0, main, 12, 0.5f);
    s.pads(horn, recap, 50, 62, 0.55f);
    drive(recap, 0.75f);
    s.note(crash, 128.0, 1.0, 60, 0.6f);
    // Coda in D major.
    const auto coda = chords(160.0, "D:1 G:1 D/A:1 A7:1 D:1 G:1 A7:1 D:1");
    const std::string codaTune = "f#5:4 a5:4 d6:2 | b5:4 g5:4 d5:2 | a5:4 f#:4 d:4 f#:4 | e5:2 c#5:2 |"
                                 "f#5:4 a:4 d6:4 a5:4 | b5:4 d6:4 g5:2 | a5:4 g:4 e:4 c#:4 | d5:1";
    phrase(s, violins, 160.0, 32.0, codaTune, 0, 0.9f);
    phrase(s, brass, 160.0, 32.0, codaTune, -12, 0.7f);
    s.pads(horn, coda, 50, 62, 0.6f);
    drive(coda, 0.8f);
    s.drums(timpani, 184.0, "x.x.x.x.xxxxxxxx", 0.25, 1, 45, 0.5f);
    for (double at : {160.0, 188.0}) s.note(crash, at, 1.0, 60, 0.6f);
    return c;
}

// Bright fanfare in C major, 12 bars at 132, ending on the tonic so that a
// second pass starts like a new flourish.
Composition win()
{
    Composition c;
    c.bpm = 132.0;
    c.seed = 11;
    c.loudnessDb = -17.0f;
    const int lead = c.add(instrument("brass"));
    const int horn = c.add(instrument("horn"));
    const int str = c.add(instrument("strings"));
    const int glock = c.add(instrument("glock"));
    const int bass = c.add(instrument("bass"));
    const int timpani = c.add(instrument("timpani"));
    const int snare = c.add(instrument("snare.march"));
    const int crash = c.add(instrument("crash"));
    Score& s = c.loop.score;
    c.loop.beats = 48.0;
    const std::string melody =
        "c5:8t c:8t c:8t c:4 g4:4 c5:4 | a5:4. g:8 f:4 a:4 | g5:8t g:8t g:8t g:4 e:4 c:4 |"
        "d5:4. e:8 f:4 d:4 | e5:2 c5:4 e5:4 | f5:4 a5:4 g5:4 f5:8 d5:8 |"
        "e5:4 g5:4 a5:4 e5:4 | f5:4. e5:8 d5:4 g4:4 | c5:8 e:8 g:8 c6:8 a5:4 f5:4 |"
        "g5:4 e5:4 a5:4 c6:4 | f5:4 a5:4 b5:4 d6:4 | c6:2. r:4";
    phrase(s, lead, 0.0, 48.0, melody, 0, 0.85f);
    phrase(s, str, 0.0, 48.0, melody, -12, 0.55f);
    phrase(s, glock, 32.0, 16.0,
           "c6:8 e:8 g:8 c7:8 a6:4 f6:4 | g6:4 e6:4 a6:4 c7:4 | f6:4 a6:4 b6:4 d7:4 | c7:2. r:4", 0, 0.6f);
    const auto harmony = chords(0.0, "C:1 F/C:1 C:1 G:2 G7:2 | C:2 Am:2 F:2 G:2 | Em:2 Am:2 Dm7:2 G7:2 |"
                                     "C:2 F:2 C/E:2 F:2 Dm7:2 G7:2 C:1");
    s.pads(horn, harmony, 55, 67, 0.5f);
    s.pads(str, harmony, 60, 74, 0.35f);
    s.bass(bass, harmony, "R-5-R-5-", 0.5, 2, 0.7f);
    for (double bar : {0.0, 8.0, 32.0, 44.0}) {
        s.note(timpani, bar, 1.0, 48, 0.9f);
        s.note(crash, bar, 1.0, 60, 0.7f);
    }
    s.drums(timpani, 12.0, "x.x.X...", 0.5, 1, 43, 0.7f);
    s.drums(snare, 16.0, "X...x.x.X...x.xx", 0.25, 7, 60, 0.5f);
    s.drums(snare, 44.0, "xxxxxxxxxxxxX...", 0.25, 1, 60, 0.45f);
    return c;
}

// Loss: a slow lament in C minor at 66, oboe over piano and low strings.
Composition loss()
{
    Composition c;
    c.bpm = 66.0;
    c.seed = 12;
    c.loudnessDb = -20.0f;
    c.roomSize = 0.85f;
    const int oboe = c.add(instrument("oboe"));
    const int piano = c.add(instrument("piano"));
    const int str = c.add(instrument("strings.soft"));
    const int cello = c.add(instrument("cello"));
    const int timpani = c.add(instrument("timpani"));
    Score& s = c.loop.score;
    c.loop.beats = 32.0;
    const auto harmony = chords(0.0, "Cm:1 Ab:1 Fm:1 G:1 Eb:1 Fm:1 Dm7b5:2 G7:2 Cm:1");
    phrase(s, oboe, 0.0, 32.0,
           "g4:4. f:8 eb:4 c:4 | c5:2 ab4:2 | ab4:4. g:8 f:4 c4:4 | d4:2 b3:2 |"
           "eb4:4. f:8 g:4 bb4:4 | ab4:2 c5:2 | f4:4 ab:4 g:4 f:4 | c4:1",
           12, 0.7f);
    s.arpeggio(piano, harmony, "0 2 4 2", 0.5, 48, 2, 0.4f);
    s.pads(str, harmony, 55, 67, 0.45f);
    s.bass(cello, harmony, "R-------", 0.5, 2, 0.55f);
    s.note(timpani, 0.0, 1.0, 48, 0.5f);
    s.note(timpani, 28.0, 1.0, 48, 0.35f);
    return c;
}

} // namespace

std::vector<Sound::BgmCode> composedTracks()
{
    return {Sound::BgmTheme,      Sound::BgmRelaxation, Sound::BgmSubmarine,  Sound::BgmBattlefrontSamba,
            Sound::BgmMissingSea, Sound::BgmDeathMatch, Sound::BgmBlueAnthem, Sound::BgmSymphonyFinale,
            Sound::BgmWin,        Sound::BgmLoss};
}

Composition compose(Sound::BgmCode code)
{
    switch (code) {
    case Sound::BgmTheme:
        return theme();
    case Sound::BgmRelaxation:
    case Sound::BgmRelaxationAgain:
        return relaxation();
    case Sound::BgmSubmarine:
        return submarine();
    case Sound::BgmBattlefrontSamba:
        return samba();
    case Sound::BgmMissingSea:
        return missingSea();
    case Sound::BgmDeathMatch:
        return deathMatch();
    case Sound::BgmBlueAnthem:
        return blueAnthem();
    case Sound::BgmSymphonyFinale:
        return finale();
    case Sound::BgmWin:
        return win();
    case Sound::BgmLoss:
        return loss();
    default:
        throw std::invalid_argument("no music is composed for code " + std::to_string(code));
    }
}

} // namespace SoundGen
} // namespace Marevane
