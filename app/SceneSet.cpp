#include "app/SceneSet.h"

#include <stdexcept>

namespace Marevane {

CGameScene*& SceneSet::At(SceneSlot slot)
{
    switch (slot) {
    case SceneSlot::Title:
        return pTitleScene;
    case SceneSlot::GameMap:
        return pGameMapScene;
    case SceneSlot::BattleResult:
        return pBattleResultScene;
    case SceneSlot::StatusDetail:
        return pStatusDetailScene;
    case SceneSlot::PlayerStatus:
        return pPlayerStatusScene;
    case SceneSlot::ShipSelection:
        return pShipSelectionScene;
    case SceneSlot::Message:
        return pMessageScene;
    case SceneSlot::Help:
        return pHelpScene;
    case SceneSlot::RuleSettings:
        return pRuleSettingsScene;
    case SceneSlot::PlayerSettings:
        return pPlayerSettingsScene;
    case SceneSlot::NetworkConnection:
        return pNetworkConnectionScene;
    case SceneSlot::TagTeamSelection:
        return pTagTeamSelectionScene;
    case SceneSlot::ComputerLevel:
        return pComputerLevelScene;
    case SceneSlot::ArcadeStage:
        return pArcadeStageScene;
    case SceneSlot::GameOver:
        return pGameOverScene;
    case SceneSlot::Credits:
        return pCreditsScene;
    case SceneSlot::SystemConfig:
        return pSystemConfigScene;
    }
    throw std::out_of_range("invalid unordered_map<K, T> key");
}

std::vector<CGameScene*> SceneSet::Scenes() const
{
    std::vector<CGameScene*> scenes;
    for (CGameScene* scene :
         {pGameMapScene, pStatusDetailScene, pPlayerSettingsScene, pNetworkConnectionScene,
          pTagTeamSelectionScene, pComputerLevelScene, pArcadeStageScene, pBattleResultScene, pTitleScene,
          pGameOverScene, pCreditsScene, pSystemConfigScene, pPlayerStatusScene, pShipSelectionScene,
          pRuleSettingsScene, pMessageScene, pHelpScene}) {
        if (scene != nullptr) scenes.push_back(scene);
    }
    return scenes;
}

} // namespace Marevane
