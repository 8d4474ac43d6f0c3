#include "gui/Popups.h"

#include "gui/Fonts.h"
#include "gui/ScreenText.h"
#include "gui/ScreenTiming.h"
#include "gui/Style.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>

namespace Marevane {

// --- CPopup ---------------------------------------------------------------

CPopup::CPopup(QGraphicsItem* parent)
    : QGraphicsRectItem(0, 0, 0, 0, parent), m_text(new CTextItem(QString(), this))
{
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    setZValue(1000);
    m_text->SetDocumentMargin(4);
    setPen(PopupPen());
    setBrush(QBrush(PopupColor));
    m_hideTimer.setSingleShot(false);
    connect(&m_hideTimer, &QTimer::timeout, this, &CPopup::Hide);
}

void CPopup::SetFixedWidth()
{
    m_isFixedWidth = true;
    m_text->setTextWidth(rect().width());
}

void CPopup::SetWidth(int width)
{
    m_text->setTextWidth(width);
    QRectF box = rect();
    box.setWidth(width);
    setRect(box);
}

void CPopup::SetMessage(const QString& message)
{
    m_text->setPlainText(message);
    if (m_isFixedWidth) {
        QRectF box = rect();
        box.setHeight(m_text->boundingRect().height());
        setRect(box);
    } else {
        // Its own lines, as written.
        m_text->setTextWidth(-1);
        setRect(m_text->boundingRect());
    }
    update(); // the box is drawn only with a text; the cache must follow
}

void CPopup::Show(QPointF pos, QString message, int millisec)
{
    // Screens that keep a notice up show it again and again: once is told.
    if (!isVisible() || message != GetText()) TraceShownText("notice", message);
    SetMessage(message);
    setPos(pos);
    show();
    if (millisec < 1) {
        m_hideTimer.stop();
    } else {
        m_hideTimer.start(ScreenTiming::Scaled(millisec));
    }
}

void CPopup::Show(QPointF pos, QString message)
{
    Show(pos, message, 0);
}

void CPopup::Hide()
{
    m_text->setPlainText(QString());
    hide();
    m_hideTimer.stop();
}

void CPopup::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    if (m_text->document()->isEmpty()) return;
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    QGraphicsRectItem::paint(painter, option, widget);
}

// --- CNotificationBar -----------------------------------------------------

CNotificationBar::CNotificationBar(QGraphicsItem* pAnchorItem, QGraphicsItem* parent)
    : CPopup(parent), m_anchor(pAnchorItem)
{
    SetFixedWidth();
    SetWidth(408);
    AdjustPosition();
    setZValue(1001);
}

void CNotificationBar::Show(QString message, int millisec)
{
    AdjustPosition();
    CPopup::Show(m_pos, message, millisec);
}

void CNotificationBar::Show(QString message)
{
    Show(message, ScreenTiming::Notice);
}

void CNotificationBar::Show(QPoint pos, QString message, int millisec)
{
    CPopup::Show(QPointF(pos), message, millisec);
}

void CNotificationBar::Show(QPoint pos, QString message)
{
    Show(pos, message, ScreenTiming::Notice);
}

void CNotificationBar::AdjustPosition()
{
    const int barWidth = static_cast<int>(rect().width());
    if (m_anchor != nullptr) {
        const QRect anchor = m_anchor->boundingRect().toRect();
        m_pos = QPointF(std::max((anchor.width() - barWidth) / 2, 4), anchor.top() + 4);
    } else {
        m_pos = QPointF(std::max(-barWidth / 2, 4), 4);
    }
}

void CNotificationBar::SetWidth(int width)
{
    CPopup::SetWidth(width);
}

// --- CTooltip -------------------------------------------------------------

CTooltip::CTooltip(QGraphicsItem* parent) : CPopup(parent)
{
    Place(nullptr);
    QFont font = TextFont();
    font.setPixelSize(12);
    GetTextItem()->setFont(font);
    setZValue(1002);
}

void CTooltip::Show(QGraphicsItem* pOffsetItem, QString message, int millisec)
{
    // The box takes the new text's height before it is placed above the item.
    SetMessage(message);
    Place(pOffsetItem);
    CPopup::Show(m_pos, message, millisec);
}

void CTooltip::Show(QGraphicsItem* pOffsetItem, QString message)
{
    Show(pOffsetItem, message, 0);
}

void CTooltip::Place(const QGraphicsItem* pOffsetItem)
{
    if (pOffsetItem != nullptr) {
        const QPointF item = pOffsetItem->scenePos();
        m_pos = QPointF(item.x() + WholePixelSize(pOffsetItem).width() + 4,
                        item.y() - WholePixelSize(this).height() - 4);
        return;
    }
    // The pointer as the scene sees it, through the view it is shown in.
    QPointF pointer = QCursor::pos();
    if (scene() != nullptr && !scene()->views().isEmpty()) {
        const QGraphicsView* view = scene()->views().constFirst();
        pointer = view->mapToScene(view->viewport()->mapFromGlobal(QCursor::pos()));
    }
    m_pos = pointer + QPointF(16, -16);
}

} // namespace Marevane
