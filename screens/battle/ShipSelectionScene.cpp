#include "screens/battle/ShipSelectionScene.h"

#include "app/GameView.h"
#include "gui/Widgets.h"
#include "model/ShipConfig.h"
#include "model/Unit.h"
#include "screens/battle/FleetLimit.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/ShipProfileItems.h"

#include <QGraphicsPixmapItem>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace Marevane {

namespace {

constexpr MessageCode BackCode = 33;
const QPoint LabelPos(32, 20);
constexpr int PrevRightMargin = 16;
constexpr int PrevTop = 15;

} // namespace

CShipSelectionScene::CShipSelectionScene(const GameEditInfo* pRules, QObject* parent)
    : CSideScene(parent), m_rules(pRules)
{
    setSceneRect(0, 0, CSideView::BaseWidth, CSideView::BaseHeight);
    BuildButtons();
}

CShipSelectionScene::~CShipSelectionScene() = default;

bool CShipSelectionScene::IsPlayer() const
{
    return GetMyUnit() != nullptr && GetMyUnit()->GetUnitType() != UnitWatching;
}

std::uint32_t CShipSelectionScene::GetFleetLimit() const
{
    if (m_rules == nullptr) return 0;
    return FleetLimit(*m_rules, GetMyUnit());
}

std::uint32_t CShipSelectionScene::GetPlacedCount() const
{
    return GetMyUnit() != nullptr ? static_cast<std::uint32_t>(GetMyUnit()->ShipCount()) : 0u;
}

CShipProfileItem* CShipSelectionScene::GetCard(ShipType type) const
{
    const auto it = m_cards.find(type);
    return it != m_cards.end() ? it->second : nullptr;
}

bool CShipSelectionScene::IsCardEnabled(ShipType type) const
{
    const std::uint32_t placed = GetPlacedCount();
    // An oiler cannot be the first ship of a fleet.
    return IsPlayer() && placed < GetFleetLimit() && !(type == ShipTypeOiler && placed == 0);
}

// --- building -----------------------------------------------------------------

void CShipSelectionScene::BuildButtons()
{
    m_ok = new CPushButton(tr("OK"), Sound::SeTitleSubSelected);
    m_reset = new CPushButton(tr("Reset"), Sound::SeDefaultCanceled);
    m_prev = new CPushButton(tr("Prev"), Sound::SeDefaultCanceled);
    for (CPushButton* button : {m_ok, m_reset, m_prev}) {
        button->SetUp();
        button->setFocusPolicy(Qt::StrongFocus);
    }
    m_ok->setEnabled(false);
    m_reset->setEnabled(false);
    m_prev->setEnabled(m_rules != nullptr && m_rules->TeamCount == 0 &&
                       (m_rules->Rule & GameModeArcade) == 0);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        // Once pushed, nothing more until the owner asks again.
        SetButtonEnabled(false);
        emit OkButtonPushed();
    });
    connect(m_reset, &QPushButton::clicked, this, [this] { emit ResetButtonPushed(); });
    connect(m_prev, &QPushButton::clicked, this, [this] { emit PrevButtonPushed(BackCode); });

    auto* holder = new QWidget;
    holder->setAttribute(Qt::WA_TranslucentBackground);
    holder->setAutoFillBackground(false);
    auto* layout = new QHBoxLayout(holder);
    // Reset ends clear of the panel's scroll bar, which takes the right
    // edge of the scene once the list is taller than the panel.
    layout->setContentsMargins(0, 0, PrevRightMargin + 2, 0);
    const int spacing = layout->spacing() > 0 ? layout->spacing() : 6;
    const qreal sceneX = sceneRect().x();
    const int minimum = static_cast<int>(sceneRect().width() * 0.5 - sceneX) - 2 * spacing;
    for (CPushButton* button : {m_ok, m_reset}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setMinimumWidth(minimum);
        layout->addWidget(button, 1, Qt::AlignBottom);
    }
    holder->setMinimumWidth(static_cast<int>(sceneRect().width()));
    m_buttonsProxy = addWidget(holder);
    m_buttonsProxy->setPos(sceneX, 0);

    m_prevProxy = addWidget(m_prev);
    m_prev->setMinimumWidth(static_cast<int>(1.5 * m_prev->sizeHint().width()));
    m_prevProxy->setPos(sceneRect().width() - m_prev->minimumWidth() - PrevRightMargin, PrevTop);
}

