// The base of the pictures that stand for something on a board: ships,
// panels, mines, torpedoes and logos. An icon is a pixmap item that is also
// a QObject, so animations can move and fade it, and it keeps the number of
// the picture variant it shows (facing, surfaced, sinking).
#pragma once

#include <QGraphicsPixmapItem>
#include <QObject>
#include <QPixmap>
#include <QPointF>

namespace Marevane {

class CPanel;

class CIcon : public QObject, public QGraphicsPixmapItem {
    Q_OBJECT
    Q_PROPERTY(qreal opacity READ opacity WRITE setOpacity)
    Q_PROPERTY(QPointF pos READ pos WRITE setPos)
  public:
    explicit CIcon(QGraphicsItem* parent = nullptr);
    explicit CIcon(const QPixmap& pixmap, QGraphicsItem* parent = nullptr);
    ~CIcon() override;

    // The picture variant last stored, 0 at first.
    int GetImagePattern() const { return m_imagePattern; }

  public slots:
    // The picture of the icon's current state; the shown one by default.
    virtual QPixmap GetPixmap() const;
    // The panel the icon stands for or on; none by default.
    virtual Marevane::CPanel* GetPanel() const;
    // Shows the picture of a variant now without storing it; nothing by default.
    virtual void ChangeImage(int pattern);
    // Stores the variant and answers it.
    virtual int SetImagePattern(int pattern);

  private:
    int m_imagePattern = 0;
};

} // namespace Marevane
