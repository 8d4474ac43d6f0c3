#include "screens/battle/ShipIcon.h"

#include "gui/ResourcePools.h"
#include "model/Panel.h"
#include "model/Ship.h"

#include <QApplication>
#include <QDrag>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QMimeData>
#include <QPainter>
#include <QVariant>
#include <QWidget>

namespace Marevane {

namespace {

QPixmap Character(QChar c)
{
    return CBitmapCharacterResourcePool::GetInstance().Get(
        std::wstring(1, static_cast<wchar_t>(c.unicode())));
}

} // namespace

CShipIcon::CShipIcon(CShip* pShip, const PanelIconTable& table) : m_ship(pShip)
{
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    if (m_ship != nullptr) {
        // A sinking ship's icon keeps its side, so its mark and flag are the side's.
        m_unitId = m_ship->GetUnitId();
        m_shipId = m_ship->GetShipId();
        m_shipType = m_ship->GetType();
        m_isFlagship = m_ship->GetProfile().IsFlagship;
    }
    LoadPictures(ImageLeft);
    setPixmap(GetPixmap());
    if (m_ship != nullptr && !IsShipSinking()) {
        setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
        MoveToPanel(table);
    } else {
        setAcceptedMouseButtons(Qt::NoButton);
        UpdateLook();
    }
    CreateLabels();
    CreateFlagMark();
}

CShipIcon::CShipIcon(std::uint32_t shipType, std::uint32_t unitId, const QPoint& pos)
    : m_isDraggable(true), m_unitId(unitId), m_shipType(shipType)
{
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    LoadPictures(ImageLeft);
    setPixmap(m_normal);
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
    setPos(pos);
}

CShipIcon::~CShipIcon() = default;

std::uint32_t CShipIcon::GetUnitId() const
{
    return m_ship != nullptr ? m_ship->GetUnitId() : m_unitId;
}

std::uint32_t CShipIcon::GetShipId() const
{
    return m_ship != nullptr ? m_ship->GetShipId() : m_shipId;
}

std::uint32_t CShipIcon::GetShipType() const
{
    return m_ship != nullptr ? m_ship->GetType() : m_shipType;
}

bool CShipIcon::IsFlagship() const
{
    return m_ship != nullptr ? m_ship->GetProfile().IsFlagship : m_isFlagship;
}

bool CShipIcon::HasStealth() const
{
    return m_ship != nullptr ? m_ship->GetConfig().CanStealth : m_shipType == ShipTypeSubmarine;
}

bool CShipIcon::IsShipSinking() const
{
    return m_ship != nullptr && m_ship->IsSinking();
}

bool CShipIcon::IsShipStealthed() const
{
    return m_ship != nullptr && m_ship->IsStealthed();
}

int CShipIcon::NormalizePattern(int pattern)
{
    return ((pattern % 4) + 4) % 4;
}

QPixmap CShipIcon::Picture(int pattern) const
{
    return CShipResourcePool::GetInstance(GetUnitId())
        .FindPixmap(static_cast<ShipType>(GetShipType()), static_cast<ImagePattern>(pattern));
}

void CShipIcon::LoadPictures(int pattern)
{
    if (HasStealth()) {
        m_normal = Picture(pattern + 4);
        m_submerged = Picture(pattern);
    } else {
        m_normal = Picture(pattern);
        m_submerged = m_normal;
    }
}

QPixmap CShipIcon::GetPixmap() const
{
    return GetShipType() == ShipTypeSubmarine ? m_submerged : m_normal;
}

CPanel* CShipIcon::GetPanel() const
{
    return m_ship != nullptr ? m_ship->GetCurrentPanel() : nullptr;
}

int CShipIcon::SetImagePattern(int pattern)
{
    const int p = NormalizePattern(pattern);
    if (p != GetImagePattern()) {
        CIcon::SetImagePattern(p);
        LoadPictures(p);
        UpdateLook();
    }
    return p;
}

void CShipIcon::ChangeImage(int pattern)
{
    const bool isSubmarine = GetShipType() == ShipTypeSubmarine;
    const bool isStealthed = IsShipStealthed();
    int p = pattern;
    if (isSubmarine && p < 4 && !isStealthed) p += 4;
    setPixmap(Picture(p));
    setOpacity(isSubmarine && isStealthed && p < 8 ? 0.5 : 1.0);
}

void CShipIcon::UpdateLook()
{
    if (m_ship == nullptr) return;
    const bool isSinking = IsShipSinking();
    if (isSinking) {
        setOpacity(0.0);
    } else if (!IsShipStealthed()) {
        setPixmap(m_normal);
        setOpacity(1.0);
    } else {
        setPixmap(m_submerged);
        setOpacity(0.5);
    }
    // The labels stay sharp over a half-seen submarine, and go with a sunk ship.
    setFlag(QGraphicsItem::ItemDoesntPropagateOpacityToChildren, isEnabled() && !isSinking);
    if (m_flagMark != nullptr) m_flagMark->setVisible(!isSinking && IsFlagship());
}

void CShipIcon::SetSurfacingState(int step)
{
    if (step == 1 || step == 3) {
        setPixmap(m_submerged);
        setOpacity(0.5);
    } else if (step == 2 || step == 4) {
        setPixmap(m_normal);
        setOpacity(1.0);
    }
}

bool CShipIcon::FindPanelIcon(const PanelIconTable& table)
{
    if (m_ship == nullptr) return false;
    const CPanel* panel = m_ship->GetCurrentPanel();
    CPanelIcon* icon = table.value(panel, nullptr);
    if (panel == nullptr || icon == nullptr || icon->GetPanel() != panel) return false;
    m_panelIcon = icon;
    return true;
}

bool CShipIcon::MoveToPanel(const PanelIconTable& table)
{
    if (!FindPanelIcon(table)) {
        setVisible(false);
        return false;
    }
    setVisible(true);
    MoveToPanelIcon();
    UpdateLook();
    return true;
}

void CShipIcon::MoveToPanelIcon()
{
    if (m_panelIcon != nullptr) setPos(m_panelIcon->pos());
}

QList<QGraphicsPixmapItem*> CShipIcon::MakeCharacters(const QString& text, bool isVisible)
{
    QList<QGraphicsPixmapItem*> items;
    items.reserve(2);
    for (const QChar c : text) {
        auto* item = new QGraphicsPixmapItem(Character(c), this);
        item->setOpacity(1.0);
        item->setVisible(isVisible);
        items.append(item);
    }
    return items;
}

void CShipIcon::ClearLabels()
{
    for (QList<QGraphicsPixmapItem*>* list : {&m_idDigits, &m_playerMark}) {
        qDeleteAll(*list);
        list->clear();
    }
}

void CShipIcon::CreateLabels()
{
    ClearLabels();
    const int width = m_normal.width();
    const int height = m_normal.height();
    const int w2 = width / 2;
    const int h2 = height / 2;
    auto layOut = [](const QList<QGraphicsPixmapItem*>& items, int x, int y) {
        for (QGraphicsPixmapItem* item : items) {
            item->setPos(x, y);
            x += item->pixmap().width();
        }
    };
    const std::uint32_t shipId = GetShipId();
    if (shipId != 0) {
        m_idDigits = MakeCharacters(QString::number(shipId), true);
        const QPixmap first = m_idDigits.front()->pixmap();
        const int n = static_cast<int>(m_idDigits.size());
        layOut(m_idDigits, w2 / 2 + w2 - n * first.width(), h2 / 2 + h2 - first.height());
    }
    if (m_ship != nullptr) {
        m_playerMark =
            MakeCharacters(QString::number(GetUnitId() + 1) + QLatin1Char('P'), m_isPlayerMarkShown);
        layOut(m_playerMark, width / 2 - w2 / 2 - w2 / 8, height / 2 - h2 / 2 - h2 / 4);
    }
}

void CShipIcon::CreateFlagMark()
{
    delete m_flagMark;
    const QPixmap flag = CShipResourcePool::GetInstance(GetUnitId()).GetFlagPixmap();
    m_flagMark = new QGraphicsPixmapItem(flag, this);
    const int w2 = m_normal.width() / 2;
    const int h2 = m_normal.height() / 2;
    m_flagMark->setPos(w2 / 2 - flag.width() + w2 + 2, (m_normal.height() - h2) / 2 - h2 / 4 + 3);
    m_flagMark->setVisible(!IsShipSinking() && IsFlagship());
}

void CShipIcon::ShowPlayerMark()
{
    m_isPlayerMarkShown = true;
    for (QGraphicsPixmapItem* item : m_playerMark) item->setVisible(true);
}

QRectF CShipIcon::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_normal.size());
}

