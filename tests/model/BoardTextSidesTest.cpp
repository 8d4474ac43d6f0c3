// The set-up and turn boards with real sides, ships, torpedoes and mines.
#include "model/Board.h"
#include "model/BoardText.h"

#include "UnitTestFixture.h"

#include <gtest/gtest.h>

using namespace Marevane;
using Marevane::Testing::UnitFixture;

namespace {

const std::wstring Blank = L"\u3000";

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The cells of a row of the grid (rows from 1), as drawn between the bars.
std::vector<std::wstring> RowCells(const std::vector<std::wstring>& lines, std::uint32_t row,
                                   std::uint32_t columns)
{
    const std::wstring& line = lines.at(2 * row);
    std::vector<std::wstring> cells;
    std::size_t at = line.find(L'｜');
    for (std::uint32_t c = 0; c < columns; ++c) {
        const std::size_t next = line.find(L'｜', at + 1);
        cells.push_back(line.substr(at + 1, next - at - 1));
        at = next;
    }
    return cells;
}

class BoardTextSides : public UnitFixture {
  protected:
    void SetUp() override
    {
        UnitFixture::SetUp();
        At(1, 1)->SetType(PanelShallow);
        At(2, 2)->SetType(PanelFog);
        At(2, 3)->SetType(PanelHighWave);
    }

    // A torpedo of the ship standing at a panel.
    static void PutTorpedo(CShip& ship, std::uint32_t number, MapPos at)
    {
        TorpedoProfile torpedo;
        torpedo.Number = number;
        torpedo.UnitId = ship.GetUnitId();
        torpedo.ShipId = ship.GetShipId();
        torpedo.ShipType = ship.GetType();
        torpedo.LaunchPos = ship.GetProfile().Pos;
        torpedo.CurrentPos = at;
        torpedo.TargetPos = MapPos(5, 1);
        torpedo.Direction = DirectionCenter;
        ship.SyncTorpedo(torpedo);
    }

    CShip& PlaceWithId(CUnit& unit, std::uint32_t id, std::uint32_t x, std::uint32_t y)
    {
        ships.push_back(std::make_unique<CBattleShip>(unit.GetId(), id, At(x, y), rules));
        unit.AddShip(id, ships.back().get());
        return *ships.back();
    }
};

} // namespace

TEST_F(BoardTextSides, PanelTextJoinsShipTorpedoMarkAndKnownEffect)
{
    CUnit& unit = MakeUnit(1);
    Place(unit, ShipTypeBattleship, 1, 1);                   // B1 on a shallow
    CShip& submarine = Place(unit, ShipTypeSubmarine, 3, 3); // S2
    Sink(Place(unit, ShipTypeDestroyer, 5, 5));              // D3, sunk
    PlaceWithId(unit, 12, 1, 5);                             // B12
    PutTorpedo(submarine, 0, MapPos(4, 4));
    PutTorpedo(submarine, 1, MapPos(4, 5));
    PutTorpedo(submarine, 2, MapPos(4, 5));
    PutTorpedo(submarine, 3, MapPos(2, 2));
    PutTorpedo(submarine, 4, MapPos(3, 3));

    struct Case {
        MapPos pos;
        bool known;
        std::wstring shipText, panelText;
    };
    const Case cases[] = {
        {{1, 1}, true, L"B1", L"B1≡"},     {{1, 1}, false, L"B1", L"B1"}, {{2, 2}, true, Blank, L"＄◎"},
        {{2, 2}, false, Blank, L"＄"},     {{2, 3}, true, Blank, L"△"},   {{2, 3}, false, Blank, Blank},
        {{3, 3}, false, L"S2", L"S2＄"},   {{4, 4}, false, Blank, L"＄"}, {{4, 5}, false, Blank, L"$2"},
        {{5, 5}, false, Blank, Blank}, // the sunk ship is not shown
        {{1, 5}, false, L"B12 ", L"B12 "}, {{5, 2}, true, Blank, Blank},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pos.x << ',' << c.pos.y << (c.known ? " known" : ""));
        CPanel* panel = At(c.pos.x, c.pos.y);
        if (c.known) panel->AddKnownUnit(1);
        EXPECT_EQ(unit.GetShipTextOnPanel(panel), c.shipText);
        EXPECT_EQ(unit.GetPanelText(panel), c.panelText);
        EXPECT_EQ(unit.GetShipCodeOnPanel(panel), c.shipText == Blank ? Blank : c.shipText.substr(0, 1));
        // Forget it again for the next case on the same panel.
        const PanelType type = panel->GetType();
        panel->SetType(type);
    }
}

