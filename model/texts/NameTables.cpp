#include "model/texts/NameTables.h"

#include <QCoreApplication>

#include <utility>
#include <vector>

namespace Marevane {

namespace {

const char* const Context = "QObject";

template <typename K>
std::vector<std::pair<K, QString>> Translate(std::initializer_list<std::pair<K, const char*>> rows)
{
    std::vector<std::pair<K, QString>> translated;
    translated.reserve(rows.size());
    for (const auto& row : rows)
        translated.emplace_back(row.first, QCoreApplication::translate(Context, row.second));
    return translated;
}

QString Undefined()
{
    return QCoreApplication::translate(Context, QT_TRANSLATE_NOOP("QObject", "Undefined"));
}

} // namespace

CGUICommandNames::CGUICommandNames()
{
    Fill(Translate<CommandCode>({
             {CommandAttack, QT_TRANSLATE_NOOP("QObject", "Attack")},
             {CommandMove, QT_TRANSLATE_NOOP("QObject", "Move")},
             {CommandMine, QT_TRANSLATE_NOOP("QObject", "Mine")},
             {CommandTorpedo, QT_TRANSLATE_NOOP("QObject", "Torpedo")},
             {CommandReinforce, QT_TRANSLATE_NOOP("QObject", "Reinforce")},
             {CommandRefuel, QT_TRANSLATE_NOOP("QObject", "Refuel")},
             {CommandResign, QT_TRANSLATE_NOOP("QObject", "Resign")},
             {CommandChangeFlagship, QT_TRANSLATE_NOOP("QObject", "Change Flagship")},
         }),
         Undefined());
}

CGUIDirectionNames::CGUIDirectionNames()
{
    Fill(Translate<Direction>({
             {DirectionNorth, QT_TRANSLATE_NOOP("QObject", "North")},
             {DirectionEast, QT_TRANSLATE_NOOP("QObject", "East")},
             {DirectionWest, QT_TRANSLATE_NOOP("QObject", "West")},
             {DirectionSouth, QT_TRANSLATE_NOOP("QObject", "South")},
             {DirectionNorthEast, QT_TRANSLATE_NOOP("QObject", "Northeast")},
             {DirectionNorthWest, QT_TRANSLATE_NOOP("QObject", "Northwest")},
             {DirectionSouthEast, QT_TRANSLATE_NOOP("QObject", "Southeast")},
             {DirectionSouthWest, QT_TRANSLATE_NOOP("QObject", "Southwest")},
             {DirectionCenter, QT_TRANSLATE_NOOP("QObject", "Center")},
         }),
         Undefined());
}

CGUIShipNames::CGUIShipNames()
{
    Fill(Translate<ShipType>({
             {ShipTypeBattleship, QT_TRANSLATE_NOOP("QObject", "Battleship")},
             {ShipTypeDestroyer, QT_TRANSLATE_NOOP("QObject", "Destroyer")},
             {ShipTypeSubmarine, QT_TRANSLATE_NOOP("QObject", "Submarine")},
             {ShipTypeOiler, QT_TRANSLATE_NOOP("QObject", "Oiler")},
         }),
         Undefined());
}

CGUIShipStatusNames::CGUIShipStatusNames()
{
    Fill(Translate<ShipStatus>({
             {ShipStatusNormal, QT_TRANSLATE_NOOP("QObject", "Normal")},
             {ShipStatusStealth, QT_TRANSLATE_NOOP("QObject", "Stealth")},
             {ShipStatusStealthDisabled, QT_TRANSLATE_NOOP("QObject", "Stealth Disabled")},
             {ShipStatusFuelShortage, QT_TRANSLATE_NOOP("QObject", "Fuel Shortage")},
             {ShipStatusSinking, QT_TRANSLATE_NOOP("QObject", "Sinking")},
         }),
         Undefined());
}

QString CGUIShipStatusNames::GetStatusText(std::uint32_t first, std::uint32_t second) const
{
    const auto name = [this](std::uint32_t status) { return Get(static_cast<ShipStatus>(status)); };
    if (first >= 2 && first != second)
        return second >= 2 ? name(second) + QStringLiteral(", ") + name(first) : name(first);
    return second >= 2 ? name(second) : name(first);
}

CGUIPanelNames::CGUIPanelNames()
{
    Fill(Translate<PanelType>({
             {PanelUnknown, QT_TRANSLATE_NOOP("QObject", "Unknown")},
             {PanelSea, QT_TRANSLATE_NOOP("QObject", "Sea")},
             {PanelReef, QT_TRANSLATE_NOOP("QObject", "Reef")},
             {PanelShallow, QT_TRANSLATE_NOOP("QObject", "Shallow")},
             {PanelFog, QT_TRANSLATE_NOOP("QObject", "Fog")},
             {PanelHighWave, QT_TRANSLATE_NOOP("QObject", "High Wave")},
         }),
         Undefined());
}

CGUIMissionNames::CGUIMissionNames()
{
    Fill(Translate<MissionType>({
             {0x10000001, QT_TRANSLATE_NOOP("QObject", "Get Sea Control")},
             {0x10000002, QT_TRANSLATE_NOOP("QObject", "Wipe Out")},
             {0x10000004, QT_TRANSLATE_NOOP("QObject", "Defeat Flagship")},
             {0x50000011, QT_TRANSLATE_NOOP("QObject", "Reconnaissance")},
             {0x50000012, QT_TRANSLATE_NOOP("QObject", "Assault")},
             {0x50000014, QT_TRANSLATE_NOOP("QObject", "Raid")},
             {0x50000015, QT_TRANSLATE_NOOP("QObject", "Rapid Decisive")},
             {0x70000030, QT_TRANSLATE_NOOP("QObject", "Pullout")},
             {0x50000009, QT_TRANSLATE_NOOP("QObject", "Rescue (Sea Control)")},
             {0x5000000A, QT_TRANSLATE_NOOP("QObject", "Rescue (Wipe Out)")},
             {0x5000000C, QT_TRANSLATE_NOOP("QObject", "Rescue (Flagship)")},
             {0x50000019, QT_TRANSLATE_NOOP("QObject", "Rescue (Recon)")},
             {0x5000001A, QT_TRANSLATE_NOOP("QObject", "Rescue (Assault)")},
             {0x5000001C, QT_TRANSLATE_NOOP("QObject", "Rescue (Raid)")},
             {0x5000001D, QT_TRANSLATE_NOOP("QObject", "Rescue (Decisive)")},
             {0x70000038, QT_TRANSLATE_NOOP("QObject", "Rescue (Pullout)")},
         }),
         Undefined());
    for (auto& row : Translate<MissionType>({
             {0x50000008, QT_TRANSLATE_NOOP("QObject", "Rescue")},
             {0x50000010, QT_TRANSLATE_NOOP("QObject", "Deadline")},
             {0x20000020, QT_TRANSLATE_NOOP("QObject", "Survival")},
         }))
        m_extra.emplace(row.first, std::move(row.second));
}

const QString& CGUIMissionNames::GetName(MissionType mission) const
{
    const auto extra = m_extra.find(mission);
    return extra != m_extra.end() ? extra->second : Get(mission);
}

CGUICommandModeNames::CGUICommandModeNames()
{
    Fill(Translate<UnitType>({
             {UnitWatching, QT_TRANSLATE_NOOP("QObject", "Watching")},
             {UnitManual, QT_TRANSLATE_NOOP("QObject", "Manual")},
             {UnitAuto, QT_TRANSLATE_NOOP("QObject", "Auto")},
         }),
         Undefined());
}

CGUIHostTypeNames::CGUIHostTypeNames()
{
    Fill(Translate<HostType>({
             {HostServer, QT_TRANSLATE_NOOP("QObject", "Server")},
             {HostClient, QT_TRANSLATE_NOOP("QObject", "Client")},
         }),
         Undefined());
}

CLanguageNames::CLanguageNames()
{
    Fill({{LanguageDefault, L"Default"}, {LanguageEnglish, L"English"}, {LanguageJapanese, L"Japanese"}},
         L"Undefined");
}

} // namespace Marevane
