// Plain records shared by the whole game: the model keeps its state in them,
// the computer reasons on copies, the network carries them. Field order is
// the wire order; keep it.
//
// Containers that the wire calls "unordered" are ordered here (std::map,
// std::set) so that every walk over them is the same on every run.
#pragma once

#include "model/Types.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace Marevane {

// One panel position: x is the row (grows southwards, 0 = northern ring),
// y the column (grows eastwards, 0 = western ring). Also used for offsets.
struct MapPos {
    std::uint32_t x = 0;
    std::uint32_t y = 0;

    MapPos() = default;
    MapPos(std::uint32_t row, std::uint32_t column) : x(row), y(column) {}

    friend bool operator==(const MapPos& a, const MapPos& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const MapPos& a, const MapPos& b) { return !(a == b); }
    friend bool operator<(const MapPos& a, const MapPos& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; }
};

struct MapCoordinateInfo {
    std::set<MapPos> Positions;
    // Panels known: to every unit in MapData::CoordinateInfo, to one unit in
    // its entry of MapData::UnitCoordinateInfo.
    std::set<MapPos> KnownPositions;
};

struct TorpedoProfile {
    std::uint32_t Number = 0; // torpedoes the ship fired before this one
    std::uint32_t UnitId = 0;
    std::uint32_t ShipId = 0;
    std::uint32_t ShipType = 0;
    MapPos LaunchPos;
    MapPos CurrentPos;
    MapPos TargetPos;
    std::uint32_t Direction = 0; // of the last step; centre at launch
    bool IsFinished = false;
};

constexpr std::uint32_t NoNumber = 0xFFFFFFFFu;

struct MineProfile {
    std::uint32_t Number = 0; // mines the owner laid before this one
    std::uint32_t UnitId = 0;
    std::uint32_t ShipId = 0;
    std::uint32_t ShipType = 0;
    std::uint32_t VictimUnitId = 0;
    std::uint32_t VictimShipType = 0;
    std::uint32_t Reserved = 0;
    MapPos Pos;
    bool IsPlaced = false;
    bool IsExploded = false; // dead; dropped from its panel

    MineProfile() = default;
    // An unlaid mine of its owner ship.
    MineProfile(std::uint32_t unitId, std::uint32_t shipId, std::uint32_t shipType)
        : Number(NoNumber), UnitId(unitId), ShipId(shipId), ShipType(shipType), VictimUnitId(NoNumber)
    {
    }
};

MineProfile MakeDefaultMineProfile();

struct MapData {
    std::uint32_t Id = 0; // 0 for a map built from the rules; arcade stage otherwise
    MapPos Size{5, 5};    // rows and columns inside the boundary ring
    MapCoordinateInfo CoordinateInfo;
    std::map<std::uint32_t, MapCoordinateInfo> UnitCoordinateInfo;
    std::map<MapPos, PanelType> PanelTypes; // positions not listed are sea
    std::vector<TorpedoProfile> Torpedoes;
    std::vector<MineProfile> Mines;
    std::int32_t SpecialPanelCount = -1; // negative: 2 per 10 sea panels
    std::int32_t MaxReefs = -1;          // negative caps mean no cap
    std::int32_t MaxShallows = -1;
    std::int32_t MaxFogs = -1;
    std::int32_t MaxHighWaves = -1;
    std::uint32_t StageCode = 0;

    MapData() = default;
    MapData(std::uint32_t rows, std::uint32_t columns) : Size(rows, columns) {}
};

struct ShipConfigSet {
    std::uint32_t Type = ShipTypeNone;
    std::uint32_t Hp = 0;
    std::uint32_t Fp = 0; // 0: the ship uses no fuel
    std::uint32_t AttackFp = 0;
    std::uint32_t MoveFp = 0;
    std::uint32_t ExtraMoveFp = 0; // per panel beyond the third
    std::uint32_t TorpedoFp = 0;
    std::uint32_t RefuelFp = 0;
    std::uint32_t WeaponStock = 0;
    std::uint32_t Reserved = 1;
    std::uint32_t MoveRange = 0;
    bool CanLayMine = false;
    bool CanFireTorpedo = false;
    bool CanStealth = false;
    bool CanRefuel = false;
};

