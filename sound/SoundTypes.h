// The sound codes and the value records of the sound tables. Kept free of Qt
// and of the engine so that any layer may name a track or an effect.
#pragma once

#include <cstdint>
#include <string>

namespace Marevane {
namespace Sound {

// A music track; 0 plays nothing.
enum BgmCode : std::uint32_t {
    BgmNone = 0,
    BgmTheme = 1,
    BgmRelaxation = 2,
    BgmSubmarine = 3,
    BgmRelaxationAgain = 4, // the same file and title as 2
    BgmBattlefrontSamba = 5,
    BgmMissingSea = 6,
    BgmDeathMatch = 7,
    BgmBlueAnthem = 8,
    BgmSymphonyFinale = 9,
    BgmWin = 10,
    BgmLoss = 11,
};

// A group of tracks for a random choice, 0 to 5.
enum BgmType : std::uint32_t {
    BgmTypeTitle = 0,
    BgmTypeBattle = 1,
    BgmTypeQuiet = 2,
    BgmTypeResult = 3,
    BgmTypeRelaxation = 4,
    BgmTypeCredits = 5,
};

// A sound effect; 0 plays nothing.
enum SeCode : std::uint32_t {
    SeNone = 0,
    SeDefaultSelected = 1,
    SeDefaultPointed = 2,
    SeDefaultCanceled = 3,
    SeTitleSelected = 4,
    SeTitleSubSelected = 5,
    SeNextStep = 6,
    SeWindowOpened = 7,
    SeTimer = 8,
    SeAlarmTimer = 9,
    SeAttack = 10,
    SeDamage = 11,
    SeSinking = 12,
    SeTorpedo = 13,
    SeSurprise = 14,
    SeWhistle = 15,
};

// The sample bank that holds an effect.
enum SeType : std::uint32_t {
    SeTypeBattle = 0,
    SeTypeSystem = 1,
};

// Loop points in sample frames; an end of -1 is the end of the sound.
struct LoopPos {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

inline bool operator==(const LoopPos& a, const LoopPos& b)
{
    return a.start == b.start && a.end == b.end;
}
inline bool operator!=(const LoopPos& a, const LoopPos& b)
{
    return !(a == b);
}

// Where an effect lives: its bank and the cue name inside that bank.
struct SeProperty {
    SeType type = SeTypeBattle;
    std::string cue;
};

inline bool operator==(const SeProperty& a, const SeProperty& b)
{
    return a.type == b.type && a.cue == b.cue;
}
inline bool operator!=(const SeProperty& a, const SeProperty& b)
{
    return !(a == b);
}

// How long and how far the music is lowered while an effect sounds; a
// negative duration stands for the effect's own length.
struct DuckingParam {
    std::int32_t milliseconds = 0;
    float rate = 0.0f;
};

inline bool operator==(const DuckingParam& a, const DuckingParam& b)
{
    return a.milliseconds == b.milliseconds && a.rate == b.rate;
}
inline bool operator!=(const DuckingParam& a, const DuckingParam& b)
{
    return !(a == b);
}

} // namespace Sound
} // namespace Marevane
