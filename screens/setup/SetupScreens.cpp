#include "screens/setup/SetupScreens.h"

#include "app/MessageView.h"
#include "app/SequenceMakers.h"
#include "screens/setup/ArcadeStageScreen.h"
#include "screens/setup/GameOverScreen.h"
#include "screens/setup/NetworkConnectionSequence.h"
#include "screens/setup/PlayerCreationScreen.h"
#include "screens/setup/PlayerSettingsScreen.h"
#include "screens/setup/RuleSettingsScreen.h"
#include "screens/setup/SystemConfigScreen.h"
#include "screens/setup/TagTeamSelectionSequence.h"
#include "screens/setup/TitleScreen.h"

namespace Marevane::Setup {

namespace {

template <class Scene> SceneMaker MainViewMaker()
{
    SceneMaker maker;
    maker.createScene = [](const SceneInputs&) -> CGameScene* { return new Scene; };
    maker.createView = [](CGameScene* scene) -> CGameView* {
        auto* view = new CMainView(scene);
        view->setMinimumSize(720, 600);
        return view;
    };
    return maker;
}

} // namespace

SceneMakers MakeSceneMakers()
{
    SceneMakers makers;
    makers[SceneSlot::Title].createScene = [](const SceneInputs& inputs) -> CGameScene* {
        return new CTitleScene(inputs.pGameEdit);
    };
    makers[SceneSlot::Title].createView = [](CGameScene* scene) -> CGameView* {
        return new CTitleView(static_cast<CTitleScene*>(scene));
    };
    makers[SceneSlot::PlayerSettings].createScene = [](const SceneInputs&) -> CGameScene* {
        return new CPlayerSettingsScene;
    };
    makers[SceneSlot::PlayerSettings].createView = [](CGameScene* scene) -> CGameView* {
        return new CPlayerSettingsView(scene);
    };
    makers[SceneSlot::RuleSettings].createScene = [](const SceneInputs& inputs) -> CGameScene* {
        return new CRuleSettingsScene(inputs.pGameEdit);
    };
    makers[SceneSlot::RuleSettings].createView = [](CGameScene* scene) -> CGameView* {
        return new CRuleSettingsView(scene);
    };
    makers[SceneSlot::NetworkConnection].createScene = [](const SceneInputs&) -> CGameScene* {
        return new CNetworkConnectionScene;
    };
    makers[SceneSlot::NetworkConnection].createView = [](CGameScene* scene) -> CGameView* {
        return new CNetworkConnectionView(scene);
    };
    makers[SceneSlot::SystemConfig].createScene = [](const SceneInputs&) -> CGameScene* {
        return new CSystemConfigScene;
    };
    makers[SceneSlot::SystemConfig].createView = [](CGameScene* scene) -> CGameView* {
        auto* view = new CMessageView(scene);
        view->setMinimumSize(720, 380);
        return view;
    };
    makers[SceneSlot::TagTeamSelection].createScene = [](const SceneInputs&) -> CGameScene* {
        return new CTagTeamSelectionScene;
    };
    makers[SceneSlot::TagTeamSelection].createView = [](CGameScene* scene) -> CGameView* {
        return new CTagTeamSelectionView(scene);
    };
    makers[SceneSlot::ComputerLevel] = MainViewMaker<CComputerLevelScene>();
    makers[SceneSlot::ArcadeStage] = MainViewMaker<CArcadeStageScene>();
    makers[SceneSlot::GameOver] = MainViewMaker<CGameOverScene>();
    makers[SceneSlot::Credits] = MainViewMaker<CCreditsScene>();
    return makers;
}

void RegisterSequences()
{
    SetSequenceMaker(SequenceType::Title, [](const SequenceArgs&) { return new CTitleSequence; });
    SetSequenceMaker(SequenceType::PlayerSettings,
                     [](const SequenceArgs&) { return new CPlayerSettingsSequence; });
    SetSequenceMaker(SequenceType::RuleSettings,
                     [](const SequenceArgs&) { return new CRuleSettingsSequence; });
    SetSequenceMaker(SequenceType::NetworkConnection, [](const SequenceArgs& args) {
        return new CNetworkConnectionSequence(args.pPrevious, args.pCaller);
    });
    SetSequenceMaker(SequenceType::TagTeamSelection,
                     [](const SequenceArgs&) { return new CTagTeamSelectionSequence; });
    SetSequenceMaker(SequenceType::PlayerCreation,
                     [](const SequenceArgs&) { return new CPlayerCreationSequence; });
    SetSequenceMaker(SequenceType::ArcadeStage, [](const SequenceArgs&) { return new CArcadeStageSequence; });
    SetSequenceMaker(SequenceType::GameOver,
                     [](const SequenceArgs&) { return new CGameOverSequence(SequenceType::GameOver); });
    SetSequenceMaker(SequenceType::Credits,
                     [](const SequenceArgs&) { return new CGameOverSequence(SequenceType::Credits); });
    SetSequenceMaker(SequenceType::SystemConfig,
                     [](const SequenceArgs&) { return CSystemConfigSequence::GetInstance(); });
}

GameScreens MakeScreens()
{
    RegisterSequences();
    GameScreens screens;
    screens.createTitle = [](CSoundControl*) { return new CTitleSequence; };
    screens.systemConfig = [] { return CSystemConfigSequence::GetInstance(); };
    screens.scenes = MakeSceneMakers();
    return screens;
}

} // namespace Marevane::Setup
