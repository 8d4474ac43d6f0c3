#include "screens/battle/StatusDetailSequence.h"

#include "app/GameView.h"
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "model/Ship.h"
#include "model/Unit.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/StatusDetailScene.h"

#include <exception>

namespace Marevane {

CStatusDetailSequence::CStatusDetailSequence(CTurnManager* pTurnManager, CCommandResultReport* pReport,
                                             const CUnit* pTargetUnit, const CShip* pTargetShip)
    : CGameSequence(SequenceType::StatusDetail), m_turnManager(pTurnManager), m_report(pReport),
      m_unit(pTargetUnit), m_ship(pTargetShip)
{
    setObjectName(QStringLiteral("StatusDetailSequence"));
    SetModuleFlags(Flags);
}

CStatusDetailSequence::~CStatusDetailSequence() = default;

bool CStatusDetailSequence::IsClosingCode(MessageCode code)
{
    switch (code) {
    case 10: // time up
    case CloseCode:
    case 47:  // battle end
    case 67:  // result report finished
    case 87:  // command success
    case 89:  // nothing to command
    case 124: // disconnection
        return true;
    default:
        return false;
    }
}

void CStatusDetailSequence::Init()
{
    const SceneSet* scenes = GetSceneSet();
    m_scene = scenes->Get<CStatusDetailScene>(SceneSlot::StatusDetail);
    m_playerStatus = scenes->Get<CPlayerStatusScene>(SceneSlot::PlayerStatus);
    const auto update =
        static_cast<void (CStatusDetailSequence::*)(MessageCode)>(&CStatusDetailSequence::Update);
    if (m_scene != nullptr) {
        m_scene->SetTurnManager(m_turnManager);
        connect(m_scene, &CStatusDetailScene::MenuSelected, this, update, Qt::UniqueConnection);
    }
    if (m_report != nullptr) {
        connect(m_report,
                static_cast<void (CCommandResultReport::*)(MessageCode)>(&CCommandResultReport::Started),
                this, update, Qt::UniqueConnection);
        connect(m_report,
                static_cast<void (CCommandResultReport::*)(MessageCode)>(&CCommandResultReport::Stopped),
                this, update, Qt::UniqueConnection);
    }
    if (m_playerStatus != nullptr)
        connect(
            m_playerStatus, &CPlayerStatusScene::ShipProfileSelected, this, [this] { Update(CloseCode); },
            Qt::QueuedConnection);
    SetInstalled();
}

void CStatusDetailSequence::Start()
{
    m_isClosing = false;
    CSequenceManager* manager = CSequenceManager::GetInstance();
    const int own = manager->IndexOf(this);
    if (own > 0) m_below = manager->GetSequence(own - 1);
    if (m_scene != nullptr) {
        m_scene->SetControlEnabled(true);
        if (m_ship != nullptr)
            m_scene->CreateItems(m_unit, m_ship);
        else
            m_scene->CreateItems(m_unit);
    }
    Show();
    if (m_playerStatus != nullptr) m_playerStatus->blockSignals(false);
}

void CStatusDetailSequence::Show()
{
    if (m_scene != nullptr) {
        if (CGameView* view = m_scene->GetView()) view->Show();
    }
    for (CGameScene* scene :
         {static_cast<CGameScene*>(m_playerStatus), GetSceneSet()->Get(SceneSlot::Help)}) {
        if (scene == nullptr) continue;
        if (CGameView* view = scene->GetView()) view->Show();
    }
    show();
    if (m_scene != nullptr) {
        if (CGameView* view = m_scene->GetView()) m_scene->AdjustViewPosition(view->viewport()->size());
    }
}

void CStatusDetailSequence::Hide()
{
    hide();
}

void CStatusDetailSequence::ResetData(const CUnit* pTargetUnit, const CShip* pTargetShip)
{
    m_unit = pTargetUnit;
    m_ship = pTargetShip;
    if (!m_isClosing) Start();
}

void CStatusDetailSequence::ResetData(const CUnit* pTargetUnit)
{
    ResetData(pTargetUnit, nullptr);
}

void CStatusDetailSequence::Update(MessageCode code)
{
    try {
        Page(code);
    } catch (const std::exception& error) {
        qWarning("The status detail screen could not take code %u: %s", static_cast<unsigned>(code),
                 error.what());
    }
}

void CStatusDetailSequence::Page(MessageCode code)
{
    if (m_isClosing) return;
    if (IsClosingCode(code)) {
        Close();
        return;
    }
    if (m_unit == nullptr) return;
    if (code == NextCode) {
        const std::uint32_t id = m_ship != nullptr ? m_ship->GetShipId() + 1 : 1;
        if (m_unit->HasShip(id)) ResetData(m_unit, m_unit->GetShip(id));
    } else if (code == PreviousCode) {
        const std::uint32_t id = m_ship != nullptr ? m_ship->GetShipId() - 1 : 0;
        m_ship = id != 0 && m_unit->HasShip(id) ? m_unit->GetShip(id) : nullptr;
        Start();
    }
}

void CStatusDetailSequence::Close()
{
    m_isClosing = true;
    if (m_scene != nullptr) m_scene->SetControlEnabled(false);
    CSequenceManager* manager = CSequenceManager::GetInstance();
    try {
        if (m_below != nullptr)
            manager->ReturnTo(m_below.data());
        else if (manager->IndexOf(this) > 0)
            manager->ReturnTo(manager->IndexOf(this) - 1);
    } catch (const std::exception& error) {
        qWarning("The status detail screen could not be closed: %s", error.what());
    }
}

} // namespace Marevane
