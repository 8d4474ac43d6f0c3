// Watches the battle's connections for the screens: every 100 ms, on the GUI
// thread, it reads at most one packet from each connection its mode names and
// reports each whole packet's code. A broken connection stops it and is
// reported once, as Stopped() and then DataReceived(124).
#pragma once

#include "model/Types.h"

#include <QObject>

#include <cstdint>

class QTimer;

namespace Marevane {

class CTcpClient;
class CTcpServer;
class CTurnManager;
class CUnit;

// What one polling pass reads. On the host either the side whose turn it
// is or every side played from a client; on a client the host.
using MonitoringMode = std::uint32_t;
constexpr MonitoringMode MonitorCurrentAndHost = 0;
constexpr MonitoringMode MonitorRemoteAndHost = 1;
constexpr MonitoringMode MonitorCurrent = 2;
constexpr MonitoringMode MonitorRemote = 3;
constexpr MonitoringMode MonitorCurrentOnly = 4; // reads as MonitorCurrent
constexpr MonitoringMode MonitorHost = 5;

class CNetworkMonitor : public QObject {
    Q_OBJECT

  public:
    static constexpr int IntervalMs = 100;

    // None of the three is owned; the server is null on a client, the
    // client on the host, and the turn manager may be null.
    CNetworkMonitor(CTcpServer* server, CTcpClient* client, CTurnManager* turnManager,
                    QObject* parent = nullptr);
    ~CNetworkMonitor() override;

    // The report of one read: result is the read's answer, code the code
    // of the packet it completed, unit the side it came from.
    void Notify(MessageCode result, MessageCode code, CUnit* unit);

    MonitoringMode GetMode() const { return m_mode; }
    bool IsRunning() const;
    // The first local human side, else the last local side; null on a
    // client and without a turn manager.
    CUnit* GetOwnUnit() const { return m_ownUnit; }
    // The side of the last report.
    CUnit* GetLastUnit() const { return m_lastUnit; }

  signals:
    void Stopped();
    void DataReceived(Marevane::MessageCode code);

  public slots:
    void Start();
    void Stop();
    void SetMode(Marevane::MonitoringMode mode);

  private slots:
    void ReceiveData();

  private:
    // One read; a packet that cannot be decoded counts as a broken
    // connection.
    template <typename Read> static MessageCode SafeRead(Read read);
    // False once the pass must end: the monitor was stopped or destroyed
    // meanwhile.
    bool Report(MessageCode result, MessageCode code, CUnit* unit, std::uint64_t stops);
    // False once the pass must end.
    bool ReceiveFromServer(MonitoringMode mode, std::uint64_t stops);
    static bool PlaysElsewhere(const CUnit& unit);

    CTcpServer* m_server;
    CTcpClient* m_client;
    CTurnManager* m_turnManager;
    CUnit* m_ownUnit = nullptr;
    CUnit* m_lastUnit = nullptr;
    QTimer* m_timer;
    MonitoringMode m_mode = MonitorCurrentAndHost;
    // Counts stops, so that a pass sees a stop made by one of its reports.
    std::uint64_t m_stops = 0;
};

} // namespace Marevane
