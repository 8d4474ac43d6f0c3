#include "screens/battle/BattleSequence.h"

#include "app/GameView.h"
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Logger.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/Timer.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "net/AudienceManager.h"
#include "screens/battle/BattleSequenceOnClient.h"
#include "screens/battle/BattleSequenceOnServer.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/HelpScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/TimerBar.h"
#include "session/GUITurnManager.h"

#include <QDebug>
#include <QScrollBar>

#include <algorithm>
#include <exception>

namespace Marevane {

namespace {

// The message pane's page limit of a machine that only watches.
constexpr int WatcherPageLimit = 999;
constexpr Sound::BgmCode DeathMatchMusic = Sound::BgmCode(7);

} // namespace

bool IsNetworkClient(const CUnit* pUnit)
{
    return pUnit != nullptr && pUnit->GetProfile().OriginFlag == HostClient;
}

bool IsDeathMatch(std::uint32_t rule)
{
    const std::uint32_t bits = GameModeVersus | GameModeDeathMatch;
    return (rule & bits) == bits;
}

CBattleSequence::CBattleSequence()
    : CGameSequence(SequenceType::Battle), m_resultManager(&CResultManager::GetInstance())
{
    SetModuleFlags(Flags);
}

CBattleSequence::~CBattleSequence()
{
    // The side pane keeps the list's address; it must not outlive it.
    if (HasModule(SceneSetModule)) {
        if (auto* status = GetUIComponent()->Get<CPlayerStatusScene>(SceneSlot::PlayerStatus)) {
            if (status->GetPlayerList() == &m_playerList) status->SetUp(nullptr, nullptr);
        }
        if (auto* messages = GetUIComponent()->Get<CMessageScene>(SceneSlot::Message)) {
            if (m_logger != nullptr && messages->GetLogger() == &m_logger->GetImpl())
                messages->SetLogger(nullptr);
        }
        if (auto* map = GetUIComponent()->Get<CGameMapScene>(SceneSlot::GameMap)) {
            if (map->GetTurnManager() == m_turnManager.get()) {
                map->SetTurnManager(nullptr);
                if (map->GetTurnInfoBar() != nullptr) map->GetTurnInfoBar()->SetTurnManager(nullptr);
            }
        }
    }
    m_turnManager.reset();
    m_logger.reset();
}

bool CBattleSequence::IsBattleUndecided() const
{
    return m_turnManager != nullptr && !m_turnManager->IsGameDecided() && !m_turnManager->IsDisconnected();
}

void CBattleSequence::Init()
{
    CBoard* map = GetGameMap();
    CGameEdit* rules = GetGameEdit();
    CUnitFactory* units = GetModule<UnitFactoryModule>();
    CShipFactory* ships = GetShipFactory();
    CUnit* myUnit = GetMyUnit();

    if (myUnit != nullptr) myUnit->GetTimer().EnableCues(true);

    // A new log replaces the old only once nothing points at the old.
    m_turnManager.reset();
    m_logger = std::make_unique<CLogger>();

    if (IsNetworkClient(myUnit)) {
        m_turnManager = std::make_unique<CGUITurnManagerOnClient>(GetModule<TcpClientModule>());
    } else {
        m_turnManager = std::make_unique<CGUITurnManagerOnServer>(GetTcpServer());
        ChooseMusic();
        if (rules->GetInfo().IsTeamVersus) GetModule<AudienceManagerModule>()->SetSource(m_turnManager.get());
    }

    // The sides that play: a watcher has no turn, and a client builds its
    // sides from the host's list without the watchers.
    m_turnManager->SetUnits(units->GetPlayingUnits());
    m_turnManager->CreateArbiter(rules);
    m_turnManager->SetBoard(map);
    m_turnManager->SetUnitFactory(units);
    m_turnManager->SetShipFactory(ships);
    m_turnManager->SetResultManager(m_resultManager);
    m_turnManager->SetLogCache(m_logger.get());
    m_turnManager->Update(45);

    SetUpScenes();
    SetInstalled();
}

void CBattleSequence::ChooseMusic()
{
    CBoard* map = GetGameMap();
    if (map->GetMusicCode() != 0) return;
    if (IsDeathMatch(GetGameEdit()->GetInfo().Rule)) {
        map->SetMusicCode(DeathMatchMusic);
        return;
    }
    map->SetMusicCode(GetScreenSound()->ChooseBgm(Sound::BgmTypeBattle));
}

void CBattleSequence::SetUpScenes()
{
    UIComponent* scenes = GetUIComponent();
    auto* map = scenes->Get<CGameMapScene>(SceneSlot::GameMap);
    auto* status = scenes->Get<CPlayerStatusScene>(SceneSlot::PlayerStatus);
    auto* messages = scenes->Get<CMessageScene>(SceneSlot::Message);
    auto* help = scenes->Get<CHelpScene>(SceneSlot::Help);
    const GameEditInfo& rules = GetGameEdit()->GetInfo();

    if (map != nullptr) {
        map->SetTurnManager(m_turnManager.get());
        if (CTurnInfoBar* bar = map->GetTurnInfoBar()) {
            bar->SetTurnManager(m_turnManager.get());
            bar->Show();
        }
        map->SetShipFactory(GetShipFactory());
        map->SetUnits(m_turnManager->GetUnits());
        map->ResetInputForBattle(IsDeathMatch(rules.Rule));
    }
    m_playerList.clear();
    for (CUnit* unit : m_turnManager->GetUnits()) m_playerList.push_back(unit);
    if (status != nullptr) status->SetUp(&m_playerList, GetMyUnit());

    if (messages != nullptr) {
        messages->SetLogger(&m_logger->GetImpl());
        const bool isWatching = (map != nullptr && map->IsAudience()) ||
                                std::none_of(m_playerList.begin(), m_playerList.end(), [](const CUnit* unit) {
                                    return unit != nullptr && unit->GetUnitType() == UnitManual;
                                });
        const int limit =
            std::max(1, isWatching ? WatcherPageLimit : static_cast<int>(rules.ReserveFleetSize));
        messages->SetPageLimit(limit);
        if (messages->GetCurrentPage() > limit) messages->ShowLog(limit);
        messages->ShowPageControl();
        if (QGraphicsView* view = messages->GetView())
            view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }

    if (map != nullptr && status != nullptr) {
        connect(map, &CGameMapScene::ShipDataChanged, status, &CPlayerStatusScene::UpdateAll,
                Qt::UniqueConnection);
        connect(map, &CGameMapScene::CommandMenuOpened, status, &CPlayerStatusScene::SetShipSelected,
                Qt::UniqueConnection);
        connect(map, &CGameMapScene::CommandMenuClosed, status, &CPlayerStatusScene::ClearFocus,
                Qt::UniqueConnection);
        // Queued: the card's click ends before the menu opens.
        connect(status, &CPlayerStatusScene::ShipProfileSelected, map,
                static_cast<void (CGameMapScene::*)(const ShipProfile*)>(&CGameMapScene::OpenCommandMenu),
                static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection));
    }
    if (map != nullptr && help != nullptr) {
        connect(map, &CGameMapScene::CommandMenuHovered, help,
                static_cast<void (CHelpScene::*)(CommandCode, QString)>(&CHelpScene::Set),
                Qt::UniqueConnection);
    }
    if (status != nullptr && help != nullptr) {
        connect(status, &CSideScene::ItemHovered, help,
                static_cast<void (CHelpScene::*)(const CShipIcon*)>(&CHelpScene::Set), Qt::UniqueConnection);
    }
}

