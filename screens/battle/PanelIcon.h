// One panel of the battle map: the panel's picture (the unknown picture
// until the side may know its type), the hover, selectable and selected
// highlights, and the clicks and hovering reported to the map. Boundary
// panels are laid out with the rest but stay invisible and take no input.
#pragma once

#include "gui/Icon.h"

#include <QColor>
#include <QHash>
#include <QRect>

class QGraphicsRectItem;

namespace Marevane {

class CPanel;
class CPanelIcon;

// The map's panel icons by the panel they show.
using PanelIconTable = QHash<const CPanel*, CPanelIcon*>;

class CPanelIcon : public CIcon {
    Q_OBJECT
  public:
    // The panel may be null (a sea picture with nothing to place).
    CPanelIcon(CPanel* pPanel, int top, int left);
    ~CPanelIcon() override;

    // Moves the icon to its cell of a grid whose top-left cell is at (left, top).
    void SetPosition(int top, int left);
    // The highlight area in item coordinates.
    QRect GetRect() const;
    // A click: nothing on a boundary panel; else the selection sound, then
    // ClickedSelectable when selectable, otherwise Clicked.
    void SendClick();

    bool IsBoundary() const;
    bool IsKnown() const { return m_isKnown; }
    // Whether the panel's own type is shown; answers whether that changed.
    bool SetKnown(bool isKnown);
    bool IsAlwaysShown() const { return m_isAlwaysShown; }
    bool IsSelected() const { return m_isSelected; }
    void SetSelected(bool isSelected);
    bool IsSelectable() const { return m_isSelectable; }
    void SetSelectable(bool isSelectable);
    // The hover highlight, also used for the keyboard's pointed panel; a
    // selected panel keeps its own colour.
    void SetPointed(bool isPointed);
    QColor GetSelectionBrush() const;
    QColor GetHoverBrush() const;

    static const QColor& NormalColor();
    static const QColor& HoverColor();
    static const QColor& SelectedColor();
    static const QColor& SelectableColor();

  public slots:
    QPixmap GetPixmap() const override;
    Marevane::CPanel* GetPanel() const override { return m_panel; }
    void ChangeImage(int) override {}
    int SetImagePattern(int pattern) override;

  signals:
    void Clicked(Marevane::CPanelIcon* pPanelIcon);
    void ClickedSelectable(Marevane::CPanelIcon* pPanelIcon);
    void Hovered(Marevane::CPanelIcon* pPanelIcon);

  protected:
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;

  private:
    void RefreshPixmap();
    void RefreshSelectionBrush();

    CPanel* m_panel;
    QGraphicsRectItem* m_selectionRect;
    QGraphicsRectItem* m_hoverRect;
    bool m_isKnown = false;
    bool m_isAlwaysShown = false;
    bool m_isSelected = false;
    bool m_isSelectable = false;
};

} // namespace Marevane
