// The sequences the program is built with, by sequence type. The screens
// sit above app/ and beside each other, so a screen starts the next one
// through this table, which the program fills at start-up; a type without
// a maker gets a stand-in that names the screen to come. The screens also
// reach the sound control here.
#pragma once

#include <functional>

namespace Marevane {

class CGameSequence;
class CSoundControl;

namespace SequenceType {
inline constexpr int Title = 0;
inline constexpr int Battle = 1;
inline constexpr int BattleEnd = 2;
inline constexpr int StatusDetail = 3;
inline constexpr int FleetFormation = 4;
inline constexpr int PlayerSettings = 5;
inline constexpr int RuleSettings = 6;
inline constexpr int NetworkConnection = 7;
inline constexpr int TagTeamSelection = 8;
inline constexpr int PlayerCreation = 9;
inline constexpr int ArcadeStage = 10;
inline constexpr int GameOver = 11;
inline constexpr int Credits = 12;
inline constexpr int SystemConfig = 13;
} // namespace SequenceType

// What a new sequence may be made with: the network connection takes the
// player settings below the caller, and the caller.
struct SequenceArgs {
    CGameSequence* pPrevious = nullptr;
    CGameSequence* pCaller = nullptr;
};
using SequenceMaker = std::function<CGameSequence*(const SequenceArgs&)>;

// An empty maker removes the type's.
void SetSequenceMaker(int type, SequenceMaker maker);
void ClearSequenceMakers();
bool HasSequenceMaker(int type);
// A new sequence of the type, owned by the caller until it is handed to
// the sequence manager.
CGameSequence* CreateSequence(int type, const SequenceArgs& args = SequenceArgs());

// The sound control of the running game; a silent one while there is none.
CSoundControl* GetScreenSound();
void SetScreenSound(CSoundControl* pSound);

} // namespace Marevane
