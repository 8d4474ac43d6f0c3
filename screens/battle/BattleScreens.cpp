#include "screens/battle/BattleScreens.h"

#include "app/SequenceMakers.h"
#include "screens/battle/BattleEndSequence.h"
#include "screens/battle/BattleResultScene.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/FleetFormationSequence.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/PaneMakers.h"

namespace Marevane::Battle {

void AddSceneMakers(SceneMakers& makers)
{
    makers[SceneSlot::GameMap] = SceneMaker{
        [](const SceneInputs& inputs) -> CGameScene* { return new CGameMapScene(inputs.pBoard); },
        [](CGameScene* scene) -> CGameView* { return new CGameMapView(static_cast<CGameMapScene*>(scene)); }};
    AddBattleResultSceneMaker(makers);
    AddPaneSceneMakers(makers);
}

void RegisterSequences()
{
    RegisterFleetFormationSequence();
    SetSequenceMaker(SequenceType::Battle, [](const SequenceArgs&) { return new CBattleSequence; });
    // The battle end is made by the battle sequence, whose turn manager it reads.
    SetSequenceMaker(SequenceType::BattleEnd, [](const SequenceArgs& args) -> CGameSequence* {
        auto* battle = qobject_cast<CBattleSequence*>(args.pCaller);
        return new CBattleEndSequence(args.pPrevious, battle != nullptr ? battle->GetTurnManager() : nullptr);
    });
}

void AddScreens(GameScreens& screens)
{
    AddSceneMakers(screens.scenes);
    RegisterSequences();
}

} // namespace Marevane::Battle
