// Music as data: notes in beats, written as short texts, and the helpers that
// turn chord progressions into pads, arpeggios, bass lines and drum grooves.
//
// Melody text: space-separated tokens, '|' is only for the eye.
//   c4:4  e:8.  f#5:16  bb3:2~  r:4  [c4 e g]:2  @70  >g4:8  a4:8'
// A note is a letter, '#' or 'b', an octave (else the last one), and ':'
// with a length 1 2 4 8 16 32, '.' dotted, 't' triplet (else the last
// length). '~' ties into the next note, '>' accents, a trailing '\'' plays
// short, '@N' sets the loudness to N percent, 'r' rests, '[...]' is a chord.
#pragma once

#include <string>
#include <vector>

namespace Marevane {
namespace SoundGen {

struct Note {
    double beat;
    double beats;
    double pitch;
    float velocity;
    int patch;
    float pan = 0.0f;
};

// Chord text: "Dm:1 G7:2 C/E:2", a root, a quality and an optional bass
// note, with a length as in melodies.
struct Chord {
    double beat;
    double beats;
    int root;               // pitch class
    int bass;               // pitch class
    std::vector<int> tones; // semitones above the root
};

class Score {
  public:
    std::vector<Note> notes;

    // Gives the beat after the melody.
    double melody(int patch, double beat, const std::string& text, int transpose = 0, float velocity = 0.8f);
    void note(int patch, double beat, double beats, double pitch, float velocity = 0.8f, float pan = 0.0f);

    // Close block chords between `low` and `high` that move little.
    void pads(int patch, const std::vector<Chord>& chords, int low, int high, float velocity = 0.6f);
    // Chord tones spread over `octaves` from `low`, stepped through `pattern`
    // (indexes, space separated) every `step` beats.
    void arpeggio(int patch, const std::vector<Chord>& chords, const std::string& pattern, double step,
                  int low, int octaves = 2, float velocity = 0.6f);
    // A bass grid per chord: R root, 3 5 7 chord tones, 8 octave, b the slash
    // bass, '-' holds, '.' rests; each character lasts `step` beats and the
    // grid restarts with every chord.
    void bass(int patch, const std::vector<Chord>& chords, const std::string& grid, double step, int octave,
              float velocity = 0.75f);
    // Chord stabs on the 'x' (loud 'X', soft 'o') of a grid, '-' holds.
    void comp(int patch, const std::vector<Chord>& chords, const std::string& grid, double step, int low,
              int high, float velocity = 0.6f);
    // A drum line: 'x' hit, 'X' accent, 'o' ghost, '.' rest, one character
    // per `step` beats, repeated `times`.
    void drums(int patch, double beat, const std::string& grid, double step, int times = 1,
               double pitch = 60.0, float velocity = 0.8f);
};

// Parses chords starting at `beat`.
std::vector<Chord> chords(double beat, const std::string& text);
// The same progression with only root, third (or suspension) and fifth:
// sevenths in a sustained pad rub against the tunes above.
std::vector<Chord> triads(std::vector<Chord> progression);
// Root and fifth only, as a distorted guitar plays them.
std::vector<Chord> fifths(std::vector<Chord> progression);

} // namespace SoundGen
} // namespace Marevane
