// The two text items of the scenes: a rich text item in the text font and a
// simple one in the large text font. Both report the pointer entering
// (themselves) and leaving (null), and place themselves beside another
// item, which becomes their parent.
#pragma once

#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QObject>

namespace Marevane {

class CTextItem : public QGraphicsTextItem {
    Q_OBJECT
  public:
    explicit CTextItem(const QString& text = QString(), QGraphicsItem* parent = nullptr);

    void SetDocumentMargin(int margin);

  signals:
    void Hovered(const Marevane::CTextItem* pTextItem);

  public slots:
    // Left: x = -(own width) - margin; right: x = parent width + margin;
    // top: y = -(own height) - margin; bottom: y = parent height + margin.
    void SetLeftPosOf(QGraphicsItem* pParent, int margin = 0);
    void SetRightPosOf(QGraphicsItem* pParent, int margin = 0);
    void SetTopPosOf(QGraphicsItem* pParent, int margin = 0);
    void SetBottomPosOf(QGraphicsItem* pParent, int margin = 0);

  protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
};

class CSimpleTextItem : public QObject, public QGraphicsSimpleTextItem {
    Q_OBJECT
  public:
    explicit CSimpleTextItem(const QString& text = QString(), QGraphicsItem* parent = nullptr);

  signals:
    void Hovered(const Marevane::CSimpleTextItem* pTextItem);

  public slots:
    void SetLeftPosOf(QGraphicsItem* pParent, int margin = 0);
    void SetRightPosOf(QGraphicsItem* pParent, int margin = 0);
    void SetTopPosOf(QGraphicsItem* pParent, int margin = 0);
    void SetBottomPosOf(QGraphicsItem* pParent, int margin = 0);

  protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
};

// The size of an item's bounding rect, rounded to whole pixels.
QSize WholePixelSize(const QGraphicsItem* item);

} // namespace Marevane