TEST_F(BoardTextSides, FleetSetupBoardShowsTheSideAndItsShipBox)
{
    CUnit& unit = MakeUnit(1);
    Place(unit, ShipTypeBattleship, 1, 1);
    CShip& submarine = Place(unit, ShipTypeSubmarine, 3, 3);
    PlaceWithId(unit, 12, 1, 5);
    PutTorpedo(submarine, 0, MapPos(2, 2));
    PutTorpedo(submarine, 1, MapPos(4, 5));
    PutTorpedo(submarine, 2, MapPos(4, 5));
    At(1, 1)->AddKnownUnit(1);
    At(2, 2)->AddKnownUnit(1);

    std::wstring text;
    board.ToFleetSetupText(text, &unit);
    const std::vector<std::wstring> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 12u + 2 + 1 + 3);

    EXPECT_EQ(RowCells(lines, 1, 5), (std::vector<std::wstring>{L"B1≡", L" 　 ", L" 　 ", L" 　 ", L"B12 "}));
    EXPECT_EQ(RowCells(lines, 2, 5), (std::vector<std::wstring>{L" 　 ", L"＄◎", L" 　 ", L" 　 ", L" 　 "}));
    EXPECT_EQ(RowCells(lines, 3, 5)[2], L" S2 ");
    EXPECT_EQ(RowCells(lines, 4, 5)[4], L" $2 ");
    for (std::uint32_t row = 1; row <= 5; ++row) {
        for (const std::wstring& cell : RowCells(lines, row, 5)) EXPECT_EQ(ConsoleWidth(cell), 4u) << row;
    }

    const std::wstring frame(23, L'─');
    EXPECT_EQ(lines[12], L"   ┌" + frame + L"┐");
    EXPECT_EQ(lines[13], L"   │■ Player: U1" + std::wstring(32, L' ') + L" │");
    EXPECT_EQ(lines[14], L"   │B1  [B] HP: 3 / 3  FP:100/100" + std::wstring(15, L' ') + L"  │");
    EXPECT_EQ(lines[15], L"   │S2  [S] HP: 1 / 1  FP:100/100" + std::wstring(15, L' ') + L"  │");
    EXPECT_EQ(lines[16], L"   │B12 [B] HP: 3 / 3  FP:100/100" + std::wstring(15, L' ') + L"  │");
    EXPECT_EQ(lines[17], L"   └" + frame + L"┘");
}

TEST_F(BoardTextSides, ShipBoxLinesKeepTheFrameWidth)
{
    rules.FpPercentage = 0; // ships that use no fuel show "-"
    CUnit& unit = MakeUnit(1);
    unit.SetProfile(UnitProfile(1, UnitManual, 0, L"あいうえおかきくけこさしすせそたち", L""));
    Place(unit, ShipTypeDestroyer, 2, 2);
    Sink(Place(unit, ShipTypeOiler, 3, 3));
    PlaceWithId(unit, 100, 4, 4);

    std::wstring text;
    board.ToFleetSetupText(text, &unit);
    const std::vector<std::wstring> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 12u + 2 + 1 + 3);
    EXPECT_EQ(lines[13], L"   │■ Player: あいうえおかきくけこさしすせそたち │");
    EXPECT_EQ(lines[14], L"   │D1  [D] HP: 2 / 2  FP: - / - " + std::wstring(15, L' ') + L"  │");
    EXPECT_EQ(lines[15], L"   │O2  [O] HP: 0 / 2  FP: - / - " + std::wstring(15, L' ') + L"  │");
    EXPECT_EQ(lines[16].substr(0, 12), L"   │B100[B] ");
    for (std::size_t i = 12; i < lines.size(); ++i) EXPECT_EQ(ConsoleWidth(lines[i]), 3u + 2 + 46 + 2) << i;
}