void CBattleSequence::Start()
{
    m_isHandedOn = false;
    if (IsBattleUndecided()) {
        hide();
        Update(PlayCode);
    } else {
        Update(EndCode);
    }
}

void CBattleSequence::Update(MessageCode code)
{
    if ((code != PlayCode && code != EndCode) || m_isHandedOn) return;
    m_isHandedOn = true;
    try {
        if (code == PlayCode)
            PushPlaySequence();
        else
            PushEndSequence();
    } catch (const std::exception& error) {
        qWarning() << "The battle could not go on:" << error.what();
    }
}

void CBattleSequence::PushPlaySequence()
{
    CGameSequence* play = nullptr;
    if (IsNetworkClient(GetMyUnit()))
        play = CreateClientPlaySequence();
    else
        play = new CBattleSequenceOnServer(this, m_turnManager.get());
    if (play == nullptr) {
        qWarning("The battle on this network client cannot be played");
        m_isHandedOn = false;
        Update(EndCode);
        return;
    }
    CSequenceManager::GetInstance()->Push(play);
}

CGameSequence* CBattleSequence::CreateClientPlaySequence()
{
    auto* turnManager = dynamic_cast<CGUITurnManagerOnClient*>(m_turnManager.get());
    if (turnManager == nullptr) return nullptr;
    return new CBattleSequenceOnClient(this, turnManager);
}

void CBattleSequence::PushEndSequence()
{
    CSequenceManager* manager = CSequenceManager::GetInstance();
    SequenceArgs args;
    args.pPrevious = manager->GetPrevSequence();
    args.pCaller = this;
    manager->Push(CreateSequence(SequenceType::BattleEnd, args));
}

void CBattleSequence::Show()
{
    if (HasModule(SceneSetModule)) {
        for (SceneSlot slot : {SceneSlot::GameMap, SceneSlot::PlayerStatus}) {
            CGameScene* scene = GetUIComponent()->Get(slot);
            if (scene != nullptr && scene->GetView() != nullptr) scene->GetView()->Show();
        }
    }
    show();
}

void CBattleSequence::Hide()
{
    hide();
}

} // namespace Marevane
