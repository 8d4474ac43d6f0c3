// The five message records that host and clients exchange. Header only; the
// network layer serializes them.
// Field order is the wire order; keep it.
#pragma once

#include "model/Records.h"
#include "model/Types.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Marevane {

// The header every message begins with; alone it is a code-only notice or a
// client's command.
struct Message {
    MessageCode Code = 0;
    MessageCode SecondCode = 0; // qualifies Code, e.g. the reason of a refusal
    UnitProfile Sender;
    std::vector<UnitProfile> Units;
    CommandInput Command;
    std::uint64_t Time = 0; // ms read from the sender's turn timer; 0 when none
};

inline Message MakeMessage(MessageCode code)
{
    Message message;
    message.Code = code;
    return message;
}

// The turn state the host sends.
struct ProgressMessage : Message {
    PlayOrder Order;
    MapData Map;
    std::vector<std::uint32_t> TurnOrder; // unit ids
    std::map<std::uint32_t, std::vector<ShipProfile>> Ships;
    std::wstring Text;
    std::wstring BoardText;
};

// A side asking to join, the host's answer, and the host's announcement.
struct EntryMessage : Message {
    bool IsPlayer = false;
    UnitProfile Entry; // the side that enters
    GameEditInfo Rules;
    std::wstring Text;

    EntryMessage() = default;
    explicit EntryMessage(MessageCode code) { Code = code; }
};

// One side's fleet.
struct FleetEditMessage : Message {
    static constexpr MessageCode FleetCode = 54;

    std::vector<ShipProfile> Ships;
    bool FirstFlag = false;
    bool SecondFlag = false;
    std::wstring Text;
    std::uint64_t Value = 0; // held in memory only, never carried

    FleetEditMessage() { Code = FleetCode; }

    // Clears every field, the code included.
    void Reset()
    {
        static_cast<Message&>(*this) = Message();
        Ships.clear();
        FirstFlag = false;
        SecondFlag = false;
        Text.clear();
        Value = 0;
    }
};

// The outcome of one turn.
struct ResultMessage : Message {
    PlayOrder Order;
    std::vector<ActionInfo> Actions;

    // Action kind that selects every action that is not empty.
    static constexpr std::uint32_t AnyKind = 4;

    // The side's own command of the turn (the first action of kind 1), or null.
    const ActionInfo* GetPrimaryAction() const
    {
        for (const ActionInfo& action : Actions) {
            if (action.Kind == 1) return &action;
        }
        return nullptr;
    }

    // The actions of one kind in order; AnyKind selects every kind but 0.
    std::vector<const ActionInfo*> GetActions(std::uint32_t kind) const
    {
        return CollectActions([kind](const ActionInfo& action) {
            return kind == AnyKind ? action.Kind != 0 : action.Kind == kind;
        });
    }

    template <typename Predicate>
    std::vector<const ActionInfo*> CollectActions(Predicate accept) const
    {
        std::vector<const ActionInfo*> found;
        for (const ActionInfo& action : Actions) {
            if (accept(action)) found.push_back(&action);
        }
        return found;
    }

    // The ship profiles of every action that the predicate accepts, action
    // by action and side by side.
    template <typename Predicate>
    std::vector<const ShipProfile*> FindShipProfiles(Predicate accept) const
    {
        std::vector<const ShipProfile*> found;
        for (const ActionInfo& action : Actions) {
            for (const auto& side : action.Ships) {
                for (const ShipProfile& ship : side.second) {
                    if (accept(ship)) found.push_back(&ship);
                }
            }
        }
        return found;
    }

    const ShipProfile* FindShipProfileInLastAction(std::uint32_t unitId, std::uint32_t shipId) const
    {
        return Actions.empty() ? nullptr : Actions.back().FindShipProfile(unitId, shipId);
    }
};

} // namespace Marevane
