#include "screens/battle/BattleMapCalls.h"

#include "gui/ScreenTiming.h"
#include "model/Records.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/HelpScene.h"
#include "screens/battle/PlayerStatusScene.h"

#include <QMetaObject>

namespace Marevane::BattleMap {

namespace {

bool HasMethod(const QObject* object, const char* signature)
{
    const QByteArray normalized = QMetaObject::normalizedSignature(signature);
    return object->metaObject()->indexOfMethod(normalized.constData()) >= 0;
}

} // namespace

void Update(CGameMapScene* pMap, MessageCode code)
{
    if (pMap == nullptr || !HasMethod(pMap, "Update(Marevane::MessageCode)")) return;
    QMetaObject::invokeMethod(pMap, "Update", Qt::DirectConnection, Q_ARG(Marevane::MessageCode, code));
}

void Update(CGameMapScene* pMap, MessageCode code, const ShipProfile* pShipProfile)
{
    if (pMap == nullptr) return;
    if (!HasMethod(pMap, "Update(Marevane::MessageCode,const Marevane::ShipProfile*)")) {
        Update(pMap, code);
        return;
    }
    QMetaObject::invokeMethod(pMap, "Update", Qt::DirectConnection, Q_ARG(Marevane::MessageCode, code),
                              Q_ARG(const Marevane::ShipProfile*, pShipProfile));
}

void SetTurnManager(CGameMapScene* pMap, CTurnManager* pTurnManager)
{
    if (pMap != nullptr) pMap->SetTurnManager(pTurnManager);
}

void SetTurnEndPromptTime(CGameMapScene* pMap, bool isDeathMatch)
{
    (void)pMap;
    (void)isDeathMatch;
}

void ConnectCommandMenu(CGameMapScene* pMap, CPlayerStatusScene* pStatus, CHelpScene* pHelp)
{
    const auto connectIfThere = [](QObject* sender, const char* signal, QObject* receiver, const char* slot,
                                   Qt::ConnectionType type) {
        if (sender == nullptr || receiver == nullptr) return;
        if (!HasMethod(sender, signal + 1) || !HasMethod(receiver, slot + 1)) return;
        QObject::connect(sender, signal, receiver, slot,
                         static_cast<Qt::ConnectionType>(type | Qt::UniqueConnection));
    };
    connectIfThere(pMap, SIGNAL(CommandMenuOpened(Marevane::CUnit*, const Marevane::CShip*)), pStatus,
                   SLOT(SetShipSelected(Marevane::CUnit*, const Marevane::CShip*)), Qt::AutoConnection);
    connectIfThere(pMap, SIGNAL(CommandMenuClosed()), pStatus, SLOT(ClearFocus()), Qt::AutoConnection);
    connectIfThere(pMap, SIGNAL(CommandMenuHovered(Marevane::CommandCode, QString)), pHelp,
                   SLOT(Set(Marevane::CommandCode, QString)), Qt::AutoConnection);
    connectIfThere(pStatus, SIGNAL(ShipProfileSelected(const Marevane::ShipProfile*)), pMap,
                   SLOT(OpenCommandMenu(const Marevane::ShipProfile*)), Qt::QueuedConnection);
}

} // namespace Marevane::BattleMap