void CShipSelectionScene::CreateItems()
{
    // Every item but the buttons is made anew.
    for (auto& [type, card] : m_cards) {
        removeItem(card);
        delete card;
    }
    m_cards.clear();
    m_profiles.clear();
    delete m_label;
    m_focusedType = ShipTypeNone;

    m_label = addPixmap(QPixmap(QStringLiteral(":/Resources/ListOfShipsLabel.png")));
    m_label->setPos(LabelPos);
    int y = LabelPos.y() + m_label->pixmap().height();
    const CUnit* unit = GetMyUnit();
    const std::uint32_t unitId = unit != nullptr ? unit->GetId() : 0u;
    const GameEditInfo rules = m_rules != nullptr ? *m_rules : GameEditInfo();
    for (ShipType type : ShipTypes) {
        m_profiles[type] = MakeShipProfile(unitId, type, rules);
        auto* card = new CShipProfileItem(&m_profiles[type], 0, y);
        addItem(card);
        card->setEnabled(IsCardEnabled(type));
        m_cards[type] = card;
        y += static_cast<int>(card->rect().height()) + 1;
        connect(card, &CShipProfileItem::ItemInfoHovered, this, &CSideScene::ItemHovered);
        connect(card, &CShipProfileItem::ItemInfoHovered, this, [this, type](const CShipIcon* icon) {
            if (icon != nullptr && m_focusedType != type) FocusCard(type);
        });
        connect(card, qOverload<const CShipIcon*>(&CShipProfileItem::ItemInfoLeftClicked), this,
                &CShipSelectionScene::ShipProfileSelected);
        connect(card, &CShipProfileItem::ItemDragStarted, this, &CShipSelectionScene::ShipDragStarted);
        connect(card, &CShipProfileItem::ItemDragStopped, this, &CShipSelectionScene::ShipDragStopped);
    }
    const int spacing = m_buttonsProxy->widget()->layout()->spacing();
    m_buttonsProxy->setPos(sceneRect().x(), y + 2 * std::max(spacing, 0));
    const qreal bottom = m_buttonsProxy->y() + m_buttonsProxy->size().height();
    if (bottom > sceneRect().height())
        setSceneRect(sceneRect().x(), sceneRect().y(), sceneRect().width(), bottom);
}

void CShipSelectionScene::Clear()
{
    m_cards.clear();
    m_profiles.clear();
    m_label = nullptr;
    m_focusedType = ShipTypeNone;
    clear();
    BuildButtons();
}

// --- updates ------------------------------------------------------------------

void CShipSelectionScene::UpdateAll()
{
    if (m_cards.empty()) CreateItems();
    SetButtonEnabled(true);
    for (auto& [type, card] : m_cards) card->setEnabled(IsCardEnabled(type));
    // The focus stays on an enabled card, else goes to the first one.
    CShipProfileItem* focused = GetCard(m_focusedType);
    if (focused == nullptr || !focused->isEnabled()) {
        m_focusedType = ShipTypeNone;
        for (ShipType type : ShipTypes) {
            if (IsCardEnabled(type)) {
                FocusCard(type);
                break;
            }
        }
    }
    // The map's changes reach the list in the battle too, where it is hidden
    // and must leave the keyboard to the map.
    CGameView* view = GetView();
    if (view != nullptr && view->isVisible()) view->setFocus();
    update();
}

void CShipSelectionScene::Update(const ShipProfile* pShipProfile)
{
    if (pShipProfile != nullptr) {
        if (CShipProfileItem* card = GetCard(static_cast<ShipType>(pShipProfile->Type)))
            card->UpdateProfile(pShipProfile);
    }
    update();
}

void CShipSelectionScene::SetSelectable(bool isEnabled)
{
    if (isEnabled) {
        UpdateAll();
        SetButtonEnabled(true);
        return;
    }
    for (auto& [type, card] : m_cards) card->setEnabled(false);
}

void CShipSelectionScene::SetButtonEnabled(bool isEnabled)
{
    const bool on = isEnabled && IsPlayer();
    const std::uint32_t placed = GetPlacedCount();
    m_ok->setEnabled(on && placed == GetFleetLimit());
    m_reset->setEnabled(on && placed > 0);
    m_prev->setEnabled(on && m_rules != nullptr && m_rules->TeamCount == 0 &&
                       (m_rules->Rule & GameModeArcade) == 0);
}

