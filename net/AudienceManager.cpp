#include "net/AudienceManager.h"

#include <QtDebug>

#include <exception>
#include <utility>

namespace Marevane {

CAudienceManager::CAudienceManager() : m_audience(8) {}

CAudienceManager::~CAudienceManager()
{
    Stop();
    // A worker that ended on its own, its flag cleared, is still joined here
    // rather than left to end the program.
    JoinWorker();
}

void CAudienceManager::SetRules(CGameEdit* rules)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules = rules;
}

CGameEdit* CAudienceManager::GetRules() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rules;
}

void CAudienceManager::SetUnitFactory(CUnitFactory* factory)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unitFactory = factory;
}

CUnitFactory* CAudienceManager::GetUnitFactory() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_unitFactory;
}

void CAudienceManager::SetServer(CTcpServer* server)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_server = server;
}

CTcpServer* CAudienceManager::GetServer() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_server;
}

void CAudienceManager::SetSource(CTurnManager* source)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_source = source;
}

CTurnManager* CAudienceManager::GetSource() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source;
}

void CAudienceManager::Stop()
{
    // Only one caller gets to join.
    if (!m_running.exchange(false)) return;
    JoinWorker();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_audience.clear();
}

std::size_t CAudienceManager::CountAudience() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_audience.size();
}

bool CAudienceManager::StartWorker(std::function<void()> task)
{
    if (m_worker.joinable()) return false;
    m_running = true;
    try {
        m_worker = std::thread([task = std::move(task)] {
            try {
                task();
            } catch (const std::exception& error) {
                qWarning("Audience worker failed: %s", error.what());
            } catch (...) {
                qWarning("Audience worker failed");
            }
        });
    } catch (...) {
        m_running = false;
        throw;
    }
    return true;
}

void CAudienceManager::JoinWorker()
{
    // The worker cannot wait for itself; its owner joins it later.
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id()) m_worker.join();
}

} // namespace Marevane
