#include "Score.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

namespace Marevane {
namespace SoundGen {

namespace {

std::vector<std::string> split(const std::string& text)
{
    std::string spaced = text;
    std::replace(spaced.begin(), spaced.end(), '|', ' ');
    std::istringstream stream(spaced);
    std::vector<std::string> tokens;
    std::string token;
    while (stream >> token) {
        tokens.push_back(token);
    }
    return tokens;
}

[[noreturn]] void fail(const std::string& what, const std::string& token)
{
    throw std::invalid_argument(what + ": \"" + token + "\"");
}

// Letter and accidentals at `at`; gives the pitch class, moves `at` on.
int pitchClass(const std::string& token, std::size_t& at)
{
    static const int kLetters[] = {9, 11, 0, 2, 4, 5, 7}; // a..g
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(token[at])));
    if (letter < 'a' || letter > 'g') fail("no note letter", token);
    int pc = kLetters[letter - 'a'];
    ++at;
    while (at < token.size() && (token[at] == '#' || token[at] == 'b')) {
        pc += token[at] == '#' ? 1 : -1;
        ++at;
    }
    return (pc + 12) % 12;
}

// ":4." style length at `at`, or `last` when there is none.
double length(const std::string& token, std::size_t& at, double last)
{
    if (at >= token.size() || token[at] != ':') return last;
    ++at;
    std::size_t end = at;
    while (end < token.size() && std::isdigit(static_cast<unsigned char>(token[end]))) ++end;
    if (end == at) fail("no length", token);
    const int denominator = std::atoi(token.substr(at, end - at).c_str());
    if (denominator <= 0) fail("bad length", token);
    double beats = 4.0 / denominator;
    at = end;
    while (at < token.size() && (token[at] == '.' || token[at] == 't')) {
        beats *= token[at] == '.' ? 1.5 : 2.0 / 3.0;
        ++at;
    }
    return beats;
}

std::vector<int> quality(const std::string& name, const std::string& token)
{
    static const std::map<std::string, std::vector<int>> kQualities = {
        {"", {0, 4, 7}},
        {"m", {0, 3, 7}},
        {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}},
        {"dim", {0, 3, 6}},
        {"dim7", {0, 3, 6, 9}},
        {"m7b5", {0, 3, 6, 10}},
        {"aug", {0, 4, 8}},
        {"sus4", {0, 5, 7}},
        {"sus2", {0, 2, 7}},
        {"6", {0, 4, 7, 9}},
        {"m6", {0, 3, 7, 9}},
        {"9", {0, 4, 7, 10, 14}},
        {"add9", {0, 4, 7, 14}},
        {"m9", {0, 3, 7, 10, 14}},
        {"maj9", {0, 4, 7, 11, 14}},
        {"7sus4", {0, 5, 7, 10}},
        {"5", {0, 7}},
        {"7b9", {0, 4, 7, 10, 13}},
        {"madd9", {0, 3, 7, 14}},
    };
    auto it = kQualities.find(name);
    if (it == kQualities.end()) fail("unknown chord", token);
    return it->second;
}

// The chord's tones as pitches in [low, high], the closest to the previous voicing.
std::vector<int> voicing(const Chord& chord, int low, int high, const std::vector<int>& previous)
{
    std::vector<int> classes;
    for (int tone : chord.tones) {
        if (chord.tones.size() > 4 && tone == 7) continue; // a full chord drops its fifth first
        classes.push_back((chord.root + tone) % 12);
    }
    std::vector<int> best;
    double bestCost = 1e30;
    for (int bottom = low; bottom < low + 12; ++bottom) {
        // Stack the classes upwards from the first one at or above `bottom`.
        for (std::size_t rotation = 0; rotation < classes.size(); ++rotation) {
            std::vector<int> pitches;
            int at = bottom;
            for (std::size_t k = 0; k < classes.size(); ++k) {
                const int pc = classes[(rotation + k) % classes.size()];
                while (((at % 12) + 12) % 12 != pc) ++at;
                pitches.push_back(at);
                ++at;
            }
            if (pitches.front() != bottom || pitches.back() > high) continue;
            // A semitone inside a close chord grinds; spread such tones apart.
            double cost = 0.0;
            for (std::size_t k = 1; k < pitches.size(); ++k) {
                if (pitches[k] - pitches[k - 1] == 1) cost += 100.0;
            }
            if (previous.empty()) {
                cost += std::abs((pitches.front() + pitches.back()) * 0.5 - (low + high) * 0.5);
            } else {
                for (std::size_t k = 0; k < pitches.size(); ++k) {
                    cost += std::abs(pitches[k] - previous[std::min(k, previous.size() - 1)]);
                }
            }
            if (cost < bestCost) {
                bestCost = cost;
                best = pitches;
            }
        }
    }
    if (best.empty()) throw std::invalid_argument("no voicing fits the range");
    return best;
}

