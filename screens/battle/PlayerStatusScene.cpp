#include "screens/battle/PlayerStatusScene.h"

#include "app/GameView.h"
#include "gui/Fonts.h"
#include "gui/Style.h"
#include "model/Ship.h"
#include "model/Unit.h"
#include "model/texts/StatisticsTexts.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/ShipProfileItems.h"

#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Marevane {

namespace {

constexpr std::uint32_t Watching = 0;

QRectF Bounds(const QGraphicsItem* item)
{
    return item->mapRectToScene(item->boundingRect());
}

} // namespace

// --- CPlayerNameItem ----------------------------------------------------------

CPlayerNameItem::CPlayerNameItem(CUnit* pPlayer, QGraphicsItem* parent)
    : QGraphicsTextItem(pPlayer != nullptr ? GetPlayerName(*pPlayer) : QString(), parent), m_player(pPlayer),
      m_highlight(new QGraphicsRectItem(this))
{
    setDefaultTextColor(TextColor);
    setFont(NameTextFont());
    document()->setDocumentMargin(1.0);
    setFlag(QGraphicsItem::ItemIsFocusable);
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
    setAcceptHoverEvents(true);
    m_highlight->setPen(Qt::NoPen);
    m_highlight->setBrush(Qt::NoBrush);
    m_highlight->setFlag(QGraphicsItem::ItemStacksBehindParent);
    m_highlight->setRect(boundingRect());
}

void CPlayerNameItem::SetWidth(qreal width)
{
    setTextWidth(width);
    m_highlight->setRect(boundingRect());
}

void CPlayerNameItem::SetHighlight(bool isOn)
{
    m_highlight->setBrush(isOn ? QBrush(HighlightColor) : QBrush(Qt::NoBrush));
}

void CPlayerNameItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) emit Clicked(m_player);
    QGraphicsTextItem::mousePressEvent(event);
}

void CPlayerNameItem::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit Clicked(m_player);
        return;
    }
    QGraphicsTextItem::keyPressEvent(event);
}

void CPlayerNameItem::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    SetHighlight(true);
    emit Hovered(m_player);
    QGraphicsTextItem::hoverEnterEvent(event);
}

void CPlayerNameItem::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    SetHighlight(false);
    emit Hovered(nullptr);
    QGraphicsTextItem::hoverLeaveEvent(event);
}

void CPlayerNameItem::focusInEvent(QFocusEvent* event)
{
    SetHighlight(true);
    QGraphicsTextItem::focusInEvent(event);
}

void CPlayerNameItem::focusOutEvent(QFocusEvent* event)
{
    SetHighlight(false);
    QGraphicsTextItem::focusOutEvent(event);
}

// --- building -----------------------------------------------------------------

CPlayerStatusScene::CPlayerStatusScene(QObject* parent) : CSideScene(parent)
{
    setSceneRect(0, 0, CSideView::BaseWidth, CSideView::BaseHeight);
}

bool CPlayerStatusScene::IsWatching() const
{
    return GetMyUnit() == nullptr || GetMyUnit()->GetUnitType() == Watching;
}

CShipProfileItem* CPlayerStatusScene::FindCard(const CUnit* pUnit, std::uint32_t shipId) const
{
    const CardTable* cards = FindCards(pUnit);
    if (cards == nullptr) return nullptr;
    const auto it = cards->find(shipId);
    return it != cards->end() ? it->second : nullptr;
}

const CPlayerStatusScene::CardTable* CPlayerStatusScene::FindCards(const CUnit* pUnit) const
{
    const auto it = m_items.find(pUnit);
    return it != m_items.end() ? &it->second : nullptr;
}

CPlayerNameItem* CPlayerStatusScene::FindNameItem(const CUnit* pUnit) const
{
    const auto it = m_names.find(pUnit);
    return it != m_names.end() ? it->second : nullptr;
}

CPlayerNameItem* CPlayerStatusScene::AddNameItem(CUnit* pUnit)
{
    auto* name = new CPlayerNameItem(pUnit);
    addItem(name);
    connect(name, &CPlayerNameItem::Clicked, this, &CPlayerStatusScene::SendPlayerData);
    m_names[pUnit] = name;
    return name;
}

