// What the battle sequences ask of the battle map scene beyond its
// drawing: the battle codes it shows, the turn manager it and its bars
// read, the end-of-turn prompt time and the command menu's wiring to the
// side panes.
#pragma once

#include "model/Types.h"

namespace Marevane {

class CGameMapScene;
class CHelpScene;
class CPlayerStatusScene;
class CTurnManager;
struct ShipProfile;

namespace BattleMap {

// The map shows a battle code; with a profile, one ship's result line.
void Update(CGameMapScene* pMap, MessageCode code);
void Update(CGameMapScene* pMap, MessageCode code, const ShipProfile* pShipProfile);
// The map and its turn information bar follow this manager (none: no battle).
void SetTurnManager(CGameMapScene* pMap, CTurnManager* pTurnManager);
// The end-of-turn prompt of this battle: halved in a death match.
void SetTurnEndPromptTime(CGameMapScene* pMap, bool isDeathMatch);
// The command menu marks its ship in the side pane and explains its
// entries in the help pane; a card chosen in the side pane opens the menu.
void ConnectCommandMenu(CGameMapScene* pMap, CPlayerStatusScene* pStatus, CHelpScene* pHelp);

} // namespace BattleMap
} // namespace Marevane
