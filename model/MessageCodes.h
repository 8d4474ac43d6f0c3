// The message codes the battle passes between its turn manager, sides and
// ships, by name. Their words for the player are in the message texts.
#pragma once

#include "model/Types.h"

namespace Marevane {

constexpr MessageCode TimeUp = 10;
constexpr MessageCode EntryRequest = 14;
constexpr MessageCode BattleStarts = 45;
constexpr MessageCode BattleEnds = 47;
constexpr MessageCode TurnStarts = 51;
constexpr MessageCode TurnEnds = 52;
constexpr MessageCode CommandSent = 53;
constexpr MessageCode RefreshDisplay = 56;
constexpr MessageCode TurnState = 58;
constexpr MessageCode ReportFinished = 67;
constexpr MessageCode StartConfirmed = 68;
constexpr MessageCode EndOfTurnCheck = 69;
constexpr MessageCode ShipsRefreshed = 70;
constexpr MessageCode TurnEndState = 71;
constexpr MessageCode AfterAction = 73;
// A side's ships close their part of the action (after AfterAction).
constexpr MessageCode ShipTurnEnds = 74;
constexpr MessageCode CommandSuccess = 87;
constexpr MessageCode NothingToCommand = 89;
constexpr MessageCode InvalidDisconnection = 124;

// The codes that close a side's turn: time up, a command carried out, or
// nothing left to command.
constexpr bool IsResultCode(MessageCode code)
{
    return code == TimeUp || code == CommandSuccess || code == NothingToCommand;
}

} // namespace Marevane
