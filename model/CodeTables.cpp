#include "model/CodeTables.h"

#include "model/ShipConfig.h"

namespace Marevane {

namespace {
// Shown where a glyph has nothing to show: the full-width space.
const std::wstring Blank = L"\u3000";
} // namespace

CCommandMap::CCommandMap()
{
    Fill({{L"a", CommandAttack},
          {L"m", CommandMove},
          {L"t", CommandTorpedo},
          {L"i", CommandMine},
          {L"f", CommandReinforce},
          {L"r", CommandResign},
          {L"l", CommandChangeFlagship}},
         CommandNone);
}

const CCommandMap& CCommandMap::GetInstance()
{
    static const CCommandMap instance;
    return instance;
}

CWeaponCodes::CWeaponCodes()
{
    Fill({{CommandAttack, L"\uFF06"},
          {CommandMove, L"\uFF0D"},
          {CommandMine, L"\uFF0A"},
          {CommandTorpedo, L"\uFF04"},
          {CommandReinforce, L"\uFF01"},
          {CommandRefuel, L"\uFF0B"},
          {CommandResign, Blank},
          {CommandChangeFlagship, L"\uFF03"}},
         Blank);
}

const CWeaponCodes& CWeaponCodes::GetInstance()
{
    static const CWeaponCodes instance;
    return instance;
}

CDirectionMap::CDirectionMap()
{
    Fill({{L"n", DirectionNorth},
          {L"e", DirectionEast},
          {L"w", DirectionWest},
          {L"s", DirectionSouth},
          {L"ne", DirectionNorthEast},
          {L"nw", DirectionNorthWest},
          {L"se", DirectionSouthEast},
          {L"sw", DirectionSouthWest}},
         DirectionNone);
}

const CDirectionMap& CDirectionMap::GetInstance()
{
    static const CDirectionMap instance;
    return instance;
}

CMoveDirectionMap::CMoveDirectionMap()
{
    Fill({{L"n", DirectionNorth}, {L"e", DirectionEast}, {L"w", DirectionWest}, {L"s", DirectionSouth}},
         DirectionNone);
}

const CMoveDirectionMap& CMoveDirectionMap::GetInstance()
{
    static const CMoveDirectionMap instance;
    return instance;
}

CMineDirectionMap::CMineDirectionMap()
{
    Fill({{L"n", DirectionNorth},
          {L"e", DirectionEast},
          {L"w", DirectionWest},
          {L"s", DirectionSouth},
          {L"ne", DirectionNorthEast},
          {L"nw", DirectionNorthWest},
          {L"se", DirectionSouthEast},
          {L"sw", DirectionSouthWest},
          {L"c", DirectionCenter}},
         DirectionNone);
}

const CMineDirectionMap& CMineDirectionMap::GetInstance()
{
    static const CMineDirectionMap instance;
    return instance;
}

CPanelCodes::CPanelCodes()
{
    Fill({{PanelReef, L"\u25C6"},
          {PanelShallow, L"\u2261"},
          {PanelFog, L"\u25CE"},
          {PanelHighWave, L"\u25B3"}},
         Blank);
}

const CPanelCodes& CPanelCodes::GetInstance()
{
    static const CPanelCodes instance;
    return instance;
}

CShipTypeMap::CShipTypeMap()
{
    Fill({{L"b", ShipTypeBattleship},
          {L"d", ShipTypeDestroyer},
          {L"s", ShipTypeSubmarine},
          {L"o", ShipTypeOiler}},
         ShipTypeNone);
}

const CShipTypeMap& CShipTypeMap::GetInstance()
{
    static const CShipTypeMap instance;
    return instance;
}

CShipNames::CShipNames()
{
    Fill({{ShipTypeBattleship, L"Battleship"},
          {ShipTypeDestroyer, L"Destroyer"},
          {ShipTypeSubmarine, L"Submarine"},
          {ShipTypeOiler, L"Oiler"}},
         L"Undefined");
}

const CShipNames& CShipNames::GetInstance()
{
    static const CShipNames instance;
    return instance;
}

CShipCodes::CShipCodes()
{
    Fill({{ShipTypeBattleship, L"B"},
          {ShipTypeDestroyer, L"D"},
          {ShipTypeSubmarine, L"S"},
          {ShipTypeOiler, L"O"}},
         Blank);
}

const CShipCodes& CShipCodes::GetInstance()
{
    static const CShipCodes instance;
    return instance;
}

const ShipConfigSet& GetShipConfigSet(ShipType type)
{
    static const CShipConfigMap* const table = &CShipConfigMap::GetInstance();
    return table->Get(type);
}

bool IsErrorCode(MessageCode code)
{
    switch (code) {
    case 2:
    case 3:
    case 21:
    case 22:
    case 24:
    case 41:
    case 75:
    case 76:
    case 77:
    case 78:
    case 79:
    case 80:
    case 81:
    case 88:
    case 124:
    case 125:
    case 126:
        return true;
    default:
        return code >= 95 && code <= 118;
    }
}

} // namespace Marevane