QMimeData* CShipIcon::MakeDragData(std::uint32_t shipType, std::uint32_t unitId, std::uint32_t shipId)
{
    auto* data = new QMimeData;
    data->setData(QStringLiteral("enum/ShipType"), QVariant(static_cast<int>(shipType)).toByteArray());
    data->setData(QStringLiteral("uint/PlayerId"), QVariant(static_cast<uint>(unitId)).toByteArray());
    data->setData(QStringLiteral("uint/ShipId"), QVariant(static_cast<uint>(shipId)).toByteArray());
    return data;
}

void CShipIcon::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (m_isDraggable && event->button() == Qt::LeftButton) {
        m_pressPos = event->pos();
        event->accept();
        return;
    }
    CIcon::mousePressEvent(event);
}

void CShipIcon::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (!m_isDraggable || !(event->buttons() & Qt::LeftButton)) {
        CIcon::mouseMoveEvent(event);
        return;
    }
    if ((event->pos() - m_pressPos).manhattanLength() < QApplication::startDragDistance()) return;
    event->accept();
    emit DragStarted(this);
    StartDrag(event);
}

void CShipIcon::StartDrag(QGraphicsSceneMouseEvent* event)
{
    QPixmap picture(m_normal.size());
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setOpacity(0.6);
        painter.drawPixmap(0, 0, pixmap());
    }
    auto* drag = new QDrag(event->widget());
    drag->setMimeData(MakeDragData(GetShipType(), GetUnitId(), GetShipId()));
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(picture.width() / 2, picture.height() / 2));
    connect(drag, &QObject::destroyed, this, &CShipIcon::StopDrag);
    drag->exec(Qt::CopyAction);
    drag->deleteLater();
}

void CShipIcon::StopDrag()
{
    emit DragStopped(nullptr);
}

} // namespace Marevane
