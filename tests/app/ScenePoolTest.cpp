#include "app/ScenePool.h"
#include "app/GameView.h"
#include "app/MessageView.h"
#include "app/StandInScreens.h"
#include "gui/Resources.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/TestSequence.h"

#include <QGridLayout>
#include <QPointer>
#include <QVBoxLayout>

#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

using namespace Marevane;
using Testing::CTestSequence;
using S = SceneSlot;

namespace {

class ScenePoolTest : public Testing::AppTest {
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        InitResources();
        SceneMakers makers;
        for (int i = 0; i < SceneSlotCount; ++i) {
            const auto slot = static_cast<SceneSlot>(i);
            SceneMaker standIn = StandInSceneMaker(slot);
            makers[slot] = SceneMaker{[this, slot, standIn](const SceneInputs& inputs) {
                                          ++made[slot];
                                          areas[slot] = inputs.rect;
                                          return standIn.createScene(inputs);
                                      },
                                      standIn.createView};
        }
        pool = std::make_unique<CScenePool>(&board, &gameEdit, makers);
    }
    void TearDown() override
    {
        sequences.clear();
        pool.reset();
        AppTest::TearDown();
    }

    CTestSequence* SetUpSequence(int type)
    {
        sequences.push_back(std::make_unique<CTestSequence>("type " + std::to_string(type), type));
        pool->SetUp(sequences.back().get());
        return sequences.back().get();
    }

    CGameEdit gameEdit;
    CBoard board;
    std::unique_ptr<CScenePool> pool;
    std::map<SceneSlot, int> made;
    std::map<SceneSlot, QRect> areas;
    std::vector<std::unique_ptr<CTestSequence>> sequences;
};

struct Cell {
    SceneSlot slot;
    int row, column, rowSpan;
};

TEST_F(ScenePoolTest, EverySequenceTypeGetsItsGridAndTheRecordOfItsScenes)
{
    const struct {
        int type;
        std::vector<Cell> grid;
        std::vector<SceneSlot> record;
    } table[] = {
        {0, {{S::Title, 0, 0, 1}}, {S::Title}},
        {1,
         {{S::GameMap, 0, 0, 1}, {S::PlayerStatus, 0, 1, 1}, {S::Message, 1, 0, 1}, {S::Help, 1, 1, 1}},
         {S::GameMap, S::PlayerStatus, S::Message, S::Help}},
        // The battle's scenes, made above, carry over into its end.
        {2, {{S::BattleResult, 0, 0, 1}}, {S::GameMap, S::BattleResult, S::PlayerStatus, S::Help}},
        {3,
         {{S::StatusDetail, 0, 0, 2}, {S::PlayerStatus, 0, 1, 1}, {S::Help, 1, 1, 1}},
         {S::StatusDetail, S::PlayerStatus, S::Help}},
        {4,
         {{S::GameMap, 0, 0, 1}, {S::ShipSelection, 0, 1, 1}, {S::Message, 1, 0, 1}, {S::Help, 1, 1, 1}},
         {S::GameMap, S::ShipSelection, S::Message, S::Help}},
        {5, {{S::PlayerSettings, 0, 0, 1}, {S::Message, 1, 0, 1}}, {S::PlayerSettings, S::Message}},
        {6,
         {{S::GameMap, 0, 0, 1}, {S::RuleSettings, 0, 1, 2}, {S::Message, 1, 0, 1}},
         {S::GameMap, S::RuleSettings, S::Message}},
        {7, {{S::NetworkConnection, 0, 0, 1}, {S::Message, 1, 0, 1}}, {S::NetworkConnection, S::Message}},
        {8, {{S::TagTeamSelection, 0, 0, 1}, {S::Message, 1, 0, 1}}, {S::TagTeamSelection, S::Message}},
        {9, {{S::ComputerLevel, 0, 0, 1}}, {S::ComputerLevel}},
        {10, {{S::ArcadeStage, 0, 0, 1}}, {S::ArcadeStage}},
        {11, {{S::GameOver, 0, 0, 1}}, {S::GameOver}},
        {12, {{S::Credits, 0, 0, 1}}, {S::Credits}},
        {13, {{S::SystemConfig, 0, 0, 1}, {S::Message, 1, 0, 1}}, {S::SystemConfig, S::Message}},
    };
    for (const auto& row : table) {
        CTestSequence* sequence = SetUpSequence(row.type);
        auto* grid = qobject_cast<QGridLayout*>(sequence->layout());
        ASSERT_NE(grid, nullptr) << row.type;
        EXPECT_EQ(grid->spacing(), 0);
        EXPECT_EQ(grid->contentsMargins(), QMargins());
        ASSERT_EQ(grid->count(), static_cast<int>(row.grid.size())) << row.type;
        for (const Cell& cell : row.grid) {
            CGameView* view = pool->GetView(cell.slot);
            ASSERT_NE(view, nullptr) << row.type;
            const int index = grid->indexOf(view);
            ASSERT_GE(index, 0) << row.type << " slot " << static_cast<int>(cell.slot);
            int r = -1, c = -1, rs = -1, cs = -1;
            grid->getItemPosition(index, &r, &c, &rs, &cs);
            EXPECT_EQ(std::make_tuple(r, c, rs, cs), std::make_tuple(cell.row, cell.column, cell.rowSpan, 1))
                << row.type << " slot " << static_cast<int>(cell.slot);
            EXPECT_EQ(view->parentWidget(), sequence);
        }
        const SceneSet* record = sequence->GetModule<SceneSetModule>();
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->type, row.type);
        EXPECT_NE(sequence->GetModuleFlags() & ModuleFlag::SceneSetUp, 0u);
        for (int i = 0; i < SceneSlotCount; ++i) {
            const auto slot = static_cast<SceneSlot>(i);
            const bool isNamed = std::find(row.record.begin(), row.record.end(), slot) != row.record.end();
            EXPECT_EQ(record->Get(slot), isNamed ? pool->GetScene(slot) : nullptr)
                << row.type << " slot " << i;
            // A sequence uses every scene its record holds.
            if (isNamed) {
                EXPECT_GE(pool->CountUsers(slot), 1) << row.type << " slot " << i;
            }
        }
        sequence->resize(720, 600);
        Shoot(sequence, QStringLiteral("pool-type-%1").arg(row.type));
    }
    // A scene is made once, whoever lays it out afterwards.
    for (const auto& [slot, count] : made) EXPECT_EQ(count, 1) << static_cast<int>(slot);
    // The rule settings have no help pane, so none is made for them.
    EXPECT_EQ(made.count(S::Help), 1u);
}

