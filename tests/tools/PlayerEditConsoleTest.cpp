#include "tools/console/PlayerEditConsole.h"

#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Panel.h"
#include "model/Random.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "session/PlayerEdit.h"
#include "tools/console/ConsoleInput.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace Marevane;
using namespace std::chrono_literals;

namespace {

constexpr PlayerEditPauses NoPauses{0ms, 0ms, 0ms};

std::size_t CountOf(const std::wstring& text, const std::wstring& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

const std::wstring PlacementAgain = L"位置が正しくありません。";

} // namespace

TEST(ReadPlacementNumber, AsksAgainUntilTheNumberNamesAPanelOfTheMap)
{
    CBoard board;
    board.Resize(5, 4);
    struct Case {
        const wchar_t* input;
        std::uint32_t expected;
        std::size_t refusals;
    };
    const Case cases[] = {
        {L"23\n", 23, 0},
        {L"  54 \n", 54, 0},
        {L"11\r\n", 11, 0},
        // Row 0, column 0, a column beyond 4, a row beyond 5, three digits.
        {L"0\n10\n03\n15\n61\n123\n32\n", 32, 6},
        // Not numbers at all, and huge numbers that must not wrap.
        {L"\nab\n2 3\n-23\n99999999999999999999\n4294967319\n45\n44\n", 44, 7},
    };
    for (const Case& c : cases) {
        std::wistringstream in(c.input);
        std::wostringstream out;
        EXPECT_EQ(ReadPlacementNumber(board, in, out), c.expected) << c.input;
        EXPECT_EQ(CountOf(out.str(), PlacementAgain), c.refusals) << c.input;
    }
}

TEST(ReadPlacementNumber, EndOfInputEndsTheWait)
{
    CBoard board;
    std::wistringstream in(L"0\n77");
    std::wostringstream out;
    EXPECT_THROW(ReadPlacementNumber(board, in, out), CConsoleInputEnded);
    EXPECT_EQ(CountOf(out.str(), PlacementAgain), 2u);
}

TEST(ConsoleCommandReader, StoresTheTypedCommandAndAsksAgainAfterARefusal)
{
    CGameEdit rules;
    CBoard board;
    CUnitFactory units(&board, &rules);
    CUnit* unit = units.CreateLocalUnit(UnitManual, 0, L"P", L"");
    std::wistringstream in(L"a 2 ne 1\nl 1 3 4\n");
    std::wostringstream out;
    MessageCode last = 51;
    unit->SetCommandReader(MakeConsoleCommandReader([&last] { return last; }, in, out));

    unit->DecideCommand();
    EXPECT_EQ(unit->GetCommandInput().Command, static_cast<std::uint32_t>(CommandAttack));
    EXPECT_EQ(unit->GetCommandInput().ShipId, 2u);
    EXPECT_EQ(unit->GetCommandInput().UnitId, unit->GetId());
    EXPECT_EQ(out.str(), L"コマンドを入力してください。\n");

    last = 97; // the ship does not exist
    out.str(L"");
    unit->DecideCommand();
    EXPECT_EQ(out.str(), L"コマンドを再入力してください。\n");
    EXPECT_EQ(unit->GetCommandInput().Command, static_cast<std::uint32_t>(CommandChangeFlagship));
    EXPECT_EQ(unit->GetCommandInput().Target, MapPos(3, 4));
}

class PlayerEditConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SeedRandom(5);
        rules.SetRule(GameModeVersus | GameModeSingle, MapPos(3, 4));
        // Plain sea: every panel takes a ship.
        board.Resize(3, 4);
        for (std::uint32_t row = 1; row <= 3; ++row) {
            for (std::uint32_t column = 1; column <= 4; ++column)
                ASSERT_TRUE(board.GetPanel(row, column)->IsPassable());
        }
    }

    // Runs the local side's two tasks on the typed text; the unit, or null
    // when a task failed (its exception is kept in `error`).
    CUnit* Play(const std::wstring& typed)
    {
        in.str(typed);
        edit = std::make_unique<CPlayerEditConsole>(UnitManual, false, rules, board, units, ships, nullptr,
                                                    UnitProfile(), NoPauses);
        edit->SetConsole(in, out);
        CUnit* unit = nullptr;
        for (int task = 0; task < 2; ++task) {
            edit->StartCreateUnit();
            if (!edit->IsUnitCreated(5000)) {
                ADD_FAILURE() << "the task did not finish";
                return nullptr;
            }
            try {
                unit = edit->TakeUnit();
            } catch (...) {
                error = std::current_exception();
                return nullptr;
            }
        }
        return unit;
    }

    std::vector<MapPos> PositionsOf(CUnit& unit)
    {
        std::vector<MapPos> positions;
        for (CShip* ship : ships.GetShips(&unit)) positions.push_back(ship->GetCurrentPanel()->GetPos());
        return positions;
    }

    CGameEdit rules;
    CBoard board;
    CUnitFactory units{&board, &rules};
    CShipFactory ships{&board, &rules};
    std::wistringstream in;
    std::wostringstream out;
    std::unique_ptr<CPlayerEditConsole> edit;
    std::exception_ptr error;
};

