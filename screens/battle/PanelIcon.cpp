#include "screens/battle/PanelIcon.h"

#include "gui/ResourcePools.h"
#include "gui/SoundFeedback.h"
#include "model/Panel.h"

#include <QBrush>
#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPen>

namespace Marevane {

namespace {

QGraphicsRectItem* MakeHighlight(QGraphicsItem* parent)
{
    auto* rect = new QGraphicsRectItem(parent);
    rect->setPen(Qt::NoPen);
    rect->setBrush(CPanelIcon::NormalColor());
    // Highlights never take the mouse from the panel.
    rect->setAcceptedMouseButtons(Qt::NoButton);
    return rect;
}

} // namespace

const QColor& CPanelIcon::NormalColor()
{
    static const QColor color(Qt::transparent);
    return color;
}

const QColor& CPanelIcon::HoverColor()
{
    static const QColor color(235, 235, 235, 45);
    return color;
}

const QColor& CPanelIcon::SelectedColor()
{
    static const QColor color(40, 165, 55, 105);
    return color;
}

const QColor& CPanelIcon::SelectableColor()
{
    static const QColor color(30, 30, 145, 105);
    return color;
}

CPanelIcon::CPanelIcon(CPanel* pPanel, int top, int left) : m_panel(pPanel)
{
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    setFlag(QGraphicsItem::ItemDoesntPropagateOpacityToChildren);
    m_isAlwaysShown = IsBoundary();
    setPixmap(GetPixmap());
    m_selectionRect = MakeHighlight(this);
    m_hoverRect = MakeHighlight(m_selectionRect);
    if (m_panel != nullptr && !IsBoundary()) {
        setAcceptHoverEvents(true);
        setAcceptedMouseButtons(Qt::LeftButton);
    } else {
        setAcceptHoverEvents(false);
        setAcceptedMouseButtons(Qt::NoButton);
    }
    // The boundary ring keeps its place in the grid but is never seen.
    if (IsBoundary()) setVisible(false);
    if (m_panel != nullptr) {
        SetPosition(top, left);
    } else {
        m_selectionRect->setRect(0, 0, pixmap().width(), pixmap().height());
        m_hoverRect->setRect(m_selectionRect->rect());
    }
}

CPanelIcon::~CPanelIcon() = default;

bool CPanelIcon::IsBoundary() const
{
    return m_panel != nullptr && m_panel->GetType() == PanelBoundary;
}

void CPanelIcon::SetPosition(int top, int left)
{
    const QPixmap picture = GetPixmap();
    if (m_panel != nullptr) {
        setPos(left + static_cast<int>(m_panel->GetY()) * picture.width(),
               top + static_cast<int>(m_panel->GetX()) * picture.height());
    }
    m_selectionRect->setRect(0, 0, picture.width(), picture.height());
    m_hoverRect->setRect(m_selectionRect->rect());
}

QRect CPanelIcon::GetRect() const
{
    return m_selectionRect->rect().toRect();
}

QPixmap CPanelIcon::GetPixmap() const
{
    const CPanelResourcePool& pool = CPanelResourcePool::GetInstance();
    if (m_panel == nullptr) return pool.Get(PanelSea);
    return pool.Get(m_isKnown || m_isAlwaysShown ? m_panel->GetType() : PanelUnknown);
}

int CPanelIcon::SetImagePattern(int pattern)
{
    return CIcon::SetImagePattern(pattern);
}

bool CPanelIcon::SetKnown(bool isKnown)
{
    if (m_isKnown == isKnown) return false;
    m_isKnown = isKnown;
    RefreshPixmap();
    return true;
}

void CPanelIcon::SetSelected(bool isSelected)
{
    m_isSelected = isSelected;
    RefreshSelectionBrush();
}

void CPanelIcon::SetSelectable(bool isSelectable)
{
    m_isSelectable = isSelectable;
    RefreshSelectionBrush();
}

void CPanelIcon::SetPointed(bool isPointed)
{
    m_hoverRect->setBrush(isPointed && !m_isSelected ? HoverColor() : NormalColor());
}

QColor CPanelIcon::GetSelectionBrush() const
{
    return m_selectionRect->brush().color();
}

QColor CPanelIcon::GetHoverBrush() const
{
    return m_hoverRect->brush().color();
}

void CPanelIcon::RefreshPixmap()
{
    const QPixmap picture = GetPixmap();
    if (picture.cacheKey() != pixmap().cacheKey()) setPixmap(picture);
    update();
}

void CPanelIcon::RefreshSelectionBrush()
{
    if (IsBoundary()) {
        m_selectionRect->setBrush(NormalColor());
    } else if (m_isSelected) {
        m_selectionRect->setBrush(SelectedColor());
        m_hoverRect->setBrush(NormalColor());
    } else {
        m_selectionRect->setBrush(m_isSelectable ? SelectableColor() : NormalColor());
    }
    update();
}

void CPanelIcon::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    // The boundary ring is laid out but never drawn.
    if (IsBoundary()) return;
    QGraphicsPixmapItem::paint(painter, option, widget);
}

void CPanelIcon::SendClick()
{
    if (m_panel == nullptr || IsBoundary()) return;
    PlaySoundEffect(Sound::SeDefaultSelected, true);
    if (m_isSelectable) {
        emit ClickedSelectable(this);
    } else {
        emit Clicked(this);
    }
}

void CPanelIcon::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !IsBoundary()) SendClick();
    QGraphicsPixmapItem::mousePressEvent(event);
}

void CPanelIcon::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    if (!IsBoundary()) {
        if (!m_isSelected) {
            m_hoverRect->setBrush(HoverColor());
            PlaySoundEffect(Sound::SeDefaultPointed, true);
        }
        emit Hovered(this);
    }
    QGraphicsPixmapItem::hoverEnterEvent(event);
}

void CPanelIcon::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    if (!IsBoundary()) {
        m_hoverRect->setBrush(NormalColor());
        emit Hovered(nullptr);
    }
    QGraphicsPixmapItem::hoverLeaveEvent(event);
}

} // namespace Marevane
