#include "model/MessageBuilder.h"

#include "model/GameEdit.h"
#include "model/MessageCodes.h"
#include "model/Ship.h"
#include "model/Unit.h"

namespace Marevane {

Message MakeMessage(MessageCode code, const CUnit& unit)
{
    Message message = MakeMessage(code);
    message.Sender = unit.GetProfile();
    return message;
}

ProgressMessage MakeProgressMessage(MessageCode code, const CUnit& unit, const std::vector<CUnit*>& units)
{
    ProgressMessage state;
    state.Code = code;
    state.Sender = unit.GetProfile();
    state.Command = unit.GetCommandInput();
    state.Units.reserve(units.size());
    for (const CUnit* side : units) {
        if (!side) {
            state.Units.emplace_back();
            continue;
        }
        state.Units.push_back(side->GetProfile());
        std::vector<ShipProfile>& ships = state.Ships[side->GetId()];
        ships.reserve(side->GetShips().size());
        for (const auto& entry : side->GetShips()) ships.push_back(entry.second->GetProfile());
    }
    return state;
}

EntryMessage MakeEntryMessage(MessageCode code, const CGameEdit& rules, bool flag)
{
    EntryMessage entry(code == 0 ? EntryRequest : code);
    entry.IsPlayer = flag;
    entry.Rules = rules.GetInfo();
    return entry;
}

EntryMessage MakeEntryMessage(const CGameEdit& rules, bool flag)
{
    return MakeEntryMessage(EntryRequest, rules, flag);
}

} // namespace Marevane
