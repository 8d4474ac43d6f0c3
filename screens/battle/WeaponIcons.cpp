#include "screens/battle/WeaponIcons.h"

#include "gui/ResourcePools.h"
#include "model/Panel.h"
#include "model/Records.h"
#include "model/Torpedo.h"

#include <QPainter>

namespace Marevane {

namespace {

const std::uint32_t NoOwner = static_cast<std::uint32_t>(-1);

QPixmap WeaponPicture(CommandCode weapon, int pattern)
{
    return CWeaponResourcePool::GetInstance().FindPixmap(weapon, static_cast<ImagePattern>(pattern));
}

} // namespace

std::unique_ptr<CMineIcon> CMineIcon::Create(MineProfile* pMine, const PanelIconTable& table)
{
    if (pMine == nullptr || !pMine->IsPlaced || pMine->IsExploded) return nullptr;
    auto icon = std::make_unique<CMineIcon>(pMine);
    icon->FindPanelIcon(table);
    return icon;
}

CMineIcon::CMineIcon(MineProfile* pMine)
    : m_mine(pMine), m_ownerId(pMine->UnitId), m_secondId(pMine->ShipId),
      m_drawOpacity(pMine->UnitId != NoOwner ? 0.8 : 1.0)
{
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    m_picture = WeaponPicture(CommandMine, ImageLeft);
    setPixmap(m_picture);
    UpdateLook();
    m_ownerMark.reserve(2);
    CreateOwnerMark();
}

CMineIcon::~CMineIcon() = default;

void CMineIcon::FindPanelIcon(const PanelIconTable& table)
{
    // Walked in grid order: the first icon of the mine's position.
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        const CPanel* panel = it.key();
        if (panel != nullptr && panel->GetPos() == m_mine->Pos) {
            PlaceOn(it.value());
            return;
        }
    }
}

void CMineIcon::PlaceOn(CPanelIcon* pPanelIcon)
{
    m_panelIcon = pPanelIcon;
    if (m_panelIcon != nullptr) setPos(m_panelIcon->pos());
    UpdateLook();
}

void CMineIcon::UpdateLook()
{
    setPixmap(m_picture);
    if (m_mine->IsExploded) {
        m_drawOpacity = 0.0;
        setOpacity(0.0);
    } else {
        setOpacity(1.0);
    }
}

CPanel* CMineIcon::GetPanel() const
{
    return m_panelIcon != nullptr ? m_panelIcon->GetPanel() : nullptr;
}

void CMineIcon::ChangeImage(int pattern)
{
    setPixmap(WeaponPicture(CommandMine, pattern));
}

void CMineIcon::CreateOwnerMark()
{
    if (m_ownerId == NoOwner) return;
    const CBitmapCharacterResourcePool& characters = CBitmapCharacterResourcePool::GetInstance();
    const QString text = QString::number(static_cast<qulonglong>(m_ownerId) + 1) + QLatin1Char('P');
    for (const QChar c : text)
        m_ownerMark.append(characters.Get(std::wstring(1, static_cast<wchar_t>(c.unicode()))));
}

QRectF CMineIcon::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_picture.size());
}

void CMineIcon::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::NoBrush);
    const qreal base = painter->opacity();
    painter->setOpacity(base * m_drawOpacity);
    painter->drawPixmap(0, 0, pixmap());
    if (m_ownerId != NoOwner && !m_ownerMark.isEmpty()) {
        const int w2 = m_picture.width() / 2;
        const int h2 = m_picture.height() / 2;
        const int n = static_cast<int>(m_ownerMark.size());
        int x = w2 - (n * m_ownerMark.front().width()) / 2 + 1;
        const int y = h2 - h2 / 2 - h2 / 8;
        painter->setOpacity(base * 0.5);
        for (const QPixmap& character : m_ownerMark) {
            painter->drawPixmap(x, y, character);
            x += character.width();
        }
    }
    painter->setOpacity(base * m_drawOpacity);
}

CTorpedoIcon::CTorpedoIcon(CTorpedo* pTorpedo, const PanelIconTable& table)
    : m_torpedo(pTorpedo), m_table(&table)
{
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    m_picture = WeaponPicture(CommandTorpedo, ImageLeft);
    MoveToPanel();
    setPixmap(m_picture);
    setOpacity(0.6);
}

CTorpedoIcon::~CTorpedoIcon() = default;

void CTorpedoIcon::MoveToPanel()
{
    CPanel* panel = GetPanel();
    CPanelIcon* icon = panel != nullptr ? m_table->value(panel, nullptr) : nullptr;
    if (icon == nullptr) return;
    m_panelIcon = icon;
    setPos(icon->pos());
}

CPanel* CTorpedoIcon::GetPanel() const
{
    return m_torpedo != nullptr ? m_torpedo->GetCurrentPanel() : nullptr;
}

void CTorpedoIcon::ChangeImage(int pattern)
{
    m_picture = WeaponPicture(CommandTorpedo, pattern);
    setPixmap(m_picture);
}

QRectF CTorpedoIcon::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_picture.size());
}

} // namespace Marevane
