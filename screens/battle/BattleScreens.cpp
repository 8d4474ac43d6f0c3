#include "screens/battle/BattleScreens.h"

#include "app/SequenceMakers.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/PaneMakers.h"

namespace Marevane::Battle {

void AddSceneMakers(SceneMakers& makers)
{
    makers[SceneSlot::GameMap] = SceneMaker{
        [](const SceneInputs& inputs) -> CGameScene* { return new CGameMapScene(inputs.pBoard); },
        [](CGameScene* scene) -> CGameView* { return new CGameMapView(static_cast<CGameMapScene*>(scene)); }};
    AddPaneSceneMakers(makers);
}

void RegisterSequences()
{
    SetSequenceMaker(SequenceType::Battle, [](const SequenceArgs&) { return new CBattleSequence; });
}

void AddScreens(GameScreens& screens)
{
    AddSceneMakers(screens.scenes);
    RegisterSequences();
}

} // namespace Marevane::Battle
