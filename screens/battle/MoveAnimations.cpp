#include "screens/battle/MoveAnimations.h"

#include "gui/ResourcePools.h"
#include "gui/ScreenTiming.h"
#include "gui/SoundFeedback.h"
#include "model/Directions.h"
#include "model/Panel.h"
#include "screens/battle/PanelIcon.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/WeaponIcons.h"

#include <QGraphicsScene>
#include <QTimer>

#include <cmath>
#include <cstdlib>

namespace Marevane {

namespace {

constexpr double Gravity = 9.80665;
// The throw's angle; the value goes to sine and cosine as it is, both of
// which are positive there, so the arc rises.
constexpr double ThrowAngle = 45;

QPointF WholePos(const QGraphicsItem* item)
{
    return QPointF(item->pos().toPoint());
}

} // namespace

// --- move --------------------------------------------------------------------

CMoveAnimation::CMoveAnimation(QObject* parent) : CAnimation(nullptr, 57, parent), m_endAction([] {}) {}

CMoveAnimation::CMoveAnimation(CIcon* pIcon, CPanelIcon* pFrom, CPanelIcon* pTo, QObject* parent)
    : CAnimation(nullptr, 0, parent), m_icon(pIcon), m_from(pFrom), m_to(pTo), m_endAction([] {})
{
    if (m_icon != nullptr && m_to != nullptr) Init();
}

CMoveAnimation::~CMoveAnimation() = default;

bool CMoveAnimation::IsValid() const
{
    return m_icon != nullptr && m_to != nullptr;
}

int CMoveAnimation::DistanceOf(const CPanel* from, const CPanel* to)
{
    if (from == nullptr || to == nullptr) return 0;
    return std::abs(static_cast<int>(to->GetX()) - static_cast<int>(from->GetX())) +
           std::abs(static_cast<int>(to->GetY()) - static_cast<int>(from->GetY()));
}

int CMoveAnimation::FacingOf(const CPanel* from, const CPanel* to)
{
    if (from == nullptr || to == nullptr) return ImageLeft;
    switch (GetOffsetDirection(from->GetOffsetTo(to->GetPos()))) {
    case DirectionNorth:
        return ImageUp;
    case DirectionSouth:
        return ImageDown;
    case DirectionEast:
    case DirectionNorthEast:
    case DirectionSouthEast:
        return ImageRight;
    default:
        return ImageLeft;
    }
}

void CMoveAnimation::Init()
{
    if (!IsValid()) return;
    CIcon* icon = m_icon;
    const CPanel* from = m_from != nullptr ? m_from->GetPanel() : icon->GetPanel();
    const CPanel* to = m_to->GetPanel();
    const int panels = DistanceOf(from, to);

    // The facing of the move is shown only while it runs.
    const QPixmap before = icon->pixmap();
    QPointer<CIcon> guarded(icon);
    m_endAction = [guarded, before] {
        if (guarded != nullptr) guarded->setPixmap(before);
    };
    icon->ChangeImage(FacingOf(from, to));

    const QPointF start = m_from != nullptr ? WholePos(m_from) : WholePos(icon);
    const QPointF end = WholePos(m_to);
    const int moving = ScreenTiming::Scaled(ScreenTiming::MoveStep * panels);
    const int total = moving + ScreenTiming::Scaled(ScreenTiming::MoveRest);
    setTargetObject(icon);
    setPropertyName("pos");
    setDuration(total);
    setKeyValues({});
    setStartValue(start);
    setKeyValueAt(total > 0 ? static_cast<double>(moving) / total : 0.0, end);
    setEndValue(end);
}

void CMoveAnimation::updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState)
{
    CAnimation::updateState(newState, oldState);
    if (newState == QAbstractAnimation::Running && oldState == QAbstractAnimation::Stopped) {
        if (!IsAnimationEnabled()) {
            StopImpl(GetCode());
            return;
        }
        if (m_sound != Sound::SeNone) PlaySoundEffect(m_sound, true);
    } else if (newState == QAbstractAnimation::Stopped) {
        std::function<void()> action = std::move(m_endAction);
        m_endAction = [] {};
        if (action) action();
    }
}

void CMoveAnimation::Release()
{
    blockSignals(true);
    stop();
    blockSignals(false);
    setTargetObject(nullptr);
    m_icon = nullptr;
    m_from = nullptr;
    m_to = nullptr;
}

// --- mine --------------------------------------------------------------------

CMineAnimation::CMineAnimation(QObject* parent)
    : CAnimation(nullptr, 57, parent), m_mine(MakeDefaultMineProfile()), m_mineIcon(new CMineIcon(&m_mine))
{
    m_mineIcon->hide();
}

