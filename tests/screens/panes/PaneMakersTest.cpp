// The scene pool lays the panes out with their own scenes and views.
#include "screens/battle/PaneMakers.h"
#include "app/GameSequence.h"
#include "app/MessageView.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "screens/battle/HelpScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/StatusDetailScene.h"
#include "tests/gui/QtTestSupport.h"

using namespace Marevane;

namespace {

TEST(PaneMakers, PoolMakesThePanesWithTheirViews)
{
    SceneMakers makers;
    AddPaneSceneMakers(makers);
    CBoard board;
    CGameEdit rules;
    CScenePool pool(&board, &rules, makers);
    for (int type = 0; type <= 13; ++type) pool.CreateScenes(type);
    EXPECT_NE(qobject_cast<CPlayerStatusScene*>(pool.GetScene(SceneSlot::PlayerStatus)), nullptr);
    EXPECT_NE(qobject_cast<CSideView*>(pool.GetView(SceneSlot::PlayerStatus)), nullptr);
    EXPECT_NE(qobject_cast<CStatusDetailScene*>(pool.GetScene(SceneSlot::StatusDetail)), nullptr);
    EXPECT_NE(qobject_cast<CHelpView*>(pool.GetView(SceneSlot::Help)), nullptr);
    auto* messages = qobject_cast<CMessageScene*>(pool.GetScene(SceneSlot::Message));
    ASSERT_NE(messages, nullptr);
    EXPECT_GT(messages->GetArea().width(), 0);
    EXPECT_NE(qobject_cast<CMessageView*>(pool.GetView(SceneSlot::Message)), nullptr);
}

} // namespace