TEST_F(PlayerEditConsoleTest, TypedPositionsOffTheMapOrTakenAreAskedAgain)
{
    // Fleet of three on 3 rows by 4 columns: 41 and 15 lie off the map, 00
    // has no row, and 12 is taken once the first ship stands there.
    CUnit* unit = Play(L"yes\nAlice\ny\n41\n15\n00\n12\n12\n34\n21\nyes\n");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetUnitType(), static_cast<std::uint32_t>(UnitManual));
    EXPECT_EQ(unit->GetProfile().Name, L"Alice");
    EXPECT_EQ(units.GetLocalUnit(), unit);
    EXPECT_EQ(PositionsOf(*unit), (std::vector<MapPos>{MapPos(1, 2), MapPos(3, 4), MapPos(2, 1)}));
    EXPECT_FALSE(unit->HasFlagship());
    const std::wstring text = out.str();
    EXPECT_EQ(CountOf(text, PlacementAgain), 3u);
    EXPECT_EQ(CountOf(text, L"その位置には既に艦があります。"), 1u);
    EXPECT_EQ(CountOf(text, L"艦の配置は以上でよろしいですか？（yes or no）"), 1u);
    EXPECT_NE(text.find(L"No.1 "), std::wstring::npos);
    EXPECT_NE(text.find(L"No.3 "), std::wstring::npos);
}

// A reef the side has not found shows as sea while placing; a ship typed
// onto it is refused with the reason, and the reef stays unnamed.
TEST_F(PlayerEditConsoleTest, AShipOnAHiddenReefIsRefusedWithTheReason)
{
    board.GetPanel(2, 2)->SetType(PanelReef);
    CUnit* unit = Play(L"yes\nAlice\ny\n22\n11\n12\n13\nyes\n");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(PositionsOf(*unit), (std::vector<MapPos>{MapPos(1, 1), MapPos(1, 2), MapPos(1, 3)}));
    const std::wstring text = out.str();
    EXPECT_EQ(CountOf(text, L"その位置には艦を置けません（The target Panel is not movable.）。"
                            L"別の位置を入力してください。\n"),
              1u);
    EXPECT_EQ(CountOf(text, L"◆"), CountOf(text, L"◆=Reef")) << "the hidden reef was drawn";
}

TEST_F(PlayerEditConsoleTest, AnsweringNoPlacesTheWholeFleetAgain)
{
    CUnit* unit = Play(L"y\nBob\nyes\n11\n12\n13\nno\n31\n32\n33\nyes\n");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(PositionsOf(*unit), (std::vector<MapPos>{MapPos(3, 1), MapPos(3, 2), MapPos(3, 3)}));
    EXPECT_EQ(ships.GetShips(unit).front()->GetShipId(), 1u);
    EXPECT_EQ(CountOf(out.str(), L"艦の配置は以上でよろしいですか？"), 2u);
}

TEST_F(PlayerEditConsoleTest, ComputerModeLetsTheComputerPlaceTheFleet)
{
    CUnit* unit = Play(L"no\nCarol\nyes\nyes\n");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetUnitType(), static_cast<std::uint32_t>(UnitAuto));
    EXPECT_EQ(ships.GetShips(unit).size(), rules.GetInfo().FleetSize);
    EXPECT_EQ(CountOf(out.str(), PlacementAgain), 0u);
}

TEST_F(PlayerEditConsoleTest, FlagshipMissionAsksForTheFlagship)
{
    rules.GetInfo().Mission = 0x10000004;
    CUnit* unit = Play(L"y\nDan\ny\n11\n22\n33\n0\n4\n2\ny\n");
    ASSERT_NE(unit, nullptr);
    EXPECT_TRUE(unit->IsFlagship(2));
    EXPECT_EQ(CountOf(out.str(), L"その番号の艦はありません。"), 2u);
}

TEST_F(PlayerEditConsoleTest, EndOfInputFailsTheTaskWithTheConsoleEnd)
{
    const wchar_t* const cuts[] = {L"", L"yes\n", L"yes\nEve\ny\n11\n", L"yes\nEve\ny\n11\n12\n13\n"};
    for (const wchar_t* typed : cuts) {
        error = nullptr;
        units.Clear();
        ships.Clear();
        EXPECT_EQ(Play(typed), nullptr) << typed;
        EXPECT_THROW(std::rethrow_exception(error), CConsoleInputEnded) << typed;
    }
}