CMineAnimation::~CMineAnimation()
{
    if (m_mineIcon == nullptr) return;
    if (QGraphicsScene* scene = m_mineIcon->scene()) scene->removeItem(m_mineIcon);
    delete m_mineIcon.data();
}

bool CMineAnimation::IsValid() const
{
    return m_shipIcon != nullptr && m_target != nullptr;
}

QPointF CMineAnimation::ThrowPoint(double u) const
{
    const double dx = m_to.x() - m_from.x();
    const double dy = m_to.y() - m_from.y();
    const double dist = std::sqrt(dx * dx + dy * dy);
    // A slope of fractions, so the arc ends on the target.
    const double slope = dx != 0 ? dy / dx : (dy < 0 ? -1.0 : 1.0);
    const double s = std::sin(ThrowAngle);
    const double c = std::cos(ThrowAngle);
    const double speed = std::sqrt(dist * Gravity * 0.5 * s * c) * 1.2;
    const double vy = speed * s;
    const double along = dx != 0 ? dx * u : dist * u;
    const double t = speed > 0 ? (u * dist / speed) * c : 0.0;
    return QPointF(m_from.x() + dx * u, m_from.y() + slope * along - 4 * (vy * t - Gravity * t * t / 2));
}

void CMineAnimation::Init()
{
    if (!IsValid()) return;
    if (m_mineIcon == nullptr) {
        m_mineIcon = new CMineIcon(&m_mine);
        m_mineIcon->hide();
    }
    m_from = WholePos(m_shipIcon);
    m_to = WholePos(m_target);
    m_mineIcon->setZValue(std::abs(m_shipIcon->zValue()) + std::abs(m_target->zValue()) + 10);
    if (m_mineIcon->scene() != m_shipIcon->scene()) {
        if (m_mineIcon->scene() != nullptr) m_mineIcon->scene()->removeItem(m_mineIcon);
        if (m_shipIcon->scene() != nullptr) m_shipIcon->scene()->addItem(m_mineIcon);
    }
    setTargetObject(m_mineIcon);
    setPropertyName("pos");
    setKeyValues({});
    const double dx = m_to.x() - m_from.x();
    const double dy = m_to.y() - m_from.y();
    if (dx != 0 || dy != 0) {
        const double dist = std::sqrt(dx * dx + dy * dy);
        const int width = std::max(1, m_target->GetPixmap().width());
        setDuration(
            std::max(1, ScreenTiming::Scaled(static_cast<int>(ScreenTiming::MineStep * dist / width))));
        const QPointF start = ThrowPoint(0.1);
        m_mineIcon->setPos(start);
        setStartValue(start);
        for (int step = 1; step * 0.1 * dist < dist && step < 10; ++step) {
            const double u = step * 0.1;
            setKeyValueAt(u, ThrowPoint(std::min(1.0, u + 0.1)));
        }
        setEndValue(m_to);
    } else {
        // On the ship's own panel the mine hops and drops into the water.
        setDuration(ScreenTiming::Scaled(ScreenTiming::MineStep));
        const QPointF start(m_from.x(), m_from.y() - m_shipIcon->GetNormalPixmap().height() / 16);
        m_mineIcon->setPos(start);
        setStartValue(start);
        setKeyValueAt(0.2, start - QPointF(0, 2));
        setEndValue(QPointF(m_to.x(), m_to.y() + m_mineIcon->GetPixmap().height() / 4));
    }
}

void CMineAnimation::updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState)
{
    CAnimation::updateState(newState, oldState);
    if (newState == QAbstractAnimation::Running && oldState == QAbstractAnimation::Stopped) {
        if (!IsAnimationEnabled()) {
            StopImpl(GetCode());
            return;
        }
        if (m_mineIcon != nullptr) m_mineIcon->show();
    } else if (newState == QAbstractAnimation::Stopped) {
        // The map's own mine icon takes its place.
        QTimer::singleShot(ScreenTiming::Scaled(ScreenTiming::MineLanded), this, [this] {
            if (!IsRunning() && m_mineIcon != nullptr) m_mineIcon->hide();
        });
    }
}

void CMineAnimation::Release()
{
    blockSignals(true);
    stop();
    blockSignals(false);
    setTargetObject(nullptr);
    if (m_mineIcon != nullptr) {
        m_mineIcon->hide();
        if (QGraphicsScene* scene = m_mineIcon->scene()) scene->removeItem(m_mineIcon);
    }
    m_shipIcon = nullptr;
    m_target = nullptr;
}

} // namespace Marevane
