#include "app/ScenePool.h"

#include "app/GameSequence.h"
#include "app/GameView.h"
#include "app/StandInScreens.h"

#include <QGridLayout>
#include <QPixmap>

#include <algorithm>
#include <stdexcept>

namespace Marevane {

namespace {

using S = SceneSlot;

const char* const MissingScene = "invalid unordered_map<K, T> key";

// The screens' height; the message pane fills what the main view leaves.
constexpr int ScreenHeight = 600;
const QRect SystemConfigMessageArea(0, 379, 720, 220);

// The scenes a sequence type hands over; the message scene joins the
// set-up screens that show it.
std::vector<SceneSlot> RecordOf(int type)
{
    switch (type) {
    case 0:
        return {S::Title};
    case 1:
        return {S::GameMap, S::PlayerStatus, S::Message, S::Help};
    case 2:
        return {S::GameMap, S::BattleResult, S::PlayerStatus, S::Help};
    case 3:
        return {S::StatusDetail, S::PlayerStatus, S::Help};
    case 4:
        return {S::GameMap, S::ShipSelection, S::Message, S::Help};
    case 5:
        return {S::PlayerSettings, S::Message};
    case 6:
        return {S::GameMap, S::RuleSettings, S::Message};
    case 7:
        return {S::NetworkConnection, S::Message};
    case 8:
        return {S::TagTeamSelection, S::Message};
    case 9:
        return {S::ComputerLevel};
    case 10:
        return {S::ArcadeStage};
    case 11:
        return {S::GameOver};
    case 12:
        return {S::Credits};
    case 13:
        return {S::SystemConfig, S::Message};
    default:
        return {};
    }
}

int RowCount(const std::vector<CScenePool::Cell>& cells)
{
    int rows = 0;
    for (const CScenePool::Cell& cell : cells) rows = std::max(rows, cell.row + 1);
    return rows;
}

} // namespace

CScenePool::CScenePool(CBoard* pBoard, CGameEdit* pGameEdit, SceneMakers makers, QObject* parent)
    : QObject(parent), m_board(pBoard), m_gameEdit(pGameEdit), m_makers(std::move(makers))
{
}

CScenePool::~CScenePool()
{
    for (Slot& slot : m_slots) Free(slot);
}

std::vector<CScenePool::Cell> CScenePool::GridOf(int type)
{
    switch (type) {
    case 0:
        return {{S::Title, 0, 0, false}};
    case 1:
        return {{S::GameMap, 0, 0, false},
                {S::PlayerStatus, 0, 1, false},
                {S::Message, 1, 0, false},
                {S::Help, 1, 1, false}};
    case 2:
        return {{S::BattleResult, 0, 0, true}};
    case 3:
        return {{S::StatusDetail, 0, 0, true}, {S::PlayerStatus, 0, 1, false}, {S::Help, 1, 1, false}};
    case 4:
        return {{S::GameMap, 0, 0, false},
                {S::ShipSelection, 0, 1, false},
                {S::Message, 1, 0, false},
                {S::Help, 1, 1, false}};
    case 5:
        return {{S::PlayerSettings, 0, 0, false}, {S::Message, 1, 0, false}};
    case 6:
        return {{S::GameMap, 0, 0, false}, {S::RuleSettings, 0, 1, true}, {S::Message, 1, 0, false}};
    case 7:
        return {{S::NetworkConnection, 0, 0, false}, {S::Message, 1, 0, false}};
    case 8:
        return {{S::TagTeamSelection, 0, 0, false}, {S::Message, 1, 0, false}};
    case 9:
        return {{S::ComputerLevel, 0, 0, false}};
    case 10:
        return {{S::ArcadeStage, 0, 0, false}};
    case 11:
        return {{S::GameOver, 0, 0, false}};
    case 12:
        return {{S::Credits, 0, 0, false}};
    case 13:
        return {{S::SystemConfig, 0, 0, false}, {S::Message, 1, 0, false}};
    default:
        return {};
    }
}

void CScenePool::CreateScenes(int type)
{
    // Only scenes the type lays out are made, so none is left unregistered.
    switch (type) {
    case 0:
        Create(S::Title);
        break;
    case 1:
        Create(S::GameMap);
        Create(S::PlayerStatus);
        SetLabel(S::PlayerStatus, QStringLiteral(":/Resources/PlayerStatusLabel.png"));
        CreateMessage(S::GameMap);
        Create(S::Help);
        break;
    case 2:
        Create(S::BattleResult);
        break;
    case 3:
        Create(S::StatusDetail);
        SetLabel(S::StatusDetail, QString());
        Create(S::PlayerStatus);
        Create(S::Help);
        break;
    case 4:
        Create(S::GameMap);
        Create(S::ShipSelection);
        SetLabel(S::ShipSelection, QStringLiteral(":/Resources/SelectShipsLabel.png"));
        CreateMessage(S::GameMap);
        Create(S::Help);
        break;
    case 5:
        Create(S::PlayerSettings);
        CreateMessage(S::PlayerSettings);
        break;
    case 6:
        Create(S::GameMap);
        Create(S::RuleSettings);
        SetLabel(S::RuleSettings, QStringLiteral(":/Resources/SettingsMenuLabel.png"));
        CreateMessage(S::GameMap);
        break;
    case 7:
        Create(S::NetworkConnection);
        SetLabel(S::NetworkConnection, QString());
        CreateMessage(S::NetworkConnection);
        break;
    case 8:
        Create(S::TagTeamSelection);
        SetLabel(S::TagTeamSelection, QString());
        CreateMessage(S::TagTeamSelection);
        break;
    case 9:
        Create(S::ComputerLevel);
        SetLabel(S::ComputerLevel, QString());
        break;
    case 10:
        Create(S::ArcadeStage);
        SetLabel(S::ArcadeStage, QString());
        break;
    case 11:
        Create(S::GameOver);
        break;
    case 12:
        Create(S::Credits);
        break;
    case 13:
        Create(S::SystemConfig);
        SetLabel(S::SystemConfig, QString());
        Create(S::Message, SystemConfigMessageArea);
        break;
    default:
        break;
    }
}

void CScenePool::Create(SceneSlot slotId, const QRect& rect)
{
    Slot& slot = At(slotId);
    if (slot.scene != nullptr) return;
    const auto found = m_makers.find(slotId);
    const SceneMaker maker =
        found != m_makers.end() && found->second.createScene ? found->second : StandInSceneMaker(slotId);
    CGameScene* scene = maker.createScene(SceneInputs{m_board, m_gameEdit, rect});
    if (scene == nullptr) {
        qWarning("The scene of slot %d could not be made", static_cast<int>(slotId));
        return;
    }
    slot.scene = scene;
    slot.view = maker.createView ? maker.createView(scene) : nullptr;
}

void CScenePool::CreateMessage(SceneSlot above)
{
    if (At(S::Message).scene != nullptr) return;
    const CGameView* view = LaidOutView(above);
    if (view == nullptr) {
        Create(S::Message, SystemConfigMessageArea);
        return;
    }
    const QSize minimum = view->minimumSize();
    Create(S::Message,
           QRect(0, minimum.height() - 1, minimum.width(), std::max(0, ScreenHeight - minimum.height())));
}

void CScenePool::SetLabel(SceneSlot slot, const QString& path)
{
    if (CGameView* view = LaidOutView(slot)) view->SetLabel(path.isEmpty() ? QPixmap() : QPixmap(path));
}

CGameView* CScenePool::LaidOutView(SceneSlot slotId) const
{
    const Slot& slot = At(slotId);
    if (slot.scene == nullptr) return nullptr;
    if (CGameView* own = slot.scene->GetView()) return own;
    return slot.view;
}

void CScenePool::SetUp(CGameSequence* pSequence)
{
    if (pSequence == nullptr) return;
    const int type = pSequence->GetType();
    const std::vector<Cell> cells = GridOf(type);
    if (cells.empty()) {
        qWarning("Sequence type %d has no scenes to lay out", type);
        return;
    }
    CreateScenes(type);
    std::vector<CGameView*> views;
    for (const Cell& cell : cells) {
        CGameView* view = LaidOutView(cell.slot);
        if (view == nullptr) throw std::out_of_range(MissingScene);
        views.push_back(view);
    }

    auto* grid = qobject_cast<QGridLayout*>(pSequence->layout());
    if (grid == nullptr) {
        // A widget keeps its first layout; another kind must go first.
        delete pSequence->layout();
        grid = new QGridLayout(pSequence);
    }
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    while (QLayoutItem* item = grid->takeAt(0)) delete item;
    const int rows = RowCount(cells);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        CGameView* view = views[i];
        QWidget* holder = view->parentWidget();
        if (holder != nullptr && holder != pSequence && holder->layout() != nullptr)
            holder->layout()->removeWidget(view);
        grid->addWidget(view, cells[i].row, cells[i].column, cells[i].isAllRows ? rows : 1, 1);
    }

