// The picture of one ship: its facing, its stealth, its number, its side's
// mark and, for the flagship, a small flag. On the map it stands on the
// panel icon of the ship's panel; an icon of a ship type alone (the fleet
// lists and cards) can be dragged onto the map and carries the type, side
// and ship id in three MIME formats.
#pragma once

#include "gui/Icon.h"
#include "screens/battle/PanelIcon.h"

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QPointF>

#include <cstdint>

class QGraphicsPixmapItem;
class QMimeData;

namespace Marevane {

class CShip;

class CShipIcon : public CIcon {
    Q_OBJECT
  public:
    // The icon of a ship on the map, placed on its panel's icon when the
    // table holds it; a sinking ship's icon is built unplaced and unseen.
    CShipIcon(CShip* pShip, const PanelIconTable& table);
    // An icon of a ship type alone, draggable, at pos; it makes no labels
    // or flag by itself.
    CShipIcon(std::uint32_t shipType, std::uint32_t unitId, const QPoint& pos);
    ~CShipIcon() override;

    CShip* GetShip() const { return m_ship; }
    std::uint32_t GetUnitId() const;
    std::uint32_t GetShipId() const;
    // The number an icon without a ship shows (a profile card's); call
    // CreateLabels after it.
    void SetShipId(std::uint32_t shipId) { m_shipId = shipId; }
    std::uint32_t GetShipType() const;
    CPanelIcon* GetPanelIcon() const { return m_panelIcon; }
    bool IsDraggable() const { return m_isDraggable; }
    void SetDraggable(bool isDraggable) { m_isDraggable = isDraggable; }
    bool IsFlagship() const;
    void SetFlagship(bool isFlagship) { m_isFlagship = isFlagship; }
    const QPixmap& GetNormalPixmap() const { return m_normal; }
    const QPixmap& GetSubmergedPixmap() const { return m_submerged; }

    // The ship number at the lower right and the hidden side mark ("2P") at
    // the upper left, in bitmap characters.
    void CreateLabels();
    // The side's flag, shown for the flagship.
    void CreateFlagMark();
    const QList<QGraphicsPixmapItem*>& GetIdDigits() const { return m_idDigits; }
    const QList<QGraphicsPixmapItem*>& GetPlayerMark() const { return m_playerMark; }
    QGraphicsPixmapItem* GetFlagMark() const { return m_flagMark; }
    bool IsPlayerMarkShown() const { return m_isPlayerMarkShown; }
    void ShowPlayerMark();

    // The picture and opacity of the ship's state: unseen while sinking,
    // the submerged picture at half opacity while stealthed.
    void UpdateLook();
    // The blink of a surfacing submarine: 1 and 3 submerged, 2 and 4 surfaced.
    void SetSurfacingState(int step);
    // Finds the icon of the ship's panel; false (and nothing stored) when
    // the table has no icon of that panel.
    bool FindPanelIcon(const PanelIconTable& table);
    // Stands on the icon of the ship's panel; an icon that finds none is
    // hidden and stays where it is. Answers whether it was placed.
    bool MoveToPanel(const PanelIconTable& table);
    void MoveToPanelIcon();

    // The drag data of a ship: "enum/ShipType", "uint/PlayerId" and
    // "uint/ShipId", in that order, each the decimal text of the number.
    static QMimeData* MakeDragData(std::uint32_t shipType, std::uint32_t unitId, std::uint32_t shipId);
    // A facing of any number as 0 to 3.
    static int NormalizePattern(int pattern);

    QRectF boundingRect() const override;

  public slots:
    QPixmap GetPixmap() const override;
    Marevane::CPanel* GetPanel() const override;
    void ChangeImage(int pattern) override;
    int SetImagePattern(int pattern) override;
    void StopDrag();

  signals:
    void DragStarted(const Marevane::CShipIcon* pShipIcon);
    void DragStopped(const Marevane::CShipIcon* pShipIcon);

  protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    QPixmap Picture(int pattern) const;
    bool HasStealth() const;
    bool IsShipSinking() const;
    bool IsShipStealthed() const;
    void LoadPictures(int pattern);
    QList<QGraphicsPixmapItem*> MakeCharacters(const QString& text, bool isVisible);
    void ClearLabels();
    void StartDrag(QGraphicsSceneMouseEvent* event);

    bool m_isDraggable = false;
    bool m_isPlayerMarkShown = false;
    bool m_isFlagship = false;
    QPixmap m_normal;
    QPixmap m_submerged;
    QList<QGraphicsPixmapItem*> m_idDigits;
    QList<QGraphicsPixmapItem*> m_playerMark;
    QGraphicsPixmapItem* m_flagMark = nullptr;
    CShip* m_ship = nullptr;
    CPanelIcon* m_panelIcon = nullptr;
    std::uint32_t m_unitId = static_cast<std::uint32_t>(-1);
    std::uint32_t m_shipId = 0;
    std::uint32_t m_shipType = 0;
    QPointF m_pressPos;
};

} // namespace Marevane
