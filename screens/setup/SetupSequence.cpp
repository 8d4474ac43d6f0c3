#include "screens/setup/SetupSequence.h"

#include "app/GameScene.h"
#include "app/SequenceManager.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"

#include <QMetaObject>

#include <exception>

namespace Marevane {

CSetupSequence::CSetupSequence(int type, unsigned flags) : CGameSequence(type)
{
    SetModuleFlags(flags);
}

void CSetupSequence::Hide()
{
    hide();
}

bool CSetupSequence::BeginLeaving()
{
    if (m_isLeaving) return false;
    m_isLeaving = true;
    return true;
}

void CSetupSequence::PushSequence(CGameSequence* pSequence)
{
    if (pSequence == nullptr) return;
    try {
        CSequenceManager::GetInstance()->Push(pSequence, this);
    } catch (const std::exception& error) {
        qWarning("The next screen could not be shown: %s", error.what());
        delete pSequence;
        m_isLeaving = false;
    }
}

void CSetupSequence::PushSequence(int type, const SequenceArgs& args)
{
    PushSequence(CreateSequence(type, args));
}

void CSetupSequence::ReplaceWithSequence(CGameSequence* pSequence)
{
    if (pSequence == nullptr) return;
    try {
        CSequenceManager::GetInstance()->ReplaceWith(pSequence, this);
    } catch (const std::exception& error) {
        qWarning("The next screen could not be shown: %s", error.what());
        delete pSequence;
        m_isLeaving = false;
    }
}

void CSetupSequence::ReturnToIndex(int index)
{
    try {
        CSequenceManager::GetInstance()->ReturnTo(index, this);
    } catch (const std::exception& error) {
        qWarning("The screen could not be left: %s", error.what());
        m_isLeaving = false;
    }
}

void CSetupSequence::ReturnToPrevious()
{
    // The index is this sequence's own, so a change still under way cannot
    // make it go back one screen too many.
    CSequenceManager* manager = CSequenceManager::GetInstance();
    const int own = manager->IndexOf(this);
    ReturnToIndex((own >= 0 ? own : manager->GetCurrentIndex()) - 1);
}

void CSetupSequence::ResetNetwork()
{
    if (HasModule(TcpServerModule)) {
        if (auto* server = dynamic_cast<CSocketTcpServer*>(GetTcpServer())) server->Reset();
    }
    if (HasModule(TcpClientModule)) {
        CTcpClient* client = GetModule<TcpClientModule>();
        client->ClearReceivedData();
        auto* socketClient = dynamic_cast<CSocketTcpClient*>(client);
        if (socketClient != nullptr && socketClient->IsConnected()) socketClient->Disconnect();
    }
}

CUnitFactory* CSetupSequence::GetUnitFactory() const
{
    return HasModule(UnitFactoryModule) ? GetModule<UnitFactoryModule>() : nullptr;
}

namespace MessagePane {

namespace {

bool Has(const CGameScene* pScene, const char* signature)
{
    return pScene != nullptr && pScene->metaObject()->indexOfMethod(signature) >= 0;
}

} // namespace

void Set(CGameScene* pScene, const QString& text)
{
    // Placeholders have no such slot; they keep their caption.
    if (!Has(pScene, "Set(QString)")) return;
    QMetaObject::invokeMethod(pScene, "Set", Qt::DirectConnection, Q_ARG(QString, text));
}

void Show(CGameScene* pScene, const QString& text)
{
    if (Has(pScene, "Clear()")) QMetaObject::invokeMethod(pScene, "Clear", Qt::DirectConnection);
    if (!Has(pScene, "Add(QString,bool)")) return;
    QMetaObject::invokeMethod(pScene, "Add", Qt::DirectConnection, Q_ARG(QString, text), Q_ARG(bool, false));
}

} // namespace MessagePane

} // namespace Marevane
