#include "screens/setup/ConnectionListItem.h"

#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/texts/NameTables.h"
#include "model/texts/StatisticsTexts.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsSceneHoverEvent>
#include <QPen>
#include <QPointer>

#include <algorithm>
#include <exception>

namespace Marevane {

namespace {

constexpr int RowGap = 4;

} // namespace

CConnectionListItem::CConnectionListItem(CGameEdit* pGameEdit, const UnitProfile* pProfile)
    : m_gameEdit(pGameEdit)
{
    if (pProfile != nullptr) m_entry.Sender = *pProfile;
    m_profile = m_entry.Sender;
    m_rivalRules = pGameEdit != nullptr ? &pGameEdit->GetInfo() : nullptr;
    Init();
}

CConnectionListItem::CConnectionListItem(CGameEdit* pGameEdit, const EntryMessage& entry)
    : m_gameEdit(pGameEdit), m_entry(entry), m_profile(entry.Sender), m_rivalCopy(entry.Rules)
{
    m_rivalRules = &m_rivalCopy;
    Init();
}

CConnectionListItem::CConnectionListItem(CGameEdit* pGameEdit, const CUnit* pUnit) : m_gameEdit(pGameEdit)
{
    if (pUnit != nullptr) m_profile = pUnit->GetProfile();
    Init();
}

void CConnectionListItem::Init()
{
    setAcceptHoverEvents(true);
    setPen(QPen(Qt::transparent));
    m_selectButton = new CPushButton(tr("Select"), Sound::SeNextStep);
    m_selectButton->setAutoDefault(true);
    m_selectButton->setEnabled(false);
    CreateItems();
    connect(m_selectButton, &QPushButton::clicked, this, &CConnectionListItem::Select);
}

CSimpleTextItem* CConnectionListItem::AddText(const QString& text)
{
    auto* item = new CSimpleTextItem(text, this);
    m_texts.push_back(item);
    return item;
}

void CConnectionListItem::CreateItems()
{
    const bool isOther =
        m_rivalRules != nullptr && (m_gameEdit == nullptr || m_rivalRules != &m_gameEdit->GetInfo());
    CSimpleTextItem* player = AddText(tr("Player: "));
    player->setPos(12, 4);
    AddText(GetProfileName(m_profile))->SetRightPosOf(player);

    CSimpleTextItem* host = AddText(tr("Host: "));
    host->SetBottomPosOf(player, RowGap);
    CSimpleTextItem* hostValue =
        AddText(CGUIHostTypeNames::GetInstance().Get(static_cast<HostType>(m_profile.OriginFlag)));
    hostValue->SetRightPosOf(host);
    CSimpleTextItem* command = AddText(tr("Command: "));
    command->SetRightPosOf(hostValue, 12);
    AddText(CGUICommandModeNames::GetInstance().Get(static_cast<UnitType>(m_profile.Type)))
        ->SetRightPosOf(command);

    CSimpleTextItem* address = AddText(tr("IP Address: "));
    address->SetBottomPosOf(host, RowGap);
    CSimpleTextItem* addressValue = AddText(QString::fromStdString(m_profile.Address));
    addressValue->SetRightPosOf(address);
    CSimpleTextItem* port = AddText(tr("Port: "));
    port->SetRightPosOf(addressValue, 12);
    AddText(m_profile.Port == 0 ? tr("Default") : QString::number(m_profile.Port))->SetRightPosOf(port);

    if (isOther && m_gameEdit != nullptr) {
        CSimpleTextItem* rule = AddText(tr("Rule Condition: "));
        rule->SetBottomPosOf(address, RowGap);
        AddText(m_gameEdit->IsSameRule(*m_rivalRules) ? tr("Match") : tr("Mismatch"))->SetRightPosOf(rule);
    }

    m_selectButton->setMinimumWidth(m_selectButton->sizeHint().width() * 3 / 2);
    m_selectItem = new QGraphicsProxyWidget(this);
    m_selectItem->setWidget(m_selectButton);
    m_selectItem->setVisible(false);
    setRect(TextArea());
}

QRectF CConnectionListItem::TextArea() const
{
    // The texts hang from one another, so they are measured in the row's own
    // coordinates.
    QRectF bounds;
    for (const CSimpleTextItem* text : m_texts) bounds |= text->mapRectToItem(this, text->boundingRect());
    return QRectF(0, 0, bounds.right() + 11, bounds.bottom() + 4);
}

bool CConnectionListItem::IsSelectable() const
{
    return m_selectButton->isEnabled();
}

void CConnectionListItem::SetCode(MessageCode code)
{
    m_entry.Code = code;
}

void CConnectionListItem::SetCode(MessageCode code, MessageCode detail)
{
    m_entry.Code = code;
    m_entry.SecondCode = detail;
}

void CConnectionListItem::SetSelectable(bool isSelectable)
{
    const bool enabled = isSelectable && static_cast<bool>(m_callback);
    m_selectButton->setEnabled(enabled);
    for (CSimpleTextItem* text : m_texts) text->setBrush(enabled ? TextColor : DisabledTextColor);
}

void CConnectionListItem::SetCallbackOnSelecting(std::function<void()> callback)
{
    m_callback = std::move(callback);
    const bool shown = static_cast<bool>(m_callback);
    if (shown != m_selectItem->isVisible()) {
        prepareGeometryChange();
        m_selectItem->setVisible(shown);
        QRectF area = TextArea();
        if (shown) {
            const QSizeF button = m_selectItem->size();
            area.setHeight(area.height() + button.height() + RowGap);
            area.setWidth(std::max(area.width(), button.width() + 24));
            m_selectItem->setPos(area.right() - 12 - button.width(),
                                 area.bottom() - RowGap - button.height());
        }
        setRect(area);
    }
    SetSelectable(shown);
}

void CConnectionListItem::Select()
{
    if (!m_selectButton->isEnabled() || !m_callback) return;
    // The callback may remove this row; nothing of it is touched afterwards
    // unless it is still there.
    QPointer<CConnectionListItem> self(this);
    const std::function<void()> callback = m_callback;
    try {
        callback();
    } catch (const std::exception& error) {
        qWarning("A row could not be selected: %s", error.what());
    }
    if (self) SetSelectable(false);
}

void CConnectionListItem::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    if (m_selectButton->isEnabled()) {
        setBrush(HighlightColor);
        emit Hovered(m_rivalRules);
    }
    QGraphicsRectItem::hoverEnterEvent(event);
}

void CConnectionListItem::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    setBrush(Qt::transparent);
    emit Hovered(nullptr);
    QGraphicsRectItem::hoverLeaveEvent(event);
}

void ArrangeConnectionRows(const std::vector<CConnectionListItem*>& rows, QPointF origin, qreal columnGap,
                           qreal lineGap)
{
    qreal top = origin.y();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        CConnectionListItem* row = rows[i];
        if (i % 2 == 1) {
            const CConnectionListItem* left = rows[i - 1];
            row->setPos(left->x() + left->rect().width() + columnGap, left->y());
            continue;
        }
        if (i > 0) {
            // Below the taller of the two rows of the line before.
            const CConnectionListItem* first = rows[i - 2];
            const CConnectionListItem* previous = rows[i - 1];
            top = std::max(first->y() + first->rect().height(), previous->y() + previous->rect().height()) +
                  lineGap;
        }
        row->setPos(origin.x(), top);
    }
}

} // namespace Marevane
