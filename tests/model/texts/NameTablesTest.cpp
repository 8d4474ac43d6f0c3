#include "model/texts/NameTables.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Marevane;

TEST(NameTables, RowsAndTheDefault)
{
    struct Case {
        const char* table;
        std::function<QString()> lookup;
        const char* text;
    };
    const Case cases[] = {
        {"command", [] { return CGUICommandNames::GetInstance().Get(CommandAttack); }, "Attack"},
        {"command", [] { return CGUICommandNames::GetInstance().Get(CommandChangeFlagship); },
         "Change Flagship"},
        {"command", [] { return CGUICommandNames::GetInstance().Get(CommandPass); }, "Undefined"},
        {"direction", [] { return CGUIDirectionNames::GetInstance().Get(DirectionNorthEast); }, "Northeast"},
        {"direction", [] { return CGUIDirectionNames::GetInstance().Get(DirectionWest); }, "West"},
        {"direction", [] { return CGUIDirectionNames::GetInstance().Get(DirectionCenter); }, "Center"},
        {"direction", [] { return CGUIDirectionNames::GetInstance().Get(DirectionNone); }, "Undefined"},
        {"ship", [] { return CGUIShipNames::GetInstance().Get(ShipTypeOiler); }, "Oiler"},
        {"ship", [] { return CGUIShipNames::GetInstance().Get(ShipTypeNone); }, "Undefined"},
        {"status", [] { return CGUIShipStatusNames::GetInstance().Get(ShipStatusStealthDisabled); },
         "Stealth Disabled"},
        {"status", [] { return CGUIShipStatusNames::GetInstance().Get(ShipStatusNone); }, "Undefined"},
        {"panel", [] { return CGUIPanelNames::GetInstance().Get(PanelUnknown); }, "Unknown"},
        {"panel", [] { return CGUIPanelNames::GetInstance().Get(PanelBoundary); }, "Undefined"},
        {"panel", [] { return CGUIPanelNames::GetInstance().Get(PanelHighWave); }, "High Wave"},
        {"mode", [] { return CGUICommandModeNames::GetInstance().Get(UnitWatching); }, "Watching"},
        {"mode", [] { return CGUICommandModeNames::GetInstance().Get(UnitAuto); }, "Auto"},
        {"host", [] { return CGUIHostTypeNames::GetInstance().Get(HostServer); }, "Server"},
        {"host", [] { return CGUIHostTypeNames::GetInstance().Get(HostClient); }, "Client"},
        {"host", [] { return CGUIHostTypeNames::GetInstance().Get(static_cast<HostType>(2)); }, "Undefined"},
        {"mission", [] { return CGUIMissionNames::GetInstance().GetName(0x50000008); }, "Rescue"},
        {"mission", [] { return CGUIMissionNames::GetInstance().GetName(0x20000020); }, "Survival"},
        {"mission", [] { return CGUIMissionNames::GetInstance().GetName(0x10000001); }, "Get Sea Control"},
        {"mission", [] { return CGUIMissionNames::GetInstance().GetName(0x70000038); }, "Rescue (Pullout)"},
        {"mission", [] { return CGUIMissionNames::GetInstance().GetName(0x10000003); }, "Undefined"},
        {"mission", [] { return CGUIMissionNames::GetInstance().Get(0x50000008); },
         "Undefined"}, // extra rows only by name
    };
    for (const Case& c : cases) EXPECT_EQ(c.lookup().toStdString(), c.text) << c.table;

    EXPECT_EQ(CGUICommandNames::GetInstance().GetMap().size(), 8u);
    EXPECT_EQ(CGUIDirectionNames::GetInstance().GetMap().size(), 9u);
    EXPECT_EQ(CGUIShipNames::GetInstance().GetMap().size(), 4u);
    EXPECT_EQ(CGUIShipStatusNames::GetInstance().GetMap().size(), 5u);
    EXPECT_EQ(CGUIPanelNames::GetInstance().GetMap().size(), 6u);
    EXPECT_EQ(CGUIMissionNames::GetInstance().GetMap().size(), 16u);
    EXPECT_EQ(CGUICommandModeNames::GetInstance().GetMap().size(), 3u);
    EXPECT_EQ(CGUIHostTypeNames::GetInstance().GetMap().size(), 2u);
}

TEST(NameTables, ShipStatusLine)
{
    struct Case {
        std::uint32_t first, second;
        const char* text;
    };
    const Case cases[] = {
        {1, 1, "Normal"},           {1, 4, "Fuel Shortage"},      {2, 3, "Stealth Disabled, Stealth"},
        {3, 3, "Stealth Disabled"}, {4, 0, "Fuel Shortage"},      {5, 1, "Sinking"},
        {0, 0, "Undefined"},        {9, 2, "Stealth, Undefined"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CGUIShipStatusNames::GetInstance().GetStatusText(c.first, c.second).toStdString(), c.text)
            << c.first << "," << c.second;
}

TEST(NameTables, LanguageNames)
{
    const CLanguageNames& names = CLanguageNames::GetInstance();
    EXPECT_EQ(names.Get(LanguageDefault), L"Default");
    EXPECT_EQ(names.Get(LanguageEnglish), L"English");
    EXPECT_EQ(names.Get(LanguageJapanese), L"Japanese");
    EXPECT_EQ(names.Get(static_cast<Language>(3)), L"Undefined");
}