float gridVelocity(char symbol, float velocity)
{
    switch (symbol) {
    case 'X':
        return std::min(1.0f, velocity * 1.25f);
    case 'o':
        return velocity * 0.5f;
    default:
        return velocity;
    }
}

} // namespace

double Score::melody(int patch, double beat, const std::string& text, int transpose, float velocity)
{
    int octave = 4;
    double last = 1.0;
    bool tie = false;
    std::vector<std::size_t> tied;
    std::vector<double> chord;
    bool inChord = false;
    for (const std::string& raw : split(text)) {
        std::string token = raw;
        if (token[0] == '@') {
            velocity = std::atoi(token.c_str() + 1) / 100.0f;
            continue;
        }
        bool accent = false;
        if (token[0] == '>') {
            accent = true;
            token.erase(0, 1);
        }
        if (token[0] == '[') {
            inChord = true;
            chord.clear();
            token.erase(0, 1);
            if (token.empty()) continue;
        }
        std::size_t at = 0;
        bool rest = false;
        double pitch = 0.0;
        if (token[0] == 'r') {
            rest = true;
            at = 1;
        } else {
            const int pc = pitchClass(token, at);
            if (at < token.size() && std::isdigit(static_cast<unsigned char>(token[at]))) {
                octave = token[at] - '0';
                ++at;
            }
            pitch = (octave + 1) * 12 + pc + transpose;
        }
        const bool closes = at < token.size() && token[at] == ']';
        if (closes) ++at;
        if (inChord && !closes) {
            if (at != token.size()) fail("a chord note takes no length", raw);
            chord.push_back(pitch);
            continue;
        }
        if (inChord) chord.push_back(pitch);
        const double beats = length(token, at, last);
        last = beats;
        bool shortNote = false;
        bool tieNext = false;
        for (; at < token.size(); ++at) {
            if (token[at] == '\'')
                shortNote = true;
            else if (token[at] == '~')
                tieNext = true;
            else
                fail("unexpected text", raw);
        }
        const std::vector<double> pitches = inChord ? chord : std::vector<double>{pitch};
        inChord = false;
        if (!rest) {
            std::vector<std::size_t> sounding;
            for (double p : pitches) {
                std::size_t index = notes.size();
                if (tie) {
                    for (std::size_t earlier : tied) {
                        if (notes[earlier].pitch == p) index = earlier;
                    }
                }
                if (index < notes.size()) {
                    notes[index].beats += beats;
                } else {
                    notes.push_back({beat, shortNote ? beats * 0.5 : beats, p,
                                     std::min(1.0f, accent ? velocity + 0.15f : velocity), patch});
                }
                sounding.push_back(index);
            }
            tied = sounding;
        }
        tie = tieNext && !rest;
        beat += beats;
    }
    return beat;
}

void Score::note(int patch, double beat, double beats, double pitch, float velocity, float pan)
{
    notes.push_back({beat, beats, pitch, velocity, patch, pan});
}

void Score::pads(int patch, const std::vector<Chord>& chords, int low, int high, float velocity)
{
    std::vector<int> previous;
    for (const Chord& chord : chords) {
        previous = voicing(chord, low, high, previous);
        for (int pitch : previous) note(patch, chord.beat, chord.beats, pitch, velocity);
    }
}

void Score::arpeggio(int patch, const std::vector<Chord>& chords, const std::string& pattern, double step,
                     int low, int octaves, float velocity)
{
    const std::vector<std::string> steps = split(pattern);
    for (const Chord& chord : chords) {
        std::vector<int> pitches;
        for (int octave = 0; octave < octaves + 1; ++octave) {
            for (int tone : chord.tones) {
                int pitch = chord.root + (tone % 12) + 12 * octave;
                while (pitch < low) pitch += 12;
                pitches.push_back(pitch);
            }
        }
        std::sort(pitches.begin(), pitches.end());
        pitches.erase(std::unique(pitches.begin(), pitches.end()), pitches.end());
        int k = 0;
        for (double beat = chord.beat; beat < chord.beat + chord.beats - 1e-9; beat += step, ++k) {
            const std::string& symbol = steps[static_cast<std::size_t>(k) % steps.size()];
            if (symbol == ".") continue;
            const std::size_t index = static_cast<std::size_t>(std::atoi(symbol.c_str()));
            note(patch, beat, step, pitches[std::min(index, pitches.size() - 1)],
                 velocity * (k % 2 ? 0.85f : 1.0f));
        }
    }
}

