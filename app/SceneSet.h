// The scenes of one sequence, as the scene pool hands them over under
// module key 8. Each scene knows its view.
#pragma once

#include "app/GameScene.h"

#include <array>
#include <vector>

namespace Marevane {

// The pool's scene slots, in the pool's order.
enum class SceneSlot : int {
    Title,
    GameMap,
    BattleResult,
    StatusDetail,
    PlayerStatus,
    ShipSelection,
    Message,
    Help,
    RuleSettings,
    PlayerSettings,
    NetworkConnection,
    TagTeamSelection,
    ComputerLevel,
    ArcadeStage,
    GameOver,
    Credits,
    SystemConfig,
};
inline constexpr int SceneSlotCount = 17;

struct SceneSet {
    int type = -1; // the sequence type
    CGameScene* pGameMapScene = nullptr;
    CGameScene* pStatusDetailScene = nullptr;
    CGameScene* pPlayerSettingsScene = nullptr;
    CGameScene* pNetworkConnectionScene = nullptr;
    CGameScene* pTagTeamSelectionScene = nullptr;
    CGameScene* pComputerLevelScene = nullptr;
    CGameScene* pArcadeStageScene = nullptr;
    CGameScene* pBattleResultScene = nullptr;
    CGameScene* pTitleScene = nullptr;
    CGameScene* pGameOverScene = nullptr;
    CGameScene* pCreditsScene = nullptr;
    CGameScene* pSystemConfigScene = nullptr;
    CGameScene* pPlayerStatusScene = nullptr;
    CGameScene* pShipSelectionScene = nullptr;
    CGameScene* pRuleSettingsScene = nullptr;
    CGameScene* pMessageScene = nullptr;
    CGameScene* pHelpScene = nullptr;

    CGameScene*& At(SceneSlot slot);
    CGameScene* Get(SceneSlot slot) const { return const_cast<SceneSet*>(this)->At(slot); }
    // The scene as the screen's own class; none when the slot holds another.
    template <class Scene> Scene* Get(SceneSlot slot) const { return qobject_cast<Scene*>(Get(slot)); }
    // The scenes present, in the record's order.
    std::vector<CGameScene*> Scenes() const;
};

// The same record under the name the screens give it.
using UIComponent = SceneSet;

} // namespace Marevane
