#include "net/NetworkMonitor.h"

#include "model/TurnManager.h"
#include "model/Unit.h"
#include "net/PacketConverter.h"
#include "net/TcpClient.h"
#include "net/TcpServer.h"

#include <QMetaType>
#include <QPointer>
#include <QTimer>
#include <QtDebug>

#include <exception>
#include <vector>

namespace Marevane {

namespace {

// Queued connections to the slots and signals need the names known.
void RegisterTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<Marevane::MessageCode>("Marevane::MessageCode");
        qRegisterMetaType<Marevane::MonitoringMode>("Marevane::MonitoringMode");
        return true;
    }();
    (void)registered;
}

bool ReadsServer(MonitoringMode mode)
{
    return mode <= MonitorCurrentOnly;
}

bool ReadsClient(MonitoringMode mode)
{
    return mode == MonitorCurrentAndHost || mode == MonitorRemoteAndHost || mode == MonitorHost;
}

bool ReadsEveryRemote(MonitoringMode mode)
{
    return mode == MonitorRemoteAndHost || mode == MonitorRemote;
}

} // namespace

CNetworkMonitor::CNetworkMonitor(CTcpServer* server, CTcpClient* client, CTurnManager* turnManager,
                                 QObject* parent)
    : QObject(parent), m_server(server), m_client(client), m_turnManager(turnManager),
      m_timer(new QTimer(this))
{
    RegisterTypes();
    connect(m_timer, &QTimer::timeout, this, &CNetworkMonitor::ReceiveData);
    m_timer->setSingleShot(false);
    if (!m_server || !m_turnManager) return;
    for (CUnit* unit : m_turnManager->GetUnits()) {
        if (!unit || PlaysElsewhere(*unit)) continue;
        m_ownUnit = unit;
        if (unit->GetUnitType() == UnitManual) break;
    }
}

CNetworkMonitor::~CNetworkMonitor() = default;

bool CNetworkMonitor::IsRunning() const
{
    return m_timer->isActive();
}

void CNetworkMonitor::Start()
{
    m_timer->start(IntervalMs);
}

void CNetworkMonitor::Stop()
{
    m_timer->stop();
    ++m_stops;
    emit Stopped();
}

void CNetworkMonitor::SetMode(MonitoringMode mode)
{
    m_mode = mode;
}

bool CNetworkMonitor::PlaysElsewhere(const CUnit& unit)
{
    return unit.GetProfile().OriginFlag == 1;
}

void CNetworkMonitor::Notify(MessageCode result, MessageCode code, CUnit* unit)
{
    m_lastUnit = unit;
    // A packet that says the connection failed, or after which the
    // transport dropped the peer (it left), ends the connection as a failed
    // read does; reporting it as an ordinary code would report the same
    // failure again on the next tick.
    const bool failed = result == ReadFailed || (result == ReadComplete && code == ReadFailed);
    if (!failed) {
        if (result == ReadComplete) emit DataReceived(code);
        return;
    }
    m_timer->stop();
    ++m_stops;
    QPointer<CNetworkMonitor> self(this);
    emit Stopped();
    if (self) emit DataReceived(ReadFailed);
}

template <typename Read> MessageCode CNetworkMonitor::SafeRead(Read read)
{
    try {
        return read();
    } catch (const std::exception& error) {
        qWarning("Network monitor: a packet could not be read: %s", error.what());
    } catch (...) {
        qWarning("Network monitor: a packet could not be read");
    }
    return ReadFailed;
}

bool CNetworkMonitor::Report(MessageCode result, MessageCode code, CUnit* unit, std::uint64_t stops)
{
    QPointer<CNetworkMonitor> self(this);
    Notify(result, code, unit);
    return self && m_stops == stops;
}

void CNetworkMonitor::ReceiveData()
{
    // A mode set by a receiver during the pass waits for the next one.
    const MonitoringMode mode = m_mode;
    const std::uint64_t stops = m_stops;
    try {
        if (m_server && ReadsServer(mode) && !ReceiveFromServer(mode, stops)) return;
        if (m_client && ReadsClient(mode)) {
            CTcpClient& client = *m_client;
            const MessageCode result = SafeRead([&client] { return client.Receive(); });
            Report(result, client.GetReceivedData().Code, m_ownUnit, stops);
        }
    } catch (const std::exception& error) {
        qWarning("Network monitor: a receiver failed: %s", error.what());
    } catch (...) {
        qWarning("Network monitor: a receiver failed");
    }
}

bool CNetworkMonitor::ReceiveFromServer(MonitoringMode mode, std::uint64_t stops)
{
    CTcpServer& server = *m_server;
    if (ReadsEveryRemote(mode) && m_turnManager) {
        // A copy: a receiver may hand the turn manager a new list.
        const std::vector<CUnit*> units = m_turnManager->GetUnits();
        for (CUnit* unit : units) {
            if (!unit || !PlaysElsewhere(*unit)) continue;
            const std::uint64_t hostId = unit->GetHostId();
            const MessageCode result = SafeRead([&server, hostId] { return server.ReceiveFrom(hostId); });
            if (!Report(result, server.GetReceivedCode(hostId), unit, stops)) return false;
        }
        return true;
    }
    // Between turns there is nobody to read for, and nobody to report with.
    CUnit* unit = m_turnManager ? m_turnManager->GetCurrentUnit() : nullptr;
    if (!unit || !PlaysElsewhere(*unit)) return true;
    const MessageCode result = SafeRead([&server, unit] { return server.ReceiveFromUnit(*unit); });
    return Report(result, server.GetReceivedCodeOfUnit(*unit), unit, stops);
}

} // namespace Marevane
