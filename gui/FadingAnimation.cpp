#include "gui/FadingAnimation.h"

#include "gui/ScreenTiming.h"

namespace Marevane {

CFadingAnimation::CFadingAnimation(QObject* parent)
    : CAnimation(nullptr, 0, parent), m_duration(ScreenTiming::ItemFade)
{
}

CFadingAnimation::CFadingAnimation(QObject* object, QGraphicsItem* item, QObject* parent)
    : CFadingAnimation(parent)
{
    SetItem(object, item);
    if (QGraphicsItem* shown = GetItem()) m_isFadeIn = !(shown->isVisible() && shown->opacity() > 0.0);
    Init();
}

void CFadingAnimation::SetItem(QObject* object, QGraphicsItem* item)
{
    if (IsRunning()) stop();
    SetTarget(item != nullptr ? object : nullptr);
    m_item = object != nullptr ? item : nullptr;
}

QGraphicsItem* CFadingAnimation::GetItem() const
{
    // The item dies with its object.
    return GetTarget() != nullptr ? m_item : nullptr;
}

bool CFadingAnimation::IsValid() const
{
    return GetItem() != nullptr;
}

void CFadingAnimation::Init()
{
    QGraphicsItem* item = GetItem();
    if (item == nullptr) return;
    if (m_isFadeIn && !item->isVisible() && item->opacity() > 0.99) item->setOpacity(0.0);
    setTargetObject(GetTarget());
    setPropertyName("opacity");
    setDuration(IsAnimationEnabled() ? ScreenTiming::Scaled(m_duration) : 0);
    setStartValue(item->opacity());
    setEndValue(m_isFadeIn ? 1.0 : 0.0);
    item->show();
}

void CFadingAnimation::StartImpl(MessageCode, QAbstractAnimation::DeletionPolicy policy)
{
    if (IsRunning()) return;
    if (!IsValid()) {
        FinishAtOnce(policy);
        return;
    }
    // A run of no length sets the end value and reports at once.
    Init();
    start(policy);
}

} // namespace Marevane
