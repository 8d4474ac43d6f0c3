#include "app/GameSequence.h"

#include "model/UnitFactory.h"

#include <QGraphicsView>
#include <QLayout>

namespace Marevane {

CGameSequence::CGameSequence(int type) : QWidget(nullptr), m_type(type)
{
    static const int registered = qRegisterMetaType<Marevane::MessageCode>("Marevane::MessageCode");
    (void)registered;
}

CGameSequence::~CGameSequence()
{
    // The views belong to the scene pool and outlive the sequence.
    const auto views = findChildren<QGraphicsView*>(QString(), Qt::FindDirectChildrenOnly);
    for (QGraphicsView* view : views) {
        if (layout() != nullptr) layout()->removeWidget(view);
        view->setParent(nullptr);
    }
    delete layout();
    emit Destroyed(this);
}

CUnit* CGameSequence::GetMyUnit() const
{
    CUnitFactory* factory = GetModule<UnitFactoryModule>();
    return factory != nullptr ? factory->GetLocalUnit() : nullptr;
}

void CGameSequence::Update()
{
    Update(0);
}

void CGameSequence::Stop()
{
    hide();
    emit SequenceStopped();
}

} // namespace Marevane
