// Timed boxes of text over a scene: the popup, the notification bar at the
// top of an anchor item, and the tooltip beside an item or the pointer.
// Times are given in milliseconds of real play; the screen timing factor
// (MAREVANE_TIME_SCALE) applies to them. 0 keeps a box up until Hide.
#pragma once

#include "gui/TextItems.h"

#include <QGraphicsRectItem>
#include <QObject>
#include <QPointF>
#include <QTimer>

namespace Marevane {

class CPopup : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    explicit CPopup(QGraphicsItem* parent = nullptr);

    // From now on the box keeps its width and wraps the text at it.
    void SetFixedWidth();
    bool IsFixedWidth() const { return m_isFixedWidth; }
    // Text width and box width.
    void SetWidth(int width);

    QString GetText() const { return m_text->toPlainText(); }
    CTextItem* GetTextItem() const { return m_text; }
    bool IsTimerActive() const { return m_hideTimer.isActive(); }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  public slots:
    void Show(QPointF pos, QString message, int millisec);
    void Show(QPointF pos, QString message);
    // Empties the text, hides and stops the timer.
    void Hide();

  protected:
    // Sets the text and sizes the box to it.
    void SetMessage(const QString& message);

  private:
    CTextItem* m_text;
    QTimer m_hideTimer;
    bool m_isFixedWidth = false;
};

class CNotificationBar : public CPopup {
    Q_OBJECT
  public:
    // Without an anchor the bar stands at (4, 4).
    explicit CNotificationBar(QGraphicsItem* pAnchorItem = nullptr, QGraphicsItem* parent = nullptr);

    QGraphicsItem* GetAnchorItem() const { return m_anchor; }
    void SetAnchorItem(QGraphicsItem* pAnchorItem) { m_anchor = pAnchorItem; }

  public slots:
    // At the top centre of the anchor; 2000 ms unless given.
    void Show(QString message, int millisec);
    void Show(QString message);
    void Show(QPoint pos, QString message, int millisec);
    void Show(QPoint pos, QString message);
    // Centred on the anchor's width, at least 4 from the left, 4 below its top.
    void AdjustPosition();
    void SetWidth(int width);

  private:
    QGraphicsItem* m_anchor;
    QPointF m_pos{4, 0};
};

class CTooltip : public CPopup {
    Q_OBJECT
  public:
    explicit CTooltip(QGraphicsItem* parent = nullptr);

  public slots:
    // Above and to the right of the item; without one 16 pixels right of
    // and above the pointer.
    void Show(QGraphicsItem* pOffsetItem, QString message, int millisec);
    void Show(QGraphicsItem* pOffsetItem, QString message);

  private:
    void Place(const QGraphicsItem* pOffsetItem);

    QPointF m_pos{0, 0};
};

} // namespace Marevane
