#include "screens/battle/StatusLists.h"

#include "gui/Fonts.h"
#include "gui/ResourcePools.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "model/Panel.h"
#include "model/Score.h"
#include "model/Ship.h"
#include "model/Unit.h"
#include "model/texts/NameTables.h"
#include "model/texts/StatisticsTexts.h"
#include "screens/battle/ShipProfileItems.h"

#include <QGraphicsPixmapItem>
#include <QTextDocument>

namespace Marevane {

namespace {

constexpr int AllPlayRecord = 1;
constexpr int BattleRecord = 0;

// The down-pointing triangle that opens a title.
const QChar TitleMark(0x25BC);

} // namespace

// --- CShipStatusCollection --------------------------------------------------------

CShipStatusCollection::CShipStatusCollection(const QRectF& rect, QGraphicsItem* parent)
    : CListCollection(rect, parent)
{
}

void CShipStatusCollection::Clear()
{
    CListCollection::Clear();
    m_head = nullptr;
}

void CShipStatusCollection::AdjustPosition(QSize size)
{
    CListCollection::AdjustPosition(size, m_head);
}

void CShipStatusCollection::SetShip(const CShip* pShip)
{
    Clear();
    if (pShip == nullptr) return;
    const ShipProfile& profile = pShip->GetProfile();
    m_head = new CShipProfileItem(&profile, LeftMargin(), 0, this);
    m_head->setAcceptHoverEvents(false);
    m_head->setAcceptedMouseButtons(Qt::NoButton);
    m_head->setFlag(QGraphicsItem::ItemIsFocusable, false);

    // Current status.
    m_labels << CreateTextItem(tr("Current Status: "), this);
    m_values << CreateTextItem(
        CGUIShipStatusNames::GetInstance().GetStatusText(profile.Status, profile.Condition), this);

    // Current panel: coordinates, picture, name.
    m_labels << CreateTextItem(tr("Current Panel: "), this);
    auto* panelBox = new QGraphicsRectItem(this);
    panelBox->setPen(Qt::NoPen);
    if (const CPanel* panel = pShip->GetCurrentPanel()) {
        auto* coordinate = CreateTextItem(QString::fromStdWString(panel->GetCoordinateText()), panelBox);
        const QPixmap picture = CPanelResourcePool::GetInstance().Get(panel->GetType());
        auto* name = CreateTextItem(CGUIPanelNames::GetInstance().Get(panel->GetType()), panelBox);
        const qreal quarterWidth = picture.width() / 4.0;
        auto* pictureItem = new QGraphicsPixmapItem(picture, panelBox);
        const qreal coordinateWidth = coordinate->boundingRect().width();
        pictureItem->setPos(coordinateWidth + quarterWidth, picture.height() / 4.0);
        name->setPos(pictureItem->x() + picture.width() + quarterWidth, 0);
        coordinate->setPos(0, 0);
        panelBox->setRect(0, 0, name->x() + name->boundingRect().width(),
                          std::max(name->boundingRect().height(), pictureItem->y() + picture.height()));
    } else {
        auto* none = CreateTextItem(QStringLiteral("-"), panelBox);
        panelBox->setRect(none->boundingRect());
    }
    m_values << panelBox;

    // Abilities.
    const ShipConfigSet& config = profile.Config;
    QStringList abilities;
    if (config.CanStealth) abilities << CGUIShipStatusNames::GetInstance().Get(ShipStatusStealth);
    if (config.CanFireTorpedo) abilities << CGUICommandNames::GetInstance().Get(CommandTorpedo);
    if (config.CanLayMine) abilities << CGUICommandNames::GetInstance().Get(CommandMine);
    if (config.CanRefuel) abilities << CGUICommandNames::GetInstance().Get(CommandRefuel);
    m_labels << CreateTextItem(tr("Ship Ability: "), this);
    CTextItem* abilityText =
        CreateTextItem(abilities.isEmpty() ? tr("none") : abilities.join(QStringLiteral(", ")), this);
    if (abilities.isEmpty()) abilityText->setDefaultTextColor(DisabledTextColor);
    m_values << abilityText;

    AdjustToOffsetItem(m_head);
}

// --- CStatsListCollection ---------------------------------------------------------

CStatsListCollection::CStatsListCollection(const QRectF& rect, QGraphicsItem* parent)
    : CListCollection(rect, parent)
{
}

void CStatsListCollection::Clear()
{
    CListCollection::Clear();
    m_head = nullptr;
}

void CStatsListCollection::AdjustPosition(QSize size)
{
    CListCollection::AdjustPosition(size, m_head);
}

void CStatsListCollection::CreateRows(const QStringList& labels, const QStringList& values)
{
    for (const QString& value : values) {
        CTextItem* item = CreateTextItem(value, this);
        QTextOption option = item->document()->defaultTextOption();
        option.setAlignment(Qt::AlignRight);
        item->document()->setDefaultTextOption(option);
        item->setTextWidth(-1);
        m_values << item;
    }
    for (const QString& label : labels) {
        CTextItem* item = CreateTextItem(label, this);
        item->adjustSize();
        m_labels << item;
    }
}

void CStatsListCollection::SetUnitStatistics(const CUnit* pUnit, bool isAllPlay)
{
    Clear();
    if (pUnit == nullptr) return;
    const ActionStatistics& record = pUnit->GetStatistics(isAllPlay ? AllPlayRecord : BattleRecord);
    StatisticsTexts texts = GetStatisticsText(record);
    if (!isAllPlay && !texts.first.isEmpty()) {
        texts.first.removeLast();
        texts.second.removeLast();
    }
    CreateRows(texts.first, texts.second);
    AdjustToOffsetItem(nullptr);
}

void CStatsListCollection::SetShipStatistics(const CShip* pShip)
{
    Clear();
    if (pShip == nullptr) return;
    const StatisticsTexts texts = GetStatisticsTextLists(pShip->GetProfile().Statistics);
    CreateRows(texts.first, texts.second);
    AdjustToOffsetItem(nullptr);
}

void CStatsListCollection::SetUnit(CUnit* pUnit, bool isAllPlay)
{
    Clear();
    if (pUnit == nullptr) return;
    CTextItem* title =
        CreateTextItem(QString(TitleMark) + GetPlayerName(*pUnit) + tr("'s Battle Statistics"), this);
    title->setPos(LeftMargin(), 0);
    title->setTextWidth(rect().width() - LeftMargin() - 12);
    m_head = title;

    ActionStatistics& record = pUnit->GetStatistics(isAllPlay ? AllPlayRecord : BattleRecord);
    if (!isAllPlay) record.Score = CalculateScore(record);
    const StatisticsTexts texts = GetStatisticsText(record);
    CreateRows(texts.first, texts.second);
    for (QGraphicsItem* last :
         {m_labels.isEmpty() ? nullptr : m_labels.last(), m_values.isEmpty() ? nullptr : m_values.last()}) {
        if (auto* text = dynamic_cast<CTextItem*>(last)) {
            text->setFont(NameTextFont());
            text->adjustSize();
        }
    }
    AdjustToOffsetItem(m_head);
}

} // namespace Marevane
