#include "gui/TextItems.h"

#include "gui/Fonts.h"
#include "gui/Style.h"

#include <QBrush>
#include <QTextDocument>

namespace Marevane {

namespace {

enum class Side { Left, Right, Top, Bottom };

void PlaceBeside(QGraphicsItem* item, QGraphicsItem* parent, int margin, Side side)
{
    item->setParentItem(parent);
    const QSize own = WholePixelSize(item);
    const QSize other = parent != nullptr ? WholePixelSize(parent) : QSize(0, 0);
    switch (side) {
    case Side::Left:
        item->setPos(-own.width() - margin, 0);
        break;
    case Side::Right:
        item->setPos(other.width() + margin, 0);
        break;
    case Side::Top:
        item->setPos(0, -own.height() - margin);
        break;
    case Side::Bottom:
        item->setPos(0, other.height() + margin);
        break;
    }
}

} // namespace

QSize WholePixelSize(const QGraphicsItem* item)
{
    return item->boundingRect().toRect().size();
}

// --- CTextItem ------------------------------------------------------------

// Without a text width the item keeps to its text's own size, whatever text
// it is given later.
CTextItem::CTextItem(const QString& text, QGraphicsItem* parent) : QGraphicsTextItem(text, parent)
{
    setFont(TextFont());
    setDefaultTextColor(TextColor);
    SetDocumentMargin(0);
    setAcceptHoverEvents(true);
}

void CTextItem::SetDocumentMargin(int margin)
{
    document()->setDocumentMargin(margin);
}

void CTextItem::SetLeftPosOf(QGraphicsItem* pParent, int margin)
{
    PlaceBeside(this, pParent, margin, Side::Left);
}

void CTextItem::SetRightPosOf(QGraphicsItem* pParent, int margin)
{
    PlaceBeside(this, pParent, margin, Side::Right);
}

void CTextItem::SetTopPosOf(QGraphicsItem* pParent, int margin)
{
    PlaceBeside(this, pParent, margin, Side::Top);
}

void CTextItem::SetBottomPosOf(QGraphicsItem* pParent, int margin)
{
    PlaceBeside(this, pParent, margin, Side::Bottom);
}

void CTextItem::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    emit Hovered(this);
    QGraphicsTextItem::hoverEnterEvent(event);
}

void CTextItem::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    emit Hovered(nullptr);
    QGraphicsTextItem::hoverLeaveEvent(event);
}

// --- CSimpleTextItem ------------------------------------------------------

CSimpleTextItem::CSimpleTextItem(const QString& text, QGraphicsItem* parent)
    : QGraphicsSimpleTextItem(text, parent)
{
    setFont(LargeTextFont());
    setBrush(QBrush(TextColor));
    setAcceptHoverEvents(true);
}

void CSimpleTextItem::SetLeftPosOf(QGraphicsItem* pParent, int margin)
{
    PlaceBeside(this, pParent, margin, Side::Left);
}

void CSimpleTextItem::SetRightPosOf(QGraphicsItem* pParent, int margin)
{
    PlaceBeside(this, pParent, margin, Side::Right);
}

void CSimpleTextItem::SetTopPosOf(QGraphicsItem* pParent, int margin)
{
    PlaceBeside(this, pParent, margin, Side::Top);
}

void CSimpleTextItem::SetBottomPosOf(QGraphicsItem* pParent, int margin)
{
    PlaceBeside(this, pParent, margin, Side::Bottom);
}

void CSimpleTextItem::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    emit Hovered(this);
    QGraphicsSimpleTextItem::hoverEnterEvent(event);
}

void CSimpleTextItem::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    emit Hovered(nullptr);
    QGraphicsSimpleTextItem::hoverLeaveEvent(event);
}

} // namespace Marevane
