#include "screens/battle/CommandResultReport.h"

#include "gui/ScreenTiming.h"
#include "model/Logger.h"
#include "model/ResultManager.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"

#include <QDebug>

#include <exception>
#include <stdexcept>

namespace Marevane {

CCommandResultReport::CCommandResultReport(CResultManager* pResultManager, CLogger* pLogger, QObject* parent)
    : QObject(parent), m_resultManager(pResultManager), m_logger(pLogger)
{
    m_timer.setSingleShot(false);
    connect(&m_timer, &QTimer::timeout, this, &CCommandResultReport::Print);
}

CCommandResultReport::~CCommandResultReport()
{
    m_timer.stop();
}

void CCommandResultReport::SetUIComponent(UIComponent* pComponent)
{
    m_component = pComponent;
}

void CCommandResultReport::Start(MessageCode code)
{
    m_lineIndex = 0;
    m_timer.start(ScreenTiming::Scaled(ScreenTiming::Notice));
    emit Started(code);
    emit Started();
}

void CCommandResultReport::Start()
{
    Start(0);
}

void CCommandResultReport::Stop(MessageCode code)
{
    m_timer.stop();
    Print();
    emit Stopped(code);
    emit Stopped();
}

void CCommandResultReport::Stop()
{
    Stop(0);
}

void CCommandResultReport::Reset()
{
    m_timer.stop();
    m_lineIndex = 0;
}

void CCommandResultReport::Print()
{
    if (!m_timer.isActive()) {
        m_lineIndex = 0;
        return;
    }
    const std::size_t count = m_logger != nullptr ? m_logger->GetImpl().GetCache().GetCount() : 0;
    if (m_lineIndex >= count) {
        m_lineIndex = 0;
        Stop(FinishedCode);
        return;
    }
    try {
        PrintLine();
    } catch (const std::exception& error) {
        // A line that cannot be shown is skipped; the battle goes on.
        qWarning() << "The result line could not be shown:" << error.what();
    }
    ++m_lineIndex;
    emit MessagePrinted(RefreshCode);
    emit MessagePrinted();
}

MessageCode CCommandResultReport::LatestResultCode() const
{
    if (m_resultManager == nullptr) return RefreshCode;
    try {
        return m_resultManager->GetLatestLog().Code;
    } catch (const std::range_error&) {
        return RefreshCode; // nothing recorded yet
    }
}

void CCommandResultReport::PrintLine()
{
    const CLogCache& cache = m_logger->GetImpl().GetCache();
    const ShipProfile* profile = cache.GetShip(m_lineIndex);
    const QString& line = cache.GetLine(m_lineIndex);
    if (m_component != nullptr) {
        if (auto* status = m_component->Get<CPlayerStatusScene>(SceneSlot::PlayerStatus))
            status->Update(profile);
    }
    const MessageCode code = m_lineIndex == 0 ? LatestResultCode() : RefreshCode;
    if (m_mapUpdater) {
        m_mapUpdater(code, profile);
    } else if (m_component != nullptr) {
        // Without an updater of its own the report drives the battle map.
        if (auto* map = m_component->Get<CGameMapScene>(SceneSlot::GameMap)) map->Update(code, profile);
    }
    if (m_component != nullptr) {
        if (auto* messages = m_component->Get<CMessageScene>(SceneSlot::Message)) messages->Add(line, true);
    }
}

} // namespace Marevane
