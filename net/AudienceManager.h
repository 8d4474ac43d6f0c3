// Where the services an audience needs meet: the rules, the unit factory,
// the server and the running battle's turn manager, guarded by one mutex,
// with a table of watching sides and room for a worker thread. Watchers get
// the battle through the server's sending to all, so nothing here starts the
// worker: the manager stays idle and its table empty.
#pragma once

#include "model/Records.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace Marevane {

class CGameEdit;
class CTcpServer;
class CTurnManager;
class CUnitFactory;

class CAudienceManager {
  public:
    using AudienceTable = std::unordered_map<std::uint64_t, UnitProfile>;

    CAudienceManager();
    // Stops, and joins a worker that is still there.
    virtual ~CAudienceManager();

    CAudienceManager(const CAudienceManager&) = delete;
    CAudienceManager& operator=(const CAudienceManager&) = delete;

    // Each is stored and read under the mutex; none is owned.
    void SetRules(CGameEdit* rules);
    CGameEdit* GetRules() const;
    void SetUnitFactory(CUnitFactory* factory);
    CUnitFactory* GetUnitFactory() const;
    void SetServer(CTcpServer* server);
    CTcpServer* GetServer() const;
    // The running battle's turn manager; null clears it.
    void SetSource(CTurnManager* source);
    CTurnManager* GetSource() const;

    // When running: clears the flag, joins the worker and empties the
    // table. Otherwise nothing.
    void Stop();
    bool IsRunning() const { return m_running; }
    std::size_t CountAudience() const;

  protected:
    // For a subclass that gives the worker a task. The task runs on the
    // worker thread and should end soon after IsRunning() turns false.
    // False when a worker is already there.
    bool StartWorker(std::function<void()> task);
    // The table of watching sides by host id; hold the mutex.
    AudienceTable& GetAudience() { return m_audience; }
    std::mutex& GetMutex() const { return m_mutex; }

  private:
    void JoinWorker();

    CGameEdit* m_rules = nullptr;
    CUnitFactory* m_unitFactory = nullptr;
    CTcpServer* m_server = nullptr;
    CTurnManager* m_source = nullptr;
    std::atomic<bool> m_running{false};
    AudienceTable m_audience;
    mutable std::mutex m_mutex;
    std::thread m_worker;
};

} // namespace Marevane