void CPlayerStatusScene::AddCard(CUnit* pUnit, std::uint32_t shipId, CShipProfileItem* card)
{
    if (CShipIcon* icon = card->GetIcon()) {
        icon->SetDraggable(false);
        icon->setFlag(QGraphicsItem::ItemIsSelectable, false);
    }
    addItem(card);
    m_items[pUnit][shipId] = card;
    connect(card, &CShipProfileItem::ItemInfoHovered, this, &CPlayerStatusScene::FocusShipData);
    connect(card, &CShipProfileItem::ItemInfoHovered, this, &CSideScene::ItemHovered);
    connect(card, qOverload<const ShipProfile*>(&CShipProfileItem::ItemInfoLeftClicked), this,
            &CPlayerStatusScene::ShipProfileSelected);
    connect(card, &CShipProfileItem::ItemInfoRightClicked, this, &CPlayerStatusScene::SendShipData);
}

void CPlayerStatusScene::CreateItems()
{
    CUnit* own = GetMyUnit();
    if (own != nullptr && !IsWatching()) {
        if (!m_items.empty()) Clear();
        m_items[own]; // an own fleet without ships still counts as shown
        CPlayerNameItem* name = AddNameItem(own);
        const qreal sceneWidth = sceneRect().width();
        const qreal width = name->boundingRect().width();
        if (sceneWidth > width + 32 || width > sceneWidth) {
            name->SetWidth(sceneWidth - 32);
            name->setPos(32, 12);
        } else {
            name->setPos(static_cast<int>(sceneWidth - width) / 2, 12);
        }
        int y = static_cast<int>(std::ceil(name->y() + name->boundingRect().height()));
        for (const auto& [shipId, ship] : own->GetShips()) {
            auto* card = new CShipProfileItem(&ship->GetProfile(), 0, y);
            AddCard(own, shipId, card);
            y += static_cast<int>(card->rect().height());
        }
        setSceneRect(sceneRect().x(), sceneRect().y(), sceneRect().width(), y);
        return;
    }
    const QVector<CUnit*>* players = GetPlayerList();
    if (players != nullptr && !players->isEmpty()) {
        if (!m_items.empty()) Clear();
        CreateAudienceItems();
    }
}

void CPlayerStatusScene::CreateAudienceItems()
{
    struct Column {
        CUnit* unit;
        CPlayerNameItem* name;
        std::vector<CShipProfileItem*> cards;
    };
    std::vector<Column> columns;
    qreal columnWidth = 0;
    for (CUnit* player : *GetPlayerList()) {
        // A side without ships has no column to shift under its name.
        if (player == nullptr || player->GetShips().empty()) continue;
        Column column{player, AddNameItem(player), {}};
        column.name->setPos(10, 12);
        int y = static_cast<int>(std::ceil(column.name->y() + column.name->boundingRect().height()));
        for (const auto& [shipId, ship] : player->GetShips()) {
            auto* card = new CShipProfileMiniItem(&ship->GetProfile(), 0, y);
            AddCard(player, shipId, card);
            column.cards.push_back(card);
            y += static_cast<int>(card->rect().height());
            columnWidth = std::max(columnWidth, card->rect().width());
        }
        columns.push_back(column);
    }

    // Names that wrap in the column get smaller once.
    qreal nameBottom = 0;
    for (Column& column : columns) {
        const qreal before = Bounds(column.name).bottom();
        column.name->SetWidth(columnWidth - 10);
        if (Bounds(column.name).bottom() > before) {
            QFont font = column.name->font();
            font.setPixelSize(9 * font.pixelSize() / 10);
            column.name->setFont(font);
            column.name->SetWidth(columnWidth - 10);
        }
        nameBottom = std::max(nameBottom, std::ceil(Bounds(column.name).bottom()));
    }

    qreal bottom = 0;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        Column& column = columns[k];
        column.name->setX(static_cast<qreal>(k) * columnWidth + 10);
        const qreal dy = nameBottom - column.cards.front()->y();
        for (CShipProfileItem* card : column.cards) {
            card->setRect(0, 0, columnWidth, card->rect().height());
            card->setPos(static_cast<qreal>(k) * columnWidth, card->y() + dy);
            bottom = std::max(bottom, Bounds(card).bottom());
        }
    }
    const QRectF rect = sceneRect();
    setSceneRect(rect.x(), rect.y(), static_cast<qreal>(columns.size()) * columnWidth, bottom);
    if (CGameView* view = GetView())
        view->setHorizontalScrollBarPolicy(columns.size() > 2 ? Qt::ScrollBarAsNeeded
                                                              : Qt::ScrollBarAlwaysOff);
}

// --- updates ------------------------------------------------------------------