TEST_F(ScenePoolTest, TheMessageSceneFillsTheHeightUnderTheMainView)
{
    SetUpSequence(4);
    EXPECT_EQ(areas[S::Message], QRect(0, 379, 416, 220));
    sequences.clear();
    EXPECT_EQ(pool->GetScene(S::Message), nullptr);
    SetUpSequence(13);
    EXPECT_EQ(areas[S::Message], QRect(0, 379, 720, 220));
    sequences.clear();

    // A main view taller than the screen leaves no height rather than less than none.
    SceneMakers tall;
    tall[S::NetworkConnection] = {[](const SceneInputs&) { return new CGameScene(QRectF(0, 0, 720, 700)); },
                                  [](CGameScene* scene) { return new CMainView(scene); }};
    tall[S::Message] = {[this](const SceneInputs& inputs) {
                            areas[S::Message] = inputs.rect;
                            return new CGameScene(QRectF(QPointF(0, 0), inputs.rect.size()));
                        },
                        [](CGameScene* scene) { return new CMessageView(scene); }};
    pool = std::make_unique<CScenePool>(&board, &gameEdit, tall);
    SetUpSequence(7);
    EXPECT_EQ(areas[S::Message], QRect(0, 699, 720, 0));
}

TEST_F(ScenePoolTest, TheFleetFormationAndTheBattleShareTheirScenes)
{
    const CTestSequence* formation = SetUpSequence(4);
    const CGameScene* map = pool->GetScene(S::GameMap);
    const CGameScene* message = pool->GetScene(S::Message);
    const CGameScene* help = pool->GetScene(S::Help);
    CTestSequence* battle = SetUpSequence(1);
    EXPECT_EQ(pool->GetScene(S::GameMap), map);
    EXPECT_EQ(pool->GetScene(S::Message), message);
    EXPECT_EQ(pool->GetScene(S::Help), help);
    EXPECT_EQ(made[S::GameMap], 1);
    EXPECT_EQ(made[S::Message], 1);
    EXPECT_EQ(made[S::Help], 1);
    // The views moved into the battle's grid.
    EXPECT_EQ(pool->GetView(S::GameMap)->parentWidget(), battle);
    EXPECT_EQ(formation->layout()->indexOf(pool->GetView(S::GameMap)), -1);
    EXPECT_EQ(pool->CountUsers(S::GameMap), 2);
}