void Score::bass(int patch, const std::vector<Chord>& chords, const std::string& grid, double step,
                 int octave, float velocity)
{
    for (const Chord& chord : chords) {
        const int base = (octave + 1) * 12 + chord.root;
        int k = 0;
        bool holding = false;
        std::size_t holdingIndex = 0;
        for (double beat = chord.beat; beat < chord.beat + chord.beats - 1e-9; beat += step, ++k) {
            const char symbol = grid[static_cast<std::size_t>(k) % grid.size()];
            if (symbol == '-') {
                if (holding) notes[holdingIndex].beats += step;
                continue;
            }
            holding = false;
            if (symbol == '.') continue;
            int pitch = base;
            switch (symbol) {
            case '3':
                pitch = base + chord.tones[1];
                break;
            case '5':
                pitch = base + 7;
                break;
            case '7':
                pitch = base + (chord.tones.size() > 3 ? chord.tones[3] : 12);
                break;
            case '8':
                pitch = base + 12;
                break;
            case 'b':
                pitch = base + ((chord.bass - chord.root + 12) % 12);
                break;
            case 'R':
                pitch = base + (chord.bass != chord.root ? (chord.bass - chord.root + 12) % 12 : 0);
                if (pitch - base > 6) pitch -= 12;
                break;
            default:
                throw std::invalid_argument(std::string("bad bass symbol ") + symbol);
            }
            note(patch, beat, step, pitch, velocity * (k % 2 ? 0.9f : 1.0f));
            holding = true;
            holdingIndex = notes.size() - 1;
        }
    }
}

void Score::comp(int patch, const std::vector<Chord>& chords, const std::string& grid, double step, int low,
                 int high, float velocity)
{
    std::vector<int> previous;
    for (const Chord& chord : chords) {
        previous = voicing(chord, low, high, previous);
        int k = 0;
        std::vector<std::size_t> holding;
        for (double beat = chord.beat; beat < chord.beat + chord.beats - 1e-9; beat += step, ++k) {
            const char symbol = grid[static_cast<std::size_t>(k) % grid.size()];
            if (symbol == '-') {
                for (std::size_t index : holding) notes[index].beats += step;
                continue;
            }
            holding.clear();
            if (symbol == '.') continue;
            for (int pitch : previous) {
                note(patch, beat, step, pitch, gridVelocity(symbol, velocity));
                holding.push_back(notes.size() - 1);
            }
        }
    }
}

void Score::drums(int patch, double beat, const std::string& grid, double step, int times, double pitch,
                  float velocity)
{
    std::string steps;
    for (char c : grid) {
        if (c != ' ' && c != '|') steps += c;
    }
    for (int t = 0; t < times; ++t) {
        for (char symbol : steps) {
            if (symbol != '.') note(patch, beat, step, pitch, gridVelocity(symbol, velocity));
            beat += step;
        }
    }
}

std::vector<Chord> chords(double beat, const std::string& text)
{
    std::vector<Chord> result;
    double last = 4.0;
    for (const std::string& token : split(text)) {
        std::size_t at = 0;
        Chord chord;
        chord.root = pitchClass(token, at);
        const std::size_t colon = token.find(':', at);
        std::string name = token.substr(at, colon == std::string::npos ? std::string::npos : colon - at);
        chord.bass = chord.root;
        const std::size_t slash = name.find('/');
        if (slash != std::string::npos) {
            std::size_t bassAt = 0;
            const std::string bassName = name.substr(slash + 1);
            chord.bass = pitchClass(bassName, bassAt);
            name = name.substr(0, slash);
        }
        chord.tones = quality(name, token);
        std::size_t lengthAt = colon == std::string::npos ? token.size() : colon;
        chord.beats = length(token, lengthAt, last);
        last = chord.beats;
        chord.beat = beat;
        beat += chord.beats;
        result.push_back(chord);
    }
    return result;
}

std::vector<Chord> triads(std::vector<Chord> progression)
{
    for (Chord& chord : progression) {
        std::vector<int> kept;
        for (int tone : chord.tones) {
            if (tone <= 8) kept.push_back(tone);
        }
        chord.tones = kept;
    }
    return progression;
}

std::vector<Chord> fifths(std::vector<Chord> progression)
{
    for (Chord& chord : progression) chord.tones = {0, 7};
    return progression;
}

} // namespace SoundGen
} // namespace Marevane