bool CPlayerStatusScene::IsUpToDate() const
{
    CUnit* own = GetMyUnit();
    if (own != nullptr) {
        const CardTable* cards = FindCards(own);
        if (cards != nullptr && cards->size() == own->ShipCount()) return true;
    }
    const int players = GetPlayerList() != nullptr ? GetPlayerList()->size() : 0;
    int shown = 0;
    for (CUnit* player : (GetPlayerList() != nullptr ? *GetPlayerList() : QVector<CUnit*>()))
        if (player != nullptr && !player->GetShips().empty()) ++shown;
    return static_cast<int>(m_items.size()) == players || static_cast<int>(m_items.size()) == shown;
}

void CPlayerStatusScene::UpdateAll()
{
    if (!IsUpToDate()) {
        if (GetPlayerList() != nullptr || GetMyUnit() != nullptr) {
            Clear();
            CreateItems();
        }
    } else {
        std::vector<CUnit*> units;
        CUnit* own = GetMyUnit();
        if (own != nullptr && m_items.size() == 1 && FindCards(own) != nullptr)
            units.push_back(own);
        else if (GetPlayerList() != nullptr)
            units.assign(GetPlayerList()->begin(), GetPlayerList()->end());
        for (CUnit* unit : units) {
            if (unit == nullptr) continue;
            for (const auto& [shipId, ship] : unit->GetShips())
                if (CShipProfileItem* card = FindCard(unit, shipId)) card->UpdateProfile(&ship->GetProfile());
        }
    }
    update();
}

void CPlayerStatusScene::Update(const ShipProfile* pShipProfile)
{
    if (pShipProfile == nullptr) return;
    CUnit* unit = FindPlayer(pShipProfile->UnitId);
    if (unit == nullptr && GetMyUnit() != nullptr && GetMyUnit()->GetId() == pShipProfile->UnitId)
        unit = GetMyUnit();
    if (unit == nullptr || !unit->HasShip(pShipProfile->ShipId)) return;
    CShipProfileItem* card = FindCard(unit, pShipProfile->ShipId);
    if (card == nullptr) return;
    // The card shows the given state; it keeps the live profile's address,
    // since the given record may be gone after this action.
    card->UpdateProfile(pShipProfile);
    card->KeepProfile(&unit->GetShip(pShipProfile->ShipId)->GetProfile());
    update();
}

void CPlayerStatusScene::Clear()
{
    QList<QGraphicsItem*> topLevel;
    for (QGraphicsItem* item : items())
        if (item->parentItem() == nullptr) topLevel << item;
    for (QGraphicsItem* item : topLevel) {
        removeItem(item);
        delete item; // with its children
    }
    m_items.clear();
    m_names.clear();
}

// --- selection and focus ------------------------------------------------------

void CPlayerStatusScene::SetShipSelected(CUnit* pUnit, const CShip* pShip)
{
    if (pUnit == nullptr || pShip == nullptr) {
        ClearFocus();
        m_focusedUnit = nullptr;
        m_focusedShipId = 0;
        return;
    }
    if (pUnit != m_focusedUnit || pShip->GetShipId() != m_focusedShipId) ClearFocus();
    if (CShipProfileItem* card = FindCard(pUnit, pShip->GetShipId())) card->EnableSelected();
    m_focusedUnit = pUnit;
    m_focusedShipId = pShip->GetShipId();
}

void CPlayerStatusScene::ClearFocus()
{
    if (m_focusedUnit == nullptr || !m_focusedUnit->HasShip(m_focusedShipId)) return;
    if (CShipProfileItem* card = FindCard(m_focusedUnit, m_focusedShipId)) {
        card->clearFocus();
        card->DisableSelected();
    }
}

void CPlayerStatusScene::SendPlayerData(CUnit* pPlayer)
{
    if (pPlayer != nullptr) emit PlayerDataSent(pPlayer, nullptr);
}

void CPlayerStatusScene::SendShipData(const ShipProfile* pShipProfile)
{
    if (pShipProfile == nullptr) return;
    CUnit* unit = FindPlayer(pShipProfile->UnitId);
    if (unit == nullptr) return;
    CShip* ship = unit->HasShip(pShipProfile->ShipId) ? unit->GetShip(pShipProfile->ShipId) : nullptr;
    emit PlayerDataSent(unit, ship);
}

