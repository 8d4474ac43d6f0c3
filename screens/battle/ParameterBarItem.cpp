#include "screens/battle/ParameterBarItem.h"

#include "gui/Style.h"

#include <QPainter>

#include <algorithm>

namespace Marevane {

CParameterBarItem::CParameterBarItem(std::uint32_t current, std::uint32_t maximum, const QRect& rect,
                                     QGraphicsItem* parent)
    : QGraphicsRectItem(QRectF(rect), parent), m_fillColor(BarGreyColor), m_fillRect(rect),
      m_framePen(BarPen())
{
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    setPen(Qt::NoPen);
    Update(current, maximum);
}

void CParameterBarItem::Update(std::uint32_t current, std::uint32_t maximum)
{
    m_current = std::min(current, maximum);
    m_maximum = maximum;
    const QRect bar = rect().toRect();
    m_fillRect = bar;
    if (maximum == 0) {
        setBrush(Qt::NoBrush);
        m_fillRect.setRight(bar.left() - 1);
    } else {
        setBrush(BarGreyColor);
        const int width = static_cast<int>(static_cast<double>(m_current) / maximum * rect().width());
        m_fillRect.setRight(bar.left() - 1 + width);
    }
    update();
}

void CParameterBarItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    painter->setRenderHint(QPainter::Antialiasing, false);
    QGraphicsRectItem::paint(painter, option, widget);
    if (m_fillRect.width() > 0) painter->fillRect(m_fillRect, m_fillColor);
    painter->setPen(m_framePen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect());
}

} // namespace Marevane