TEST_F(ScenePoolTest, AScenesLastUserTakesItAndItsViewAlong)
{
    SetUpSequence(1);
    SetUpSequence(3);
    const QPointer<CGameScene> detail = pool->GetScene(S::StatusDetail);
    const QPointer<CGameView> detailView = pool->GetView(S::StatusDetail);
    const QPointer<CGameScene> status = pool->GetScene(S::PlayerStatus);
    sequences.pop_back(); // the status detail sequence goes
    EXPECT_EQ(detail, nullptr);
    EXPECT_EQ(detailView, nullptr);
    EXPECT_EQ(pool->GetScene(S::StatusDetail), nullptr);
    // The battle still uses the player status.
    EXPECT_NE(status, nullptr);
    EXPECT_EQ(pool->CountUsers(S::PlayerStatus), 1);
    SetUpSequence(3);
    EXPECT_EQ(made[S::StatusDetail], 2);
    EXPECT_EQ(pool->GetScene(S::PlayerStatus), status);
}

TEST_F(ScenePoolTest, TheBattleEndUsesTheBattlesScenesSoNoneOfThemDanglesWhenTheBattleGoes)
{
    SetUpSequence(1);
    CTestSequence* end = SetUpSequence(2);
    sequences.erase(sequences.begin()); // the battle goes first
    const SceneSet* record = end->GetModule<SceneSetModule>();
    ASSERT_NE(record->pGameMapScene, nullptr);
    EXPECT_EQ(record->pGameMapScene, pool->GetScene(S::GameMap));
    EXPECT_EQ(record->pPlayerStatusScene, pool->GetScene(S::PlayerStatus));
    EXPECT_EQ(record->pHelpScene, pool->GetScene(S::Help));
    // The message pane was the battle's alone.
    EXPECT_EQ(pool->GetScene(S::Message), nullptr);
}

TEST_F(ScenePoolTest, SettingUpAgainKeepsTheGridAndReplacesTheRecord)
{
    CTestSequence* sequence = SetUpSequence(13);
    const QLayout* grid = sequence->layout();
    const SceneSet* record = sequence->GetModule<SceneSetModule>();
    pool->SetUp(sequence);
    EXPECT_EQ(sequence->layout(), grid);
    EXPECT_EQ(grid->count(), 2);
    EXPECT_NE(sequence->GetModule<SceneSetModule>(), record);
    EXPECT_EQ(pool->CountUsers(S::SystemConfig), 1);
}

TEST_F(ScenePoolTest, ALayoutOfAnotherKindIsReplacedAndAnUnknownTypeLaysOutNothing)
{
    sequences.push_back(std::make_unique<CTestSequence>("boxed", 9));
    CTestSequence* boxed = sequences.back().get();
    new QVBoxLayout(boxed);
    pool->SetUp(boxed);
    ASSERT_NE(qobject_cast<QGridLayout*>(boxed->layout()), nullptr);
    EXPECT_EQ(boxed->layout()->count(), 1);

    CTestSequence* unknown = SetUpSequence(14);
    EXPECT_EQ(unknown->layout(), nullptr);
    EXPECT_FALSE(unknown->HasModule(SceneSetModule));
    EXPECT_FALSE(pool->IsLaidOut(unknown));
}

TEST_F(ScenePoolTest, AScenesThatCannotBeMadeIsReportedAsMissing)
{
    SceneMakers broken;
    broken[S::Credits] = {[](const SceneInputs&) { return nullptr; }, {}};
    pool = std::make_unique<CScenePool>(&board, &gameEdit, broken);
    sequences.push_back(std::make_unique<CTestSequence>("credits", 12));
    try {
        pool->SetUp(sequences.back().get());
        ADD_FAILURE() << "no scene, no error";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid unordered_map<K, T> key");
    }
    EXPECT_FALSE(pool->IsLaidOut(sequences.back().get()));
}

TEST_F(ScenePoolTest, LabelsAreSetOnTheViewsOfTheSidePanes)
{
    SetUpSequence(1);
    SetUpSequence(7);
    const struct {
        SceneSlot slot;
        const char* label; // empty: none
    } table[] = {
        {S::PlayerStatus, ":/Resources/PlayerStatusLabel.png"},
        {S::Message, ":/Resources/MessageLabel.png"},
        {S::NetworkConnection, ""},
    };
    for (const auto& row : table) {
        const QPixmap* label = pool->GetView(row.slot)->GetLabel();
        if (*row.label == '\0') {
            EXPECT_EQ(label, nullptr) << static_cast<int>(row.slot);
        } else {
            ASSERT_NE(label, nullptr) << static_cast<int>(row.slot);
            EXPECT_EQ(label->toImage(), QPixmap(QString::fromLatin1(row.label)).toImage());
        }
    }
}

} // namespace