// Per-ship counters, indexed as ShipStat*.
enum ShipStatIndex : std::uint32_t {
    ShipStatAttacks = 0,
    ShipStatHits = 1,
    ShipStatNearMisses = 2,
    ShipStatSunk = 3,
    ShipStatTorpedoes = 4,
    ShipStatMinesLaid = 5,
    ShipStatOwnMineHits = 6,
    ShipStatOtherMineHits = 7,
    ShipStatOwnMinesCleared = 8,
    ShipStatOtherMinesCleared = 9,
    ShipStatMoves = 10,
    ShipStatPanelsMoved = 11,
    ShipStatReinforcements = 12,
    ShipStatRefuels = 13,
    ShipStatFpGiven = 14,
    ShipStatFlagshipChanges = 15,
    ShipStatPanelsExplored = 16,
    ShipStatCount = 17,
};

struct ShipStatistics {
    std::array<std::uint32_t, ShipStatCount> Counters{};
    std::uint32_t& operator[](std::size_t i) { return Counters[i]; }
    std::uint32_t operator[](std::size_t i) const { return Counters[i]; }
};

struct ShipProfile {
    std::uint32_t UnitId = 0;
    std::uint32_t ShipId = 0;
    std::uint32_t Type = ShipTypeNone;
    std::uint32_t Status = 0;        // as shown: ShipStatus
    std::uint32_t Condition = 0;     // underlying: 1 normal, 4 fuel shortage, 5 sinking
    std::uint32_t LastEvent = 0;     // 0 nothing, 1 missed, 2 damaged, 3 sunk, 4 near miss, 5 reef stop, 6 cleared mines
    std::uint32_t PendingStatus = 0; // 0 none, 1 enter stealth, 2 leave stealth, 3 fog, 4 stay, 5 fuel shortage
    std::int32_t Hp = 0;
    std::uint32_t Fp = 0;
    std::int32_t FpChange = 0;
    MapPos Pos;
    std::int32_t WeaponStock = 0;
    bool IsFlagship = false;
    ShipStatistics Statistics;
    ShipConfigSet Config;
    std::array<MineProfile, 3> MineHits{}; // all three go on the wire
};

// Counters of a side, indexed as Stat*; c_k of the score formula.
enum ActionStatIndex : std::uint32_t {
    StatAttacks = 0,
    StatHits = 1,
    StatNearMisses = 2,
    StatSunk = 3,
    StatTorpedoes = 4,
    StatMinesLaid = 5,
    StatMinesHeld = 6,
    StatOwnMineHits = 7,
    StatOtherMineHits = 8,
    StatOwnMinesCleared = 9,
    StatOtherMinesCleared = 10,
    StatMoves = 11,
    StatPanelsMoved = 12,
    StatReinforcements = 13,
    StatRefuels = 14,
    StatFpGiven = 15,
    StatFlagshipChanges = 16,
    StatHp = 17,
    StatMaxHp = 18,
    StatFp = 19,
    StatMaxFp = 20,
    StatPanelsExplored = 21,
    StatPanelCount = 22,
    StatRound = 23,
    StatBattles = 24,
    StatVictory = 25,
    StatCount = 26,
};

struct ActionStatistics {
    std::array<std::uint32_t, StatCount> Counters{};
    std::uint64_t Time = 0; // ms, from the unit's timer
    double Score = 0.0;
    std::uint32_t& operator[](std::size_t i) { return Counters[i]; }
    std::uint32_t operator[](std::size_t i) const { return Counters[i]; }
};

struct UnitProfile {
    std::uint32_t Id = 0;
    std::uint32_t Type = UnitManual;
    std::uint32_t OriginFlag = 0;
    std::wstring Name;
    std::wstring Password;
    std::wstring ThirdText;
    std::set<std::uint64_t> TeamMates; // host ids; empty = no team
    std::uint32_t Level = 0;           // ComputerAI::Mode, signed in use
    std::uint32_t FlagshipId = 0;      // 0 = none
    std::uint32_t ReinforcementsLeft = 0;
    std::string Address = "127.0.0.1";
    std::uint16_t Port = 0;
    bool IsResigned = false;
    bool IsTimedOut = false;
    // [0] this battle, [1] all battles, [2] battles without and [3] with team mates.
    std::array<ActionStatistics, 4> Statistics{};
    std::uint64_t HostId = 0;

