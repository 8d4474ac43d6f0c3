#include "model/FleetPresetList.h"

#include "model/Random.h"

#include <gtest/gtest.h>

using namespace Marevane;

TEST(FleetPresetList, PresetsKeepTableOrderWithFiveSlotsEach)
{
    const std::pair<std::wstring, std::vector<ShipType>> expected[] = {
        {L"default", {ShipTypeBattleship, ShipTypeDestroyer, ShipTypeSubmarine, ShipTypeOiler, ShipTypeNone}},
        {L"power",
         {ShipTypeBattleship, ShipTypeBattleship, ShipTypeSubmarine, ShipTypeBattleship, ShipTypeOiler}},
        {L"defense",
         {ShipTypeDestroyer, ShipTypeDestroyer, ShipTypeDestroyer, ShipTypeDestroyer, ShipTypeSubmarine}},
        {L"agile",
         {ShipTypeSubmarine, ShipTypeSubmarine, ShipTypeDestroyer, ShipTypeSubmarine, ShipTypeDestroyer}},
    };
    const CFleetPresetList& list = CFleetPresetList::GetInstance();
    ASSERT_EQ(list.GetPresets().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& [name, types] = expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(list.GetPresets()[i]->first, name);
        const FleetSlots& slots = list.Get(name);
        EXPECT_EQ(&slots, &list.GetPresets()[i]->second);
        std::vector<unsigned> slotNumbers;
        std::vector<ShipType> slotTypes;
        for (const auto& [slot, type] : slots) {
            slotNumbers.push_back(slot);
            slotTypes.push_back(type);
        }
        EXPECT_EQ(slotNumbers, (std::vector<unsigned>{1, 2, 3, 4, 5}));
        EXPECT_EQ(slotTypes, types);
        EXPECT_NE(slots.begin()->second, ShipTypeOiler) << "a fleet may not start with an oiler";
    }
}

TEST(FleetPresetList, UnknownNameGivesFiveEmptySlots)
{
    const FleetSlots& slots = CFleetPresetList::GetInstance().Get(L"Default");
    ASSERT_EQ(slots.size(), 5u);
    for (const auto& [slot, type] : slots) EXPECT_EQ(type, ShipTypeNone) << slot;
}

TEST(FleetPresetList, SeededDrawsHitEveryPresetAboutEqually)
{
    const CFleetPresetList& list = CFleetPresetList::GetInstance();
    SeedRandom(7);
    constexpr int Draws = 4000;
    std::map<std::wstring, int> hits;
    for (int i = 0; i < Draws; ++i) {
        const CFleetPresetList::Entry& entry = list.GetRandomPreset();
        EXPECT_EQ(&entry.second, &list.Get(entry.first));
        ++hits[entry.first];
    }
    ASSERT_EQ(hits.size(), 4u);
    for (const auto& [name, count] : hits) {
        EXPECT_GT(count, Draws / 4 - 150) << name.size();
        EXPECT_LT(count, Draws / 4 + 150) << name.size();
    }

    // The same seed replays the same fleets.
    SeedRandom(7);
    std::vector<const CFleetPresetList::Entry*> first;
    for (int i = 0; i < 20; ++i) first.push_back(&list.GetRandomPreset());
    SeedRandom(7);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(&list.GetRandomPreset(), first[i]);
}