// --- keyboard -----------------------------------------------------------------

void CShipSelectionScene::FocusCard(ShipType type)
{
    CShipProfileItem* card = GetCard(type);
    if (card == nullptr) return;
    m_focusedType = type;
    if (!card->hasFocus()) card->setFocus(Qt::OtherFocusReason);
}

void CShipSelectionScene::MoveCardFocus(bool next)
{
    const int count = static_cast<int>(ShipTypes.size());
    const auto at = std::find(ShipTypes.begin(), ShipTypes.end(), m_focusedType);
    int index = at != ShipTypes.end() ? static_cast<int>(at - ShipTypes.begin()) : (next ? -1 : count);
    for (index += next ? 1 : -1; index >= 0 && index < count; index += next ? 1 : -1) {
        const ShipType type = ShipTypes[static_cast<std::size_t>(index)];
        CShipProfileItem* card = GetCard(type);
        if (card != nullptr && card->isEnabled()) {
            FocusCard(type);
            return;
        }
    }
}

void CShipSelectionScene::FocusButton(CPushButton* pButton)
{
    QGraphicsProxyWidget* proxy = pButton == m_prev ? m_prevProxy : m_buttonsProxy;
    if (CShipProfileItem* card = GetCard(m_focusedType)) card->clearFocus();
    m_focusedType = ShipTypeNone;
    proxy->setFocus(Qt::TabFocusReason);
    pButton->setFocus(Qt::TabFocusReason);
}

CPushButton* CShipSelectionScene::FocusedButton() const
{
    const QGraphicsItem* item = focusItem();
    if (item == nullptr) return nullptr;
    if (item == m_prevProxy) return m_prev;
    if (item != m_buttonsProxy) return nullptr;
    QWidget* focused = m_buttonsProxy->widget()->focusWidget();
    if (focused == m_ok) return m_ok;
    if (focused == m_reset) return m_reset;
    return nullptr;
}

bool CShipSelectionScene::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            FocusNextPrevious(key->key() == Qt::Key_Tab && !key->modifiers().testFlag(Qt::ShiftModifier));
            event->accept();
            return true;
        }
    }
    return CSideScene::event(event);
}

void CShipSelectionScene::FocusNextPrevious(bool next)
{
    // Cards (as types) and buttons in one ring.
    std::vector<std::pair<ShipType, CPushButton*>> chain;
    for (ShipType type : ShipTypes) {
        CShipProfileItem* card = GetCard(type);
        if (card != nullptr && card->isEnabled()) chain.emplace_back(type, nullptr);
    }
    for (CPushButton* button : {m_ok, m_reset, m_prev})
        if (button->isEnabled()) chain.emplace_back(ShipTypeNone, button);
    if (chain.empty()) return;
    CPushButton* button = FocusedButton();
    const auto current = std::find_if(chain.begin(), chain.end(), [&](const auto& entry) {
        return button != nullptr ? entry.second == button
                                 : (entry.second == nullptr && entry.first == m_focusedType);
    });
    const int count = static_cast<int>(chain.size());
    int index = current != chain.end() ? static_cast<int>(current - chain.begin()) : (next ? -1 : 0);
    index = ((index + (next ? 1 : -1)) % count + count) % count;
    const auto& [type, target] = chain[static_cast<std::size_t>(index)];
    if (target != nullptr)
        FocusButton(target);
    else
        FocusCard(type);
}

void CShipSelectionScene::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (CPushButton* button = FocusedButton()) {
            if (button->isEnabled()) button->click();
            event->accept();
            return;
        }
        if (m_ok->isEnabled()) {
            // Exactly as a click: the buttons go off until the owner asks again.
            m_ok->click();
            event->accept();
            return;
        }
        break;
    case Qt::Key_R:
        if (m_reset->isEnabled()) {
            m_reset->click();
            event->accept();
            return;
        }
        break;
    case Qt::Key_Escape:
    case Qt::Key_Backspace:
        if (CShipProfileItem* card = GetCard(m_focusedType)) card->clearFocus();
        m_focusedType = ShipTypeNone;
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        MoveCardFocus(false);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        MoveCardFocus(true);
        break;
    default:
        break;
    }
    CSideScene::keyPressEvent(event);
}

} // namespace Marevane
