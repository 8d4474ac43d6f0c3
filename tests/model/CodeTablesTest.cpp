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

// Every row of the ship table, and its default for a type it lacks, as the
// ship profiles get them.
TEST(CodeTables, ShipConfigSetRows)
{
    struct Row {
        ShipType type;
        std::uint32_t hp, fp, attack, move, extraMove, torpedo, refuel, stock, range;
        bool mine, fires, stealth, refuels;
    };
    const Row rows[] = {
        {ShipTypeBattleship, 3, 100, 10, 16, 4, 0, 30, 0, 4, false, false, false, false},
        {ShipTypeDestroyer, 2, 100, 12, 8, 2, 20, 30, 2, 4, true, true, false, false},
        {ShipTypeSubmarine, 1, 100, 16, 10, 0, 20, 30, 3, 4, false, true, true, false},
        {ShipTypeOiler, 2, 150, 50, 10, 0, 0, 30, 0, 4, false, false, false, true},
        {ShipTypeNone, 3, 100, 12, 10, 0, 20, 30, 0, 4, false, false, false, false},
        {static_cast<ShipType>(5), 3, 100, 12, 10, 0, 20, 30, 0, 4, false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        const ShipConfigSet& set = GetShipConfigSet(row.type);
        EXPECT_EQ(set.Type, static_cast<std::uint32_t>(row.type <= ShipTypeOiler ? row.type : ShipTypeNone));
        EXPECT_EQ(set.Hp, row.hp);
        EXPECT_EQ(set.Fp, row.fp);
        EXPECT_EQ(set.AttackFp, row.attack);
        EXPECT_EQ(set.MoveFp, row.move);
        EXPECT_EQ(set.ExtraMoveFp, row.extraMove);
        EXPECT_EQ(set.TorpedoFp, row.torpedo);
        EXPECT_EQ(set.RefuelFp, row.refuel);
        EXPECT_EQ(set.WeaponStock, row.stock);
        EXPECT_EQ(set.Reserved, 1u);
        EXPECT_EQ(set.MoveRange, row.range);
        EXPECT_EQ(set.CanLayMine, row.mine);
        EXPECT_EQ(set.CanFireTorpedo, row.fires);
        EXPECT_EQ(set.CanStealth, row.stealth);
        EXPECT_EQ(set.CanRefuel, row.refuels);
    }
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
