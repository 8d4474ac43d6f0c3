#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/ShipFactory.h"
#include "model/UnitFactory.h"
#include "tests/app/TestSequence.h"
#include "tests/gui/QtTestSupport.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPointer>
#include <QVBoxLayout>

#include <functional>
#include <memory>

using namespace Marevane;
using Testing::CTestSequence;

namespace {

class GameSequenceTest : public Testing::ShellTest {};

TEST_F(GameSequenceTest, GettersAnswerTheInstalledObjectOrThrowForAMissingKey)
{
    CGameEdit gameEdit;
    CBoard board;
    CShipFactory ships(&board, &gameEdit);
    // The server is an interface; the sequence keeps only its address.
    int serverStandIn = 0;
    auto* server = static_cast<CTcpServer*>(static_cast<void*>(&serverStandIn));
    CTestSequence sequence;
    const struct {
        const char* name;
        std::function<void()> install;
        std::function<const void*()> get;
        const void* expected;
    } table[] = {
        {"rule settings", [&] { sequence.InstallModule<GameEditModule>(&gameEdit); },
         [&] { return sequence.GetGameEdit(); }, &gameEdit},
        {"map", [&] { sequence.InstallModule<GameMapModule>(&board); }, [&] { return sequence.GetGameMap(); },
         &board},
        {"TCP server", [&] { sequence.InstallModule<TcpServerModule>(server); },
         [&] { return sequence.GetTcpServer(); }, server},
        {"ship factory", [&] { sequence.InstallModule<ShipFactoryModule>(&ships); },
         [&] { return sequence.GetShipFactory(); }, &ships},
    };
    for (const auto& row : table) {
        try {
            row.get();
            ADD_FAILURE() << row.name << " answered without being installed";
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), "invalid unordered_map<K, T> key") << row.name;
        }
        row.install();
        EXPECT_EQ(row.get(), row.expected) << row.name;
    }
    EXPECT_THROW(sequence.GetMyUnit(), std::out_of_range);
}

TEST_F(GameSequenceTest, MyUnitIsTheLocalSideOrNone)
{
    CGameEdit gameEdit;
    CBoard board;
    CUnitFactory units(&board, &gameEdit);
    CTestSequence sequence;
    sequence.InstallModule<UnitFactoryModule>(nullptr);
    EXPECT_EQ(sequence.GetMyUnit(), nullptr);
    sequence.InstallModule<UnitFactoryModule>(&units);
    EXPECT_EQ(sequence.GetMyUnit(), nullptr);
    CUnit* local = units.CreateLocalUnit(1, 0, L"Captain", L"");
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(sequence.GetMyUnit(), local);
}

TEST_F(GameSequenceTest, UpdateWithoutACodeSendsZero)
{
    CTestSequence sequence;
    sequence.Update();
    sequence.Update(53);
    EXPECT_EQ(sequence.updates, (std::vector<MessageCode>{0, 53}));
}

TEST_F(GameSequenceTest, StopHidesAndReportsOnce)
{
    CTestSequence sequence;
    sequence.show();
    sequence.Stop();
    EXPECT_FALSE(sequence.isVisible());
    EXPECT_EQ(sequence.stops, 1);
}

TEST_F(GameSequenceTest, DestroyingASequenceLeavesItsViewsAliveAndUnparented)
{
    QGraphicsScene scene;
    auto sequence = std::make_unique<CTestSequence>("screen");
    auto* layout = new QVBoxLayout(sequence.get());
    QPointer<QGraphicsView> first = new QGraphicsView(&scene);
    QPointer<QGraphicsView> second = new QGraphicsView(&scene);
    layout->addWidget(first);
    layout->addWidget(second);
    CGameSequence* reported = nullptr;
    QObject::connect(sequence.get(), &CGameSequence::Destroyed,
                     [&reported](CGameSequence* pSequence) { reported = pSequence; });
    CGameSequence* const address = sequence.get();
    sequence.reset();
    EXPECT_EQ(reported, address);
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(first->parent(), nullptr);
    EXPECT_EQ(second->parent(), nullptr);
    {
        // They can be laid into the next sequence, which gives them back too.
        CTestSequence next("next");
        (new QVBoxLayout(&next))->addWidget(first);
        EXPECT_EQ(first->parent(), &next);
    }
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->parent(), nullptr);
    delete first.data();
    delete second.data();
}

} // namespace