    UnitProfile() = default;
    UnitProfile(std::uint32_t id, std::uint32_t type, std::uint32_t originFlag, std::wstring name,
                std::wstring password, std::string address, std::int32_t level)
        : Id(id), Type(type), OriginFlag(originFlag), Name(std::move(name)), Password(std::move(password)),
          Level(static_cast<std::uint32_t>(level)), Address(std::move(address))
    {
    }
    UnitProfile(std::uint32_t id, std::uint32_t type, std::uint32_t originFlag, std::wstring name,
                std::wstring password)
        : UnitProfile(id, type, originFlag, std::move(name), std::move(password), "127.0.0.1", 0)
    {
    }
};

struct CommandInput {
    std::uint32_t Command = CommandNone;
    std::uint32_t UnitId = 0;
    std::uint32_t ShipId = 0;
    std::uint32_t ShipType = ShipTypeNone;
    std::uint32_t Direction = DirectionNone;
    std::uint32_t Distance = 0;
    MapPos Target;
    std::wstring Text; // parting words of a resignation
};

struct PlayOrder {
    std::uint32_t Round = 0;
    std::uint32_t Position = 0;
};

// One action of a turn and the ships it changed, by unit id.
struct ActionInfo {
    std::uint32_t Kind = 0; // 1 a command, 2 a turn effect, 3 end-of-turn changes
    std::uint32_t Command = CommandNone;
    std::uint32_t UnitId = 0;
    std::uint32_t ShipId = 0;
    std::uint32_t ShipType = ShipTypeNone;
    std::uint32_t Direction = DirectionNone;
    std::uint32_t Distance = 0;
    MapPos Target;
    std::map<std::uint32_t, std::vector<ShipProfile>> Ships;

    // That side's first profile of the ship, or null.
    const ShipProfile* FindShipProfile(std::uint32_t unitId, std::uint32_t shipId) const
    {
        auto side = Ships.find(unitId);
        if (side == Ships.end()) return nullptr;
        for (const ShipProfile& ship : side->second) {
            if (ship.ShipId == shipId) return &ship;
        }
        return nullptr;
    }

    // That side's profiles the predicate accepts, in order.
    template <typename Predicate>
    std::vector<const ShipProfile*> FindShipProfiles(std::uint32_t unitId, Predicate accept) const
    {
        std::vector<const ShipProfile*> found;
        auto side = Ships.find(unitId);
        if (side == Ships.end()) return found;
        for (const ShipProfile& ship : side->second) {
            if (accept(ship)) found.push_back(&ship);
        }
        return found;
    }
};

// Rule settings of one battle, held by CGameEdit and sent to clients.
struct GameEditInfo {
    std::uint32_t Rule = GameModeVersus | GameModeSingle; // GameMode bits
    MapData Map;
    std::int32_t ComputerLevel = 0;
    MissionType Mission = 0x10000001;
    std::uint32_t TimeLimit = 1200000; // ms
    std::uint32_t DeadlineRounds = 15;
    bool IsTeamVersus = false;
    std::uint32_t SurfacingCycle = 3; // 0: never surface
    std::uint32_t FpPercentage = 100;
    std::uint32_t DestroyerWeapons = 2;
    std::uint32_t SubmarineWeapons = 3;
    std::uint32_t ReserveFleetSize = 1;
    bool IsPanelEffectEnabled = true;
    bool IsStealthEnabled = true;
    bool ThirdFlag = false;
    std::uint32_t PlayerCount = 2;
    std::uint32_t TeamCount = 0;
    std::vector<std::uint32_t> PlayerTypes;
    std::vector<std::uint32_t> PlayerOptions;
    std::vector<std::set<std::uint32_t>> Teams;
    std::uint32_t FleetSize = 3;
    std::uint32_t IsReinforcementAllowed = 1;
    std::array<std::set<std::uint32_t>, 3> RuleLists;
};

} // namespace Marevane
