// The model's enumerations. Every one travels as a 32-bit number in records
// and on the wire, so each has uint32_t as its underlying type.
#pragma once

#include <cstdint>

namespace Marevane {

// Events, requests, results and refusals (1 to 126) passed between every
// part of the game; its user texts live with the message-text table.
using MessageCode = std::uint32_t;

enum CommandCode : std::uint32_t {
    CommandNone = 0,
    CommandAttack = 1,
    CommandMove = 2,
    CommandMine = 3,
    CommandTorpedo = 4,
    CommandReinforce = 5,
    CommandRefuel = 6,
    CommandResign = 7,
    CommandChangeFlagship = 8,
    CommandPass = 9,
};

enum ShipType : std::uint32_t {
    ShipTypeNone = 0,
    ShipTypeBattleship = 1,
    ShipTypeDestroyer = 2,
    ShipTypeSubmarine = 3,
    ShipTypeOiler = 4,
};

enum PanelType : std::uint32_t {
    PanelUnknown = 0,
    PanelBoundary = 1,
    PanelSea = 2,
    PanelReef = 3,
    PanelShallow = 4,
    PanelFog = 5,
    PanelHighWave = 6,
};

enum Direction : std::uint32_t {
    DirectionNone = 0,
    DirectionNorth = 1,
    DirectionEast = 2,
    DirectionWest = 3,
    DirectionSouth = 4,
    DirectionNorthEast = 5,
    DirectionNorthWest = 6,
    DirectionSouthEast = 7,
    DirectionSouthWest = 8,
    DirectionCenter = 9,
};

enum ShipStatus : std::uint32_t {
    ShipStatusNone = 0,
    ShipStatusNormal = 1,
    ShipStatusStealth = 2,
    ShipStatusStealthDisabled = 3,
    ShipStatusFuelShortage = 4,
    ShipStatusSinking = 5,
};

enum UnitType : std::uint32_t {
    UnitWatching = 0,
    UnitManual = 1,
    UnitAuto = 2,
};

enum HostType : std::uint32_t {
    HostServer = 0,
    HostClient = 1,
};

enum Language : std::uint32_t {
    LanguageDefault = 0,
    LanguageEnglish = 1,
    LanguageJapanese = 2,
};

// Bit-composed mission codes; the low bits name the mission class.
using MissionType = std::uint32_t;

// Title-menu choices as bit flags.
enum GameMode : std::uint32_t {
    GameModeArcade = 0x01,
    GameModeVersus = 0x04,
    GameModeSingle = 0x08,
    GameModeTag = 0x10,
    GameModeDeathMatch = 0x40,
    GameModeWatch = 0x80,
};

namespace ComputerAI {
// The computer's strength.
enum Mode : std::int32_t {
    ModeVeryEasy = -10,
    ModeEasy = -6,
    ModeNormal = 0,
    ModeHard = 10,
    ModeVeryHard = 16,
    ModeExtreme = 30,
};
} // namespace ComputerAI

} // namespace Marevane
