// The value bar under a ship card's hit point, fuel and weapon texts: a
// grey track, a coloured part for the current value, and a thin frame.
#pragma once

#include <QColor>
#include <QGraphicsRectItem>
#include <QPen>
#include <QRect>

#include <cstdint>

namespace Marevane {

class CParameterBarItem : public QGraphicsRectItem {
  public:
    CParameterBarItem(std::uint32_t current, std::uint32_t maximum, const QRect& rect,
                      QGraphicsItem* parent = nullptr);

    // A value above the maximum fills the whole bar: a display update never
    // fails, whatever the model reports.
    void Update(std::uint32_t current, std::uint32_t maximum);

    void SetFillColor(const QColor& color) { m_fillColor = color; }
    const QColor& GetFillColor() const { return m_fillColor; }
    std::uint32_t GetCurrent() const { return m_current; }
    std::uint32_t GetMaximum() const { return m_maximum; }
    // The coloured part; empty (width 0) without a maximum.
    int GetFillWidth() const { return m_fillRect.width(); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  private:
    QColor m_fillColor;
    QRect m_fillRect;
    QPen m_framePen;
    std::uint32_t m_current = 0;
    std::uint32_t m_maximum = 0;
};

} // namespace Marevane
