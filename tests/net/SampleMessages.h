// Message records with a value in every carried field, for round trips, and
// helpers to look at pieces byte by byte.
#pragma once

#include "model/Messages.h"
#include "net/Serializer.h"

#include <cstdint>
#include <string>

namespace Marevane::Samples {

// The wire form of a record: two records are equal on the wire when their
// pieces are.
template <class T> std::string Wire(const T& record)
{
    return CSerializer::GetInstance().Serialize(record);
}

// A Message with every field at the wire's default: numbers 0, strings and
// containers empty (our in-memory side defaults to a manual one at the
// loopback address).
inline Message EmptyMessage()
{
    Message message;
    message.Sender.Type = UnitWatching;
    message.Sender.Address.clear();
    return message;
}

inline std::uint32_t ReadU32(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes.at(offset + i));
    return value;
}

inline std::uint64_t ReadU64(const std::string& bytes, std::size_t offset)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes.at(offset + i));
    return value;
}

inline void WriteU32(std::string& bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<char>(value >> (8 * i));
}

inline void WriteU64(std::string& bytes, std::size_t offset, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i) bytes.at(offset + i) = static_cast<char>(value >> (8 * i));
}

inline UnitProfile MakeUnit(std::uint32_t id, std::wstring name)
{
    UnitProfile unit(id, UnitAuto, 1, std::move(name), L"pass\U0001F511", "192.0.2.33", -6);
    unit.ThirdText = L"third";
    unit.TeamMates = {5, 1ull << 40};
    unit.FlagshipId = 3;
    unit.ReinforcementsLeft = 2;
    unit.Port = 18543;
    unit.IsResigned = true;
    unit.IsTimedOut = true;
    for (std::uint32_t k = 0; k < 4; ++k) {
        unit.Statistics[k][StatHits] = 10 + k;
        unit.Statistics[k][StatVictory] = 20 + k;
        unit.Statistics[k].Time = 123456789012ull + k;
        unit.Statistics[k].Score = -2.5 * (k + 1);
    }
    unit.HostId = 0x0102030405060708ull + id;
    return unit;
}

inline MineProfile MakeMine(std::uint32_t unitId, std::uint32_t seed)
{
    MineProfile mine(unitId, seed, ShipTypeDestroyer);
    mine.Number = seed;
    mine.VictimShipType = ShipTypeSubmarine;
    mine.Reserved = 0xFFFFFFFFu;
    mine.Pos = MapPos(seed, seed + 1);
    mine.IsPlaced = true;
    mine.IsExploded = seed % 2 == 0;
    return mine;
}

inline ShipProfile MakeShip(std::uint32_t unitId, std::uint32_t shipId)
{
    ShipProfile ship;
    ship.UnitId = unitId;
    ship.ShipId = shipId;
    ship.Type = ShipTypeDestroyer;
    ship.Status = ShipStatusStealth;
    ship.Condition = 4;
    ship.LastEvent = 2;
    ship.PendingStatus = 5;
    ship.Hp = -1;
    ship.Fp = 80;
    ship.FpChange = -16;
    ship.Pos = MapPos(2, 3);
    ship.WeaponStock = 2;
    ship.IsFlagship = true;
    ship.Statistics[ShipStatHits] = 4;
    ship.Statistics[ShipStatPanelsExplored] = 17;
    ship.Config.Type = ShipTypeDestroyer;
    ship.Config.Hp = 2;
    ship.Config.MoveRange = 8;
    ship.Config.CanLayMine = true;
    ship.Config.CanRefuel = true;
    for (std::uint32_t k = 0; k < 3; ++k) ship.MineHits[k] = MakeMine(unitId, shipId * 10 + k);
    return ship;
}

inline MapData MakeMap()
{
    MapData map(7, 9);
    map.Id = 3;
    map.CoordinateInfo.Positions = {MapPos(1, 1), MapPos(7, 9)};
    map.CoordinateInfo.KnownPositions = {MapPos(2, 2)};
    map.UnitCoordinateInfo[0].KnownPositions = {MapPos(3, 4)};
    map.UnitCoordinateInfo[2].Positions = {MapPos(5, 6), MapPos(6, 5)};
    map.PanelTypes = {{MapPos(1, 2), PanelReef}, {MapPos(4, 4), PanelFog}};
    TorpedoProfile torpedo;
    torpedo.Number = 1;
    torpedo.UnitId = 2;
    torpedo.ShipId = 3;
    torpedo.ShipType = ShipTypeSubmarine;
    torpedo.LaunchPos = MapPos(1, 1);
    torpedo.CurrentPos = MapPos(1, 2);
    torpedo.TargetPos = MapPos(1, 5);
    torpedo.Direction = DirectionEast;
    torpedo.IsFinished = true;
    map.Torpedoes = {torpedo, torpedo};
    map.Mines = {MakeMine(1, 7)};
    map.SpecialPanelCount = 6;
    map.MaxReefs = 2;
    return map;
}