    auto record = std::make_unique<SceneSet>();
    record->type = type;
    for (SceneSlot slot : RecordOf(type)) record->At(slot) = At(slot).scene;
    // A sequence uses every scene its record names, laid out or not, so
    // none of them goes while it may still reach it.
    for (int i = 0; i < SceneSlotCount; ++i) {
        Slot& slot = m_slots[static_cast<std::size_t>(i)];
        if (slot.scene == nullptr || record->Get(static_cast<SceneSlot>(i)) == nullptr) continue;
        if (std::find(slot.users.begin(), slot.users.end(), pSequence) == slot.users.end())
            slot.users.push_back(pSequence);
    }
    pSequence->InstallScenes(std::move(record));
    if (!IsLaidOut(pSequence)) m_sequences.push_back(pSequence);
    connect(pSequence, &CGameSequence::Destroyed, this,
            static_cast<void (CScenePool::*)(CGameSequence*)>(&CScenePool::Remove), Qt::UniqueConnection);
}

CGameScene* CScenePool::GetScene(SceneSlot slot) const
{
    return At(slot).scene;
}

CGameView* CScenePool::GetView(SceneSlot slot) const
{
    return LaidOutView(slot);
}

int CScenePool::CountUsers(SceneSlot slot) const
{
    return static_cast<int>(At(slot).users.size());
}

bool CScenePool::IsLaidOut(const CGameSequence* pSequence) const
{
    return std::find(m_sequences.begin(), m_sequences.end(), pSequence) != m_sequences.end();
}

void CScenePool::Remove(CGameSequence* pSequence)
{
    const auto found = std::find(m_sequences.begin(), m_sequences.end(), pSequence);
    if (found == m_sequences.end()) return;
    for (Slot& slot : m_slots) {
        const auto user = std::find(slot.users.begin(), slot.users.end(), pSequence);
        if (user == slot.users.end()) continue;
        slot.users.erase(user);
        if (slot.users.empty()) Free(slot);
    }
    m_sequences.erase(found);
}

void CScenePool::Remove()
{
    Remove(qobject_cast<CGameSequence*>(sender()));
}

void CScenePool::Free(Slot& slot)
{
    delete slot.view.data();
    delete slot.scene.data();
    slot.view = nullptr;
    slot.scene = nullptr;
    slot.users.clear();
}

} // namespace Marevane
