#include "screens/battle/PaneMakers.h"

#include "app/MessageView.h"
#include "model/GameEdit.h"
#include "screens/battle/HelpScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/ShipSelectionScene.h"
#include "screens/battle/StatusDetailScene.h"

namespace Marevane {

namespace {

// The message pane's area when the pool gives none.
const QRect DefaultMessageArea(0, 0, 416, 220);

} // namespace

void AddPaneSceneMakers(SceneMakers& makers)
{
    makers[SceneSlot::PlayerStatus] =
        SceneMaker{[](const SceneInputs&) -> CGameScene* { return new CPlayerStatusScene; },
                   [](CGameScene* scene) -> CGameView* { return new CSideView(scene); }};
    makers[SceneSlot::ShipSelection] =
        SceneMaker{[](const SceneInputs& inputs) -> CGameScene* {
                       return new CShipSelectionScene(
                           inputs.pGameEdit != nullptr ? &inputs.pGameEdit->GetInfo() : nullptr);
                   },
                   [](CGameScene* scene) -> CGameView* { return new CSideView(scene); }};
    makers[SceneSlot::StatusDetail] =
        SceneMaker{[](const SceneInputs&) -> CGameScene* { return new CStatusDetailScene; },
                   [](CGameScene* scene) -> CGameView* { return new CMessageView(scene); }};
    makers[SceneSlot::Message] =
        SceneMaker{[](const SceneInputs& inputs) -> CGameScene* {
                       const QRect area = inputs.rect.isValid() ? inputs.rect : DefaultMessageArea;
                       return new CMessageScene(area.x(), area.y(), area.size());
                   },
                   [](CGameScene* scene) -> CGameView* { return new CMessageView(scene); }};
    makers[SceneSlot::Help] =
        SceneMaker{[](const SceneInputs&) -> CGameScene* { return new CHelpScene; },
                   [](CGameScene* scene) -> CGameView* { return new CHelpView(scene); }};
}

} // namespace Marevane