inline void FillHeader(Message& message, MessageCode code)
{
    message.Code = code;
    message.SecondCode = 21;
    message.Sender = MakeUnit(1, L"Ægir \U0001F30A");
    message.Units = {MakeUnit(0, L"host"), MakeUnit(1, L"Ægir \U0001F30A")};
    message.Command.Command = CommandTorpedo;
    message.Command.UnitId = 1;
    message.Command.ShipId = 2;
    message.Command.ShipType = ShipTypeSubmarine;
    message.Command.Direction = DirectionSouthWest;
    message.Command.Distance = 3;
    message.Command.Target = MapPos(4, 5);
    message.Command.Text = L"さようなら \U00020BB7";
    message.Time = 86400123;
}

inline Message MakeFullMessage()
{
    Message message;
    FillHeader(message, 53);
    return message;
}

inline ProgressMessage MakeFullProgress()
{
    ProgressMessage message;
    FillHeader(message, 35);
    message.Order = {4, 2};
    message.Map = MakeMap();
    message.TurnOrder = {2, 0, 1};
    message.Ships[0] = {MakeShip(0, 1), MakeShip(0, 2)};
    message.Ships[2] = {};
    message.Ships[1] = {MakeShip(1, 1)};
    message.Text = L"turn";
    message.BoardText = L"┌─┐\n│B│ \U0001F6A2";
    return message;
}

inline GameEditInfo MakeRules()
{
    GameEditInfo rules;
    rules.Rule = GameModeVersus | GameModeTag;
    rules.Map = MakeMap();
    rules.ComputerLevel = -10;
    rules.Mission = 0x10000004;
    rules.TimeLimit = 20000;
    rules.DeadlineRounds = 30;
    rules.IsTeamVersus = true;
    rules.SurfacingCycle = 0;
    rules.FpPercentage = 150;
    rules.DestroyerWeapons = 4;
    rules.SubmarineWeapons = 5;
    rules.ReserveFleetSize = 2;
    rules.IsPanelEffectEnabled = false;
    rules.IsStealthEnabled = false;
    rules.ThirdFlag = true;
    rules.PlayerCount = 4;
    rules.TeamCount = 2;
    rules.PlayerTypes = {1, 2, 0, 1};
    rules.PlayerOptions = {7, 8, 9};
    rules.FleetSize = 5;
    rules.IsReinforcementAllowed = 0;
    rules.RuleLists = {std::set<std::uint32_t>{1, 2}, std::set<std::uint32_t>{},
                       std::set<std::uint32_t>{0xFFFFFFFFu}};
    return rules;
}

inline EntryMessage MakeFullEntry()
{
    EntryMessage message(14);
    FillHeader(message, 14);
    message.IsPlayer = true;
    message.Entry = MakeUnit(3, L"Entrant \U0001F3F4");
    message.Rules = MakeRules();
    message.Text = L"hello";
    return message;
}

inline FleetEditMessage MakeFullFleet()
{
    FleetEditMessage message;
    FillHeader(message, FleetEditMessage::FleetCode);
    message.Ships = {MakeShip(1, 1), MakeShip(1, 2), MakeShip(1, 3)};
    message.FirstFlag = true;
    message.SecondFlag = false;
    message.Text = L"fleet \U0001F6A2";
    return message;
}

inline ResultMessage MakeFullResult()
{
    ResultMessage message;
    FillHeader(message, 36);
    message.Order = {2, 1};
    ActionInfo action;
    action.Kind = 1;
    action.Command = CommandMove;
    action.UnitId = 1;
    action.ShipId = 2;
    action.ShipType = ShipTypeBattleship;
    action.Direction = DirectionNorth;
    action.Distance = 2;
    action.Target = MapPos(3, 3);
    action.Ships[1] = {MakeShip(1, 2)};
    action.Ships[0] = {MakeShip(0, 1), MakeShip(0, 3)};
    ActionInfo effect;
    effect.Kind = 3;
    message.Actions = {action, effect, action};
    return message;
}

} // namespace Marevane::Samples