TEST_F(BoardTextSides, TurnBoardShowsEverySideAndTheStatusBox)
{
    CUnit& first = MakeUnit(1);
    CUnit& second = MakeUnit(2);
    CUnit& third = MakeUnit(3);
    first.SetProfile(UnitProfile(1, UnitManual, 0, L"あいうえおかきくけこさしすせそたち", L""));
    Place(first, ShipTypeBattleship, 1, 1); // on a shallow
    CShip& submarine = Place(first, ShipTypeSubmarine, 3, 3);
    Place(second, ShipTypeDestroyer, 3, 3); // two sides share a panel
    Place(second, ShipTypeSubmarine, 5, 5);
    Place(third, ShipTypeOiler, 5, 5);
    Place(third, ShipTypeBattleship, 4, 1);
    Place(first, ShipTypeDestroyer, 5, 5); // three sides share a panel
    PutTorpedo(submarine, 0, MapPos(2, 2));
    PutTorpedo(submarine, 1, MapPos(4, 5));
    PutTorpedo(submarine, 2, MapPos(4, 1));
    MineProfile mines[3] = {MineProfile(2, 1, ShipTypeDestroyer), MineProfile(2, 1, ShipTypeDestroyer),
                            MineProfile(2, 1, ShipTypeDestroyer)};
    At(4, 5)->PlaceMine(&mines[0]);
    At(2, 4)->PlaceMine(&mines[1]);
    At(2, 4)->PlaceMine(&mines[2]);

    std::wstring text;
    board.ToTurnText(text, All(), &first);
    const std::vector<std::wstring> lines = SplitLines(text);

    // Every ship carries its side's number, so numbers repeated across
    // sides stay apart; the ship comes before the panel effect.
    EXPECT_EQ(RowCells(lines, 1, 5),
              (std::vector<std::wstring>{L"1B1 ", L"　　", L"　　", L"　　", L"　　"}));
    EXPECT_EQ(RowCells(lines, 2, 5), (std::vector<std::wstring>{L"　　", L"＄◎", L" △ ", L" *2 ", L"　　"}));
    // Two sides on one panel: side and letter of each.
    EXPECT_EQ(RowCells(lines, 3, 5)[2], L"1S2D");
    // A torpedo beside a ship takes its half-width form.
    EXPECT_EQ(RowCells(lines, 4, 5)[0], L"3B2$");
    EXPECT_EQ(RowCells(lines, 4, 5)[4], L"＄＊");
    EXPECT_EQ(RowCells(lines, 5, 5)[4], L"DSO ");
    for (std::uint32_t row = 1; row <= 5; ++row) {
        for (const std::wstring& cell : RowCells(lines, row, 5)) EXPECT_EQ(ConsoleWidth(cell), 4u) << row;
    }

    const std::wstring frame(35, L'─');
    const std::wstring field(34, L' ');
    const std::vector<std::wstring> box(lines.begin() + 12, lines.end());
    const std::vector<std::wstring> expected = {
        L"   ┌" + frame + L"┐",
        // The viewer's long name carries over to a second line.
        L"   │■ Player1: あいうえおかきくけこさ  □ Player2: U2" + std::wstring(20, L' ') + L"│",
        L"   │            しすせそたち" + std::wstring(10, L' ') + L"  " + field + L"│",
        L"   │□ Player3: U3" + std::wstring(20, L' ') + L"  " + field + L"│",
        L"   │R1C1.[B] HP 3 / 3  FP100/100" + std::wstring(6, L' ') + L"  R3C3.[S] HP 1 / 1  FP100/100" +
            std::wstring(6, L' ') + L"│",
        L"   │R5C5.[D] HP 2 / 2  FP100/100" + std::wstring(6, L' ') + L"  " + field + L"│",
        L"   │R3C3.[D] HP 2 / 2  FP100/100" + std::wstring(6, L' ') + L"  R5C5.[S] HP 1 / 1  FP100/100" +
            std::wstring(6, L' ') + L"│",
        L"   │R5C5.[O] HP 2 / 2  FP150/150" + std::wstring(6, L' ') + L"  R4C1.[B] HP 3 / 3  FP100/100" +
            std::wstring(6, L' ') + L"│",
        L"   └" + frame + L"┘",
    };
    EXPECT_EQ(box, expected);
    for (const std::wstring& line : box) EXPECT_EQ(ConsoleWidth(line), 3u + 2 + 70 + 2);
}
