#include "screens/battle/CommandInputManager.h"

#include "model/Directions.h"
#include "model/Panel.h"
#include "model/Ship.h"

#include <cstdlib>
#include <stdexcept>

namespace Marevane {

CCommandInputManager::CCommandInputManager(QObject* parent) : QObject(parent) {}

void CCommandInputManager::Init(CShip* pShip)
{
    if (pShip != nullptr) Set(pShip);
}

void CCommandInputManager::Set(CommandCode command)
{
    m_command.Command = command;
}

void CCommandInputManager::Set(CShip* pShip)
{
    if (pShip == nullptr) {
        if (!IsSideCommand(m_command.Command))
            throw std::runtime_error("CCommandInputManager::Set(): Ship data is not set yet.");
        m_ship = nullptr;
        return;
    }
    m_ship = pShip;
    m_command.ShipId = pShip->GetShipId();
    m_command.ShipType = pShip->GetType();
}

void CCommandInputManager::Set(CPanel* pPanel)
{
    if (pPanel == nullptr) throw std::invalid_argument("CCommandInputManager::Set(): Invalid panel data.");
    if (m_command.Command == CommandNone)
        throw std::runtime_error("CCommandInputManager::Set(): Command data is not set yet.");
    const bool isSideCommand = IsSideCommand(m_command.Command);
    if (!isSideCommand && (m_ship == nullptr || m_ship->GetCurrentPanel() == nullptr))
        throw std::runtime_error("CCommandInputManager::Set(): Ship data is not set yet.");
    m_panel = pPanel;
    if (isSideCommand) return;
    const CPanel* from = m_ship->GetCurrentPanel();
    const std::int64_t dx = static_cast<std::int64_t>(pPanel->GetX()) - from->GetX();
    const std::int64_t dy = static_cast<std::int64_t>(pPanel->GetY()) - from->GetY();
    m_command.Direction = GetDirection(dx, dy);
    m_command.Distance = static_cast<std::uint32_t>(std::llabs(dx) + std::llabs(dy));
    m_command.Target = MapPos(pPanel->GetX(), pPanel->GetY());
}

void CCommandInputManager::Clear()
{
    m_ship = nullptr;
    m_panel = nullptr;
    m_command = CommandInput();
}

void CCommandInputManager::SetEnabled(bool isEnabled)
{
    m_state = isEnabled ? StateWaitingPanel : StateDisabled;
}

void CCommandInputManager::AdvanceState()
{
    m_state = (m_state == StateDisabled || m_state >= StateTargetChosen) ? StateDisabled : m_state + 1;
}

void CCommandInputManager::BackState()
{
    if (m_state >= StateMenuOpen) --m_state;
}

} // namespace Marevane
