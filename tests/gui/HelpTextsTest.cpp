#include "gui/HelpTexts.h"
#include "tests/gui/QtTestSupport.h"

using namespace Marevane;

namespace {

// The shown text of a code: how it starts, and whether it has a title line.
struct HelpCase {
    const char* table;
    QString text;
    const char* expectedStart;
    bool hasTitle;
};

TEST(HelpTexts, TitleLineThenBodyOrBodyAloneOrNothing)
{
    const CCommandHelp& commands = CCommandHelp::GetInstance();
    const CPanelHelp& panels = CPanelHelp::GetInstance();
    const CShipHelp& ships = CShipHelp::GetInstance();
    const HelpCase cases[] = {
        {"attack", commands.Get(CommandAttack), "Attack Command\nAttacks a panel which is next to this ship.",
         true},
        {"resign", commands.Get(CommandResign), "Resignation\nYou give up the game for lost.", true},
        {"pass", commands.Get(CommandPass), "Pass your turn.", false},
        {"refuel", commands.Get(CommandRefuel), "", false},
        {"none", commands.Get(CommandNone), "", false},
        {"unknown panel", panels.Get(PanelUnknown), "Unknown Panel\nUnexplored panel.", true},
        {"high wave", panels.Get(PanelHighWave), "High Wave Panel\nA ship loses 5FP in addition", true},
        {"boundary", panels.Get(PanelBoundary), "", false},
        {"oiler", ships.Get(ShipTypeOiler), "Oiler\nSupport ship, this type can recovery FP", true},
        {"no ship", ships.Get(ShipTypeNone), "", false},
    };
    for (const HelpCase& row : cases) {
        const QString start = QString::fromUtf8(row.expectedStart);
        if (start.isEmpty()) {
            EXPECT_TRUE(row.text.isEmpty()) << row.table << ": " << row.text.toStdString();
        } else {
            EXPECT_TRUE(row.text.startsWith(start)) << row.table << ": " << row.text.toStdString();
        }
        EXPECT_EQ(row.text.count(QLatin1Char('\n')), row.hasTitle ? 1 : 0) << row.table;
    }
    EXPECT_EQ(commands.Get(CommandPass), "Pass your turn.");
}

TEST(HelpTexts, EveryCodeWithARowHasOne)
{
    EXPECT_EQ(CCommandHelp::GetInstance().GetKeysInOrder().size(), 8u);
    EXPECT_EQ(CPanelHelp::GetInstance().GetKeysInOrder().size(), 6u);
    EXPECT_EQ(CShipHelp::GetInstance().GetKeysInOrder().size(), 4u);
    EXPECT_EQ(CShipHelp::GetInstance().Get(ShipTypeSubmarine),
              "Submarine\nStealth when diving, this type doesn't give a lot of hints about itself to other "
              "player.");
}

} // namespace