void CPlayerStatusScene::FocusShipData(const CShipIcon* pShipIcon)
{
    if (pShipIcon == nullptr) {
        ClearFocus();
        return;
    }
    // A card's icon shows a ship type alone; the card knows the ship.
    for (auto& [unit, cards] : m_items) {
        for (auto& [shipId, card] : cards) {
            if (card->GetIcon() != pShipIcon) continue;
            CUnit* player = GetPlayer(pShipIcon->GetUnitId());
            if (player == nullptr) return; // a card of a side no longer listed
            m_focusedUnit = player;
            m_focusedShipId = shipId;
            if (!card->hasFocus()) card->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

template <class Ids> bool CPlayerStatusScene::FocusFirstEnabled(CUnit* pUnit, const Ids& ids)
{
    for (std::uint32_t k : ids) {
        if (!pUnit->HasShip(k)) break;
        CShipProfileItem* card = FindCard(pUnit, k);
        if (card == nullptr || !card->isEnabled()) continue;
        m_focusedUnit = pUnit;
        m_focusedShipId = k;
        card->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}

void CPlayerStatusScene::FocusPreviousShip()
{
    ClearFocus();
    CUnit* unit = m_focusedUnit;
    if (!m_items.empty() && unit != nullptr && m_focusedShipId > 1 && unit->HasShip(m_focusedShipId - 1)) {
        std::vector<std::uint32_t> ids;
        for (std::uint32_t k = m_focusedShipId - 1; k >= 1; --k) ids.push_back(k);
        if (FocusFirstEnabled(unit, ids)) return;
    }
    FocusFirstShip();
}

void CPlayerStatusScene::FocusNextShip()
{
    ClearFocus();
    CUnit* unit = m_focusedUnit;
    if (!m_items.empty() && unit != nullptr && unit->HasShip(m_focusedShipId + 1)) {
        std::vector<std::uint32_t> ids;
        for (std::uint32_t k = m_focusedShipId + 1; unit->HasShip(k); ++k) ids.push_back(k);
        if (FocusFirstEnabled(unit, ids)) return;
    }
    FocusFirstShip();
}

void CPlayerStatusScene::FocusFirstShip()
{
    if (m_items.empty()) {
        ClearFocus();
        return;
    }
    CUnit* unit = !IsWatching() ? GetMyUnit() : m_focusedUnit;
    if (unit == nullptr) unit = GetPlayer(0);
    if (unit != nullptr) {
        std::vector<std::uint32_t> ids;
        for (std::uint32_t k = 1; unit->HasShip(k); ++k) ids.push_back(k);
        if (FocusFirstEnabled(unit, ids)) return;
    }
    m_focusedUnit = nullptr;
    m_focusedShipId = 0;
}

void CPlayerStatusScene::FocusPlayer(std::uint32_t index)
{
    const int count = GetPlayerList() != nullptr ? GetPlayerList()->size() : 0;
    if (index < static_cast<std::uint32_t>(count)) {
        CUnit* unit = GetPlayer(index);
        if (unit != nullptr && unit->GetUnitType() != Watching && FindCards(unit) != nullptr)
            m_focusedUnit = unit;
    }
    if (m_focusedShipId > 0) --m_focusedShipId;
    FocusNextShip();
}

void CPlayerStatusScene::Highlight()
{
    if (m_focusedUnit == nullptr || !m_focusedUnit->HasShip(m_focusedShipId)) return;
    const CardTable* cards = FindCards(m_focusedUnit);
    if (cards == nullptr) return;
    for (const auto& [shipId, card] : *cards) {
        if (shipId == m_focusedShipId)
            card->EnableSelected();
        else
            card->DisableSelected();
    }
}

void CPlayerStatusScene::focusInEvent(QFocusEvent* event)
{
    Highlight();
    CSideScene::focusInEvent(event);
}

void CPlayerStatusScene::keyPressEvent(QKeyEvent* event)
{
    const bool watching = IsWatching();
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Backspace:
        ClearFocus();
        CSideScene::keyPressEvent(event);
        return;
    case Qt::Key_Left:
        if (watching)
            FocusPlayer(m_focusedUnit != nullptr ? m_focusedUnit->GetId() - 1 : 0);
        else
            FocusPreviousShip();
        break;
    case Qt::Key_Up:
        FocusPreviousShip();
        break;
    case Qt::Key_Right:
        if (watching)
            FocusPlayer(m_focusedUnit != nullptr ? m_focusedUnit->GetId() + 1 : 0);
        else
            FocusNextShip();
        break;
    case Qt::Key_Down:
        FocusNextShip();
        break;
    default:
        CSideScene::keyPressEvent(event);
        return;
    }
    Highlight();
    CSideScene::keyPressEvent(event);
}

} // namespace Marevane
