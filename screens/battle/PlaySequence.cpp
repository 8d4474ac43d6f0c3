#include "screens/battle/PlaySequence.h"

#include "app/GameView.h"
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/ScreenTiming.h"
#include "gui/SoundFeedback.h"
#include "model/MessageCodes.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "model/texts/StatisticsTexts.h"
#include "net/NetworkMonitor.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/StatusDetailSequence.h"

#include <QCoreApplication>
#include <QDebug>

#include <exception>

namespace Marevane {

namespace {

constexpr Sound::SeCode WindowOpenedSound = Sound::SeCode(7);

} // namespace

CPlaySequence::CPlaySequence(CBattleSequence* pBattle, CTurnManager* pTurnManager, unsigned moduleFlags)
    : CGameSequence(SequenceType::Battle), m_battle(pBattle), m_turnManager(pTurnManager),
      m_resultManager(&CResultManager::GetInstance()),
      m_logger(pTurnManager != nullptr ? pTurnManager->GetLogCache() : nullptr)
{
    SetModuleFlags(moduleFlags);
    m_leaveTimer.setSingleShot(true);
    connect(&m_leaveTimer, &QTimer::timeout, this, [this] {
        if (m_battle == nullptr) return;
        try {
            CSequenceManager::GetInstance()->ReturnTo(m_battle.data());
        } catch (const std::exception& error) {
            qWarning() << "The battle could not be left:" << error.what();
        }
    });
}

CPlaySequence::~CPlaySequence()
{
    m_leaveTimer.stop();
    if (m_monitor != nullptr) m_monitor->Stop();
    m_report.reset();
    m_monitor.reset();
}

void CPlaySequence::Update(MessageCode code)
{
    // Once the battle is left, nothing more of it is played.
    if (m_isLeaving || m_turnManager == nullptr || !IsInstalled() || IsDropped(code)) return;
    try {
        Dispatch(code);
    } catch (const std::exception& error) {
        qWarning() << "The battle code" << code << "could not be handled:" << error.what();
    }
}

bool CPlaySequence::IsDropped(MessageCode) const
{
    return false;
}

CGameMapScene* CPlaySequence::GetMapScene() const
{
    return GetUIComponent()->Get<CGameMapScene>(SceneSlot::GameMap);
}

CPlayerStatusScene* CPlaySequence::GetStatusScene() const
{
    return GetUIComponent()->Get<CPlayerStatusScene>(SceneSlot::PlayerStatus);
}

CMessageScene* CPlaySequence::GetMessageScene() const
{
    return GetUIComponent()->Get<CMessageScene>(SceneSlot::Message);
}

void CPlaySequence::UpdateMap(MessageCode code, const ShipProfile* pShipProfile)
{
    if (CGameMapScene* map = GetMapScene()) map->Update(code, pShipProfile);
}

void CPlaySequence::WireCodes()
{
    CGameMapScene* map = GetMapScene();
    CPlayerStatusScene* status = GetStatusScene();
    m_report = std::make_unique<CCommandResultReport>(m_resultManager, m_logger);
    if (map != nullptr) {
        QPointer<CGameMapScene> mapScene(map);
        m_report->SetMapUpdater([mapScene](MessageCode code, const ShipProfile* profile) {
            if (mapScene != nullptr) mapScene->Update(code, profile);
        });
    }

    const auto update = static_cast<void (CGameSequence::*)(MessageCode)>(&CGameSequence::Update);
    if (map != nullptr) connect(map, &CGameScene::Notified, this, update, Qt::UniqueConnection);
    connect(m_report.get(),
            static_cast<void (CCommandResultReport::*)(MessageCode)>(&CCommandResultReport::Stopped), this,
            update, Qt::UniqueConnection);
    if (m_monitor != nullptr)
        connect(m_monitor.get(), &CNetworkMonitor::DataReceived, this, update, Qt::UniqueConnection);
    if (status != nullptr) {
        connect(status, &CPlayerStatusScene::PlayerDataSent, this, &CPlaySequence::OpenStatusDetail,
                Qt::UniqueConnection);
    }
}

void CPlaySequence::Start()
{
    m_report->SetUIComponent(GetUIComponent());
    Show();
}

void CPlaySequence::Show()
{
    UIComponent* scenes = GetUIComponent();
    for (SceneSlot slot : {SceneSlot::GameMap, SceneSlot::PlayerStatus, SceneSlot::Message}) {
        CGameScene* scene = scenes->Get(slot);
        if (scene != nullptr && scene->GetView() != nullptr) scene->GetView()->Show();
    }
    show();
    for (SceneSlot slot : {SceneSlot::GameMap, SceneSlot::Message}) {
        CGameScene* scene = scenes->Get(slot);
        if (scene != nullptr && scene->GetView() != nullptr)
            scene->AdjustViewPosition(scene->GetView()->size());
    }
}

void CPlaySequence::Hide()
{
    hide();
}

QString CPlaySequence::ResultLine(MessageCode code, const CUnit* pUnit, const QString& fallback)
{
    if (pUnit != nullptr && code == CommandSuccess)
        return QStringLiteral("\n") + GetPlayerName(*pUnit) +
               QCoreApplication::translate("Marevane::CBattleSequenceOnServer", " inputted a command.");
    if (pUnit != nullptr && code == NothingToCommand && pUnit->IsActive())
        return QStringLiteral("\n") + GetPlayerName(*pUnit) +
               QCoreApplication::translate("Marevane::CBattleSequenceOnServer",
                                           " was not able to input a command.");
    return fallback;
}

void CPlaySequence::OpenStatusDetail(CUnit* pUnit, CShip* pShip)
{
    try {
        CSequenceManager* manager = CSequenceManager::GetInstance();
        if (auto* detail = qobject_cast<CStatusDetailSequence*>(manager->GetCurrentSequence())) {
            detail->ResetData(pUnit, pShip);
            return;
        }
        if (m_isLeaving || m_turnManager == nullptr || m_turnManager->IsGameDecided()) return;
        PlaySoundEffect(WindowOpenedSound);
        manager->Push(new CStatusDetailSequence(m_turnManager, m_report.get(), pUnit, pShip));
    } catch (const std::exception& error) {
        qWarning() << "The status detail could not be opened:" << error.what();
    }
}

void CPlaySequence::Leave(int delay)
{
    if (m_isLeaving) return;
    m_isLeaving = true;
    m_leaveTimer.start(ScreenTiming::Scaled(delay));
}

void CPlaySequence::Disconnect()
{
    if (m_monitor != nullptr) m_monitor->Stop();
    m_report->Reset();
    m_turnManager->Update(InvalidDisconnection);
    UpdateMap(InvalidDisconnection);
    StopBattleSound();
    Leave(ScreenTiming::LeaveAfterFailure);
}

void CPlaySequence::StopBattleSound()
{
    CSoundControl* sound = GetScreenSound();
    sound->StopBgm();
    sound->UnloadSe(Sound::SeTypeBattle);
}

} // namespace Marevane
