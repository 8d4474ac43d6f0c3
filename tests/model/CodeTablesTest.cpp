#include "model/CodeTables.h"
#include "model/Panel.h"
#include "model/ShipConfig.h"

#include <gtest/gtest.h>

#include <set>

using namespace Marevane;

namespace {
const std::wstring Blank = L"\u3000";
}

TEST(CodeTables, CommandLetters)
{
    const auto& table = CCommandMap::GetInstance();
    const std::pair<std::wstring, CommandCode> rows[] = {{L"a", CommandAttack},
                                                         {L"m", CommandMove},
                                                         {L"t", CommandTorpedo},
                                                         {L"i", CommandMine},
                                                         {L"f", CommandReinforce},
                                                         {L"r", CommandResign},
                                                         {L"l", CommandChangeFlagship},
                                                         {L"x", CommandNone},
                                                         {L"A", CommandNone},
                                                         {L"", CommandNone},
                                                         {L"p", CommandNone}};
    for (const auto& [key, value] : rows)
        EXPECT_EQ(table.Get(key), value) << std::string(key.begin(), key.end());
    EXPECT_EQ(table.GetMap().size(), 7u);
    EXPECT_EQ(&table, &CCommandMap::GetInstance());
}

TEST(CodeTables, WeaponGlyphs)
{
    const auto& table = CWeaponCodes::GetInstance();
    const std::pair<CommandCode, std::wstring> rows[] = {{CommandAttack, L"\uFF06"},
                                                         {CommandMove, L"\uFF0D"},
                                                         {CommandMine, L"\uFF0A"},
                                                         {CommandTorpedo, L"\uFF04"},
                                                         {CommandReinforce, L"\uFF01"},
                                                         {CommandRefuel, L"\uFF0B"},
                                                         {CommandChangeFlagship, L"\uFF03"},
                                                         {CommandResign, Blank},
                                                         {CommandPass, Blank},
                                                         {CommandNone, Blank}};
    for (const auto& [key, value] : rows) {
        EXPECT_EQ(table.Get(key), value) << key;
        EXPECT_EQ(table.Get(key).size(), 1u);
    }
}

TEST(CodeTables, DirectionLettersAndOrder)
{
    const auto& all = CDirectionMap::GetInstance();
    const auto& move = CMoveDirectionMap::GetInstance();
    const auto& mine = CMineDirectionMap::GetInstance();
    const std::vector<Direction> eight = {DirectionNorth,     DirectionEast,      DirectionWest,
                                          DirectionSouth,     DirectionNorthEast, DirectionNorthWest,
                                          DirectionSouthEast, DirectionSouthWest};
    EXPECT_EQ(all.GetValuesInOrder(), eight);
    EXPECT_EQ(move.GetValuesInOrder(),
              (std::vector<Direction>{DirectionNorth, DirectionEast, DirectionWest, DirectionSouth}));
    std::vector<Direction> nine = eight;
    nine.push_back(DirectionCenter);
    EXPECT_EQ(mine.GetValuesInOrder(), nine);
    EXPECT_EQ(mine.GetKeysInOrder().back(), L"c");

    EXPECT_EQ(all.Get(L"ne"), DirectionNorthEast);
    EXPECT_EQ(all.Get(L"sw"), DirectionSouthWest);
    EXPECT_EQ(all.Get(L"c"), DirectionNone);
    EXPECT_EQ(move.Get(L"ne"), DirectionNone); // the base entries do not survive
    EXPECT_EQ(move.Get(L"s"), DirectionSouth);
    EXPECT_EQ(move.GetMap().size(), 4u);
    EXPECT_EQ(mine.Get(L"c"), DirectionCenter);
    EXPECT_EQ(mine.Get(L"nw"), DirectionNorthWest);
    EXPECT_EQ(mine.Get(L"N"), DirectionNone);
    // Three distinct tables even though two derive from the first.
    EXPECT_NE(static_cast<const CDirectionMap*>(&move), &all);
    EXPECT_NE(static_cast<const CDirectionMap*>(&mine), &all);
}

TEST(CodeTables, PanelGlyphs)
{
    const auto& table = CPanelCodes::GetInstance();
    EXPECT_EQ(table.Get(PanelReef), L"\u25C6");
    EXPECT_EQ(table.Get(PanelShallow), L"\u2261");
    EXPECT_EQ(table.Get(PanelFog), L"\u25CE");
    EXPECT_EQ(table.Get(PanelHighWave), L"\u25B3");
    for (PanelType plain : {PanelUnknown, PanelBoundary, PanelSea}) EXPECT_EQ(table.Get(plain), Blank);

    CSeaPanel panel(1, 1);
    EXPECT_EQ(panel.GetTypeName(), Blank);
    panel.SetType(PanelFog);
    EXPECT_EQ(panel.GetTypeName(), L"\u25CE");
}

TEST(CodeTables, ShipTables)
{
    const auto& letters = CShipTypeMap::GetInstance();
    EXPECT_EQ(letters.Get(L"b"), ShipTypeBattleship);
    EXPECT_EQ(letters.Get(L"d"), ShipTypeDestroyer);
    EXPECT_EQ(letters.Get(L"s"), ShipTypeSubmarine);
    EXPECT_EQ(letters.Get(L"o"), ShipTypeOiler);
    EXPECT_EQ(letters.Get(L"B"), ShipTypeNone);

    const auto& names = CShipNames::GetInstance();
    const auto& codes = CShipCodes::GetInstance();
    const std::tuple<ShipType, std::wstring, std::wstring> rows[] = {
        {ShipTypeBattleship, L"Battleship", L"B"}, {ShipTypeDestroyer, L"Destroyer", L"D"},
        {ShipTypeSubmarine, L"Submarine", L"S"},   {ShipTypeOiler, L"Oiler", L"O"},
        {ShipTypeNone, L"Undefined", Blank},       {static_cast<ShipType>(5), L"Undefined", Blank}};
    for (const auto& [type, name, code] : rows) {
        EXPECT_EQ(names.Get(type), name) << type;
        EXPECT_EQ(codes.Get(type), code) << type;
    }
}

TEST(CodeTables, ShipConfigSetComesFromTheTable)
{
    for (std::uint32_t type = 0; type <= 5; ++type) {
        const ShipType t = static_cast<ShipType>(type);
        EXPECT_EQ(&GetShipConfigSet(t), &CShipConfigMap::GetInstance().Get(t)) << type;
    }
    EXPECT_EQ(GetShipConfigSet(ShipTypeSubmarine).WeaponStock, 3u);
    EXPECT_EQ(GetShipConfigSet(ShipTypeNone).AttackFp, 12u);
}

TEST(CodeTables, ErrorCodesAreExactlyTheFailures)
{
    std::set<MessageCode> failures = {2, 3, 21, 22, 24, 41, 75, 76, 77, 78, 79, 80, 81, 88, 124, 125, 126};
    for (MessageCode code = 95; code <= 118; ++code) failures.insert(code);
    for (MessageCode code = 0; code <= 200; ++code) {
        EXPECT_EQ(IsErrorCode(code), failures.count(code) != 0) << code;
    }
    EXPECT_FALSE(IsErrorCode(0xFFFFFFFFu));
    for (MessageCode code : {1u, 4u, 20u, 23u, 42u, 74u, 82u, 87u, 89u, 90u, 94u, 119u, 123u}) {
        EXPECT_FALSE(IsErrorCode(code)) << code;
    }
}
