#include "model/FleetPresetList.h"

#include "model/Random.h"

namespace Marevane {

namespace {

const ShipType B = ShipTypeBattleship;
const ShipType D = ShipTypeDestroyer;
const ShipType S = ShipTypeSubmarine;
const ShipType O = ShipTypeOiler;
const ShipType None = ShipTypeNone;

FleetSlots MakeSlots(ShipType s1, ShipType s2, ShipType s3, ShipType s4, ShipType s5)
{
    return {{1, s1}, {2, s2}, {3, s3}, {4, s4}, {5, s5}};
}

} // namespace

CFleetPresetList::CFleetPresetList()
{
    std::vector<std::pair<std::wstring, FleetSlots>> presets = {
        {L"default", MakeSlots(B, D, S, O, None)},
        {L"power", MakeSlots(B, B, S, B, O)},
        {L"defense", MakeSlots(D, D, D, D, S)},
        {L"agile", MakeSlots(S, S, D, S, D)},
    };
    std::vector<std::wstring> names;
    for (const auto& preset : presets) names.push_back(preset.first);
    Fill(std::move(presets), MakeSlots(None, None, None, None, None));

    // Hash-map nodes never move, so the table-order walk can point at them.
    for (const std::wstring& name : names) m_presets.push_back(&*GetMap().find(name));
}

const CFleetPresetList& CFleetPresetList::GetInstance()
{
    static const CFleetPresetList instance;
    return instance;
}

const CFleetPresetList::Entry& CFleetPresetList::GetRandomPreset() const
{
    const auto count = static_cast<std::uint32_t>(m_presets.size());
    return *m_presets[RandomUInt(0, count - 1)];
}

} // namespace Marevane
