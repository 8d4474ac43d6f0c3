#include "app/SequenceManager.h"

#include "gui/ScreenFadeAnimation.h"
#include "tests/app/TestSequence.h"
#include "tests/gui/QtTestSupport.h"

#include <QPointer>
#include <QStackedLayout>

#include <functional>
#include <stdexcept>
#include <string>

using namespace Marevane;
using Testing::CTestSequence;
using Testing::Settle;
using Testing::WaitUntil;

namespace {

class SequenceManagerTest : public Testing::ShellTest {
  protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        manager = CSequenceManager::GetInstance();
        manager->GetContainer()->resize(720, 600);
        manager->GetContainer()->show();
        QObject::connect(manager, &CSequenceManager::NewSequenceSet,
                         [this] { log.push_back("new " + Current()); });
        QObject::connect(manager, &CSequenceManager::SequenceChanged,
                         [this] { log.push_back("changed " + Current()); });
        QObject::connect(manager->GetFade(), &CAnimation::Finished,
                         [this](MessageCode code) { log.push_back("fade " + std::to_string(code)); });
    }
    void TearDown() override
    {
        CSequenceManager::Shutdown();
        ShellTest::TearDown();
    }

    CTestSequence* Make(const std::string& name)
    {
        auto* sequence = new CTestSequence(name);
        made.emplace_back(sequence);
        return sequence;
    }

    // Waits for every change asked for to be done.
    ::testing::AssertionResult Idle()
    {
        if (!WaitUntil([this] { return !manager->IsChanging(); })) return ::testing::AssertionFailure();
        Settle();
        if (manager->IsChanging() && !WaitUntil([this] { return !manager->IsChanging(); })) {
            return ::testing::AssertionFailure();
        }
        return ::testing::AssertionSuccess();
    }

    // A stack of the named sequences, the last one current, and a clean log.
    void Build(const std::vector<std::string>& names)
    {
        for (const std::string& name : names) manager->Push(Make(name));
        ASSERT_TRUE(Idle());
        ASSERT_EQ(Stack(), names);
        log.clear();
    }

    std::string Current() const
    {
        auto* current = static_cast<CTestSequence*>(manager->GetCurrentSequence());
        return current != nullptr ? current->Name() : "none";
    }

    std::vector<std::string> Stack() const
    {
        std::vector<std::string> names;
        for (int i = 0; i <= manager->GetMaxIndex(); ++i) {
            names.push_back(static_cast<CTestSequence*>(manager->GetSequence(i))->Name());
        }
        return names;
    }

    CTestSequence* At(int index) const { return static_cast<CTestSequence*>(manager->GetSequence(index)); }

    CSequenceManager* manager = nullptr;
    std::vector<QPointer<CTestSequence>> made;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;
using Names = std::vector<std::string>;

TEST_F(SequenceManagerTest, TheFirstSequenceReturnedToIsInsertedBehindOneFade)
{
    manager->ReturnTo(Make("title"));
    EXPECT_TRUE(manager->IsChanging());
    EXPECT_EQ(manager->GetCurrentIndex(), -1);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), Names{"title"});
    EXPECT_EQ(manager->GetCurrentIndex(), 0);
    EXPECT_EQ(log, (Log{"new title", "fade 34", "fade 34"}));
    EXPECT_EQ(manager->GetLayout()->currentWidget(), made[0]);
}

TEST_F(SequenceManagerTest, ReturnToAnIndexLeavesThatManySequencesAndDeletesTheRest)
{
    Build({"a", "b", "c", "d"});
    const std::vector<QPointer<CTestSequence>> sequences = made;
    manager->ReturnTo(1);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"a", "b"}));
    EXPECT_EQ(Current(), "b");
    EXPECT_EQ(log, (Log{"changed b", "fade 35", "fade 35"}));
    EXPECT_EQ(sequences[0]->stops + sequences[1]->stops, 0);
    ASSERT_TRUE(WaitUntil([&] { return sequences[2].isNull() && sequences[3].isNull(); }));
}

TEST_F(SequenceManagerTest, TwoQuickPushesGiveTwoFadesInOrder)
{
    Build({"a"});
    manager->Push(Make("b"));
    manager->Push(Make("c"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"a", "b", "c"}));
    EXPECT_EQ(Current(), "c");
    EXPECT_EQ(log, (Log{"new b", "fade 34", "fade 34", "new c", "fade 34", "fade 34"}));
}

TEST_F(SequenceManagerTest, MoveByAndReturnByStayWithinTheStack)
{
    const struct {
        const char* name;
        std::function<void(CSequenceManager*)> request;
        Names stack;
        std::string current;
    } table[] = {
        {"MoveBy(5)", [](CSequenceManager* m) { m->MoveBy(5); }, {"a", "b", "c"}, "c"},
        {"MoveBy(-5)", [](CSequenceManager* m) { m->MoveBy(-5); }, {"a", "b", "c"}, "a"},
        {"ReturnBy(5)", [](CSequenceManager* m) { m->ReturnBy(5); }, {"a"}, "a"},
        {"ReturnBy(-5)", [](CSequenceManager* m) { m->ReturnBy(-5); }, {"a", "b", "c"}, "c"},
        {"MoveToFirst", [](CSequenceManager* m) { m->MoveToFirst(); }, {"a", "b", "c"}, "a"},
        {"MoveToLast", [](CSequenceManager* m) { m->MoveToLast(); }, {"a", "b", "c"}, "c"},
        {"ReturnToFirst", [](CSequenceManager* m) { m->ReturnToFirst(); }, {"a"}, "a"},
    };
    for (const auto& row : table) {
        manager->Clear();
        Build({"a", "b", "c"});
        manager->MoveTo(1);
        ASSERT_TRUE(Idle());
        ASSERT_EQ(Current(), "b");
        row.request(manager);
        ASSERT_TRUE(Idle()) << row.name;
        EXPECT_EQ(Stack(), row.stack) << row.name;
        EXPECT_EQ(Current(), row.current) << row.name;
    }
}

TEST_F(SequenceManagerTest, ABadIndexThrowsAndChangesNothing)
{
    const char* const moveError = "CSequenceManager::MoveTo(int): index is invalid.";
    const char* const returnError = "CSequenceManager::ReturnTo(int): index is invalid.";
    const struct {
        const char* name;
        std::function<void(CSequenceManager*)> request;
        const char* error;
    } table[] = {
        {"MoveTo(5)", [](CSequenceManager* m) { m->MoveTo(5); }, moveError},
        {"MoveTo(-1)", [](CSequenceManager* m) { m->MoveTo(-1); }, moveError},
        {"MoveTo(2)", [](CSequenceManager* m) { m->MoveTo(2); }, moveError},
        {"MoveToPrev", [](CSequenceManager* m) { m->MoveToPrev(); }, moveError},
        {"ReturnTo(2)", [](CSequenceManager* m) { m->ReturnTo(2); }, returnError},
        {"ReturnTo(-1)", [](CSequenceManager* m) { m->ReturnTo(-1); }, returnError},
        {"ReturnToPrev", [](CSequenceManager* m) { m->ReturnToPrev(); }, returnError},
    };
    Build({"a", "b"});
    manager->MoveTo(0);
    ASSERT_TRUE(Idle());
    log.clear();
    for (const auto& row : table) {
        try {
            row.request(manager);
            ADD_FAILURE() << row.name << " did not throw";
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), row.error) << row.name;
        }
        EXPECT_EQ(manager->GetCurrentIndex(), 0) << row.name;
        EXPECT_FALSE(manager->IsChanging()) << row.name;
    }
    manager->MoveTo(1);
    ASSERT_TRUE(Idle());
    EXPECT_THROW(manager->MoveToNext(), std::invalid_argument);
    EXPECT_EQ(manager->GetCurrentIndex(), 1);
    // An index beyond one above the top is ignored.
    manager->Insert(7, Make("x"));
    manager->Insert(-1, Make("y"));
    EXPECT_FALSE(manager->IsChanging());
    EXPECT_EQ(Stack(), (Names{"a", "b"}));
    delete made[made.size() - 1].data();
    delete made[made.size() - 2].data();
}

TEST_F(SequenceManagerTest, MovingOnAnEmptyStackThrows)
{
    EXPECT_THROW(manager->MoveBy(1), std::invalid_argument);
    EXPECT_THROW(manager->ReturnBy(1), std::invalid_argument);
    EXPECT_THROW(manager->MoveToLast(), std::invalid_argument);
    EXPECT_FALSE(manager->IsChanging());
}

TEST_F(SequenceManagerTest, ReturnToTheFadesOverlayIndexThrows)
{
    Build({"a", "b"});
    manager->MoveTo(0);
    ASSERT_EQ(manager->GetLayout()->count(), 3); // the overlay sits on top
    EXPECT_EQ(manager->GetMaxIndex(), 1);
    EXPECT_EQ(manager->GetSequenceCount(), 2);
    EXPECT_THROW(manager->ReturnTo(2), std::invalid_argument);
    EXPECT_THROW(manager->MoveTo(2), std::invalid_argument);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"a", "b"}));
}

TEST_F(SequenceManagerTest, InsertPutsTheSequenceAtTheIndexAndMakesItCurrent)
{
    Build({"a", "b"});
    manager->Insert(1, Make("m"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"a", "m", "b"}));
    EXPECT_EQ(Current(), "m");
    manager->Insert(3, Make("top"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"a", "m", "b", "top"}));
    EXPECT_EQ(manager->GetPrevSequence(), At(2));
}

TEST_F(SequenceManagerTest, ReplaceWithDuringAFadeWaitsForAFadeOfItsOwn)
{
    Build({"a"});
    const QPointer<CTestSequence> b = Make("b");
    manager->Push(b);
    ASSERT_TRUE(manager->IsChanging());
    manager->ReplaceWith(Make("c"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"a", "c"}));
    EXPECT_EQ(Current(), "c");
    EXPECT_EQ(manager->GetLayout()->currentWidget(), manager->GetCurrentSequence());
    EXPECT_EQ(log, (Log{"new b", "fade 34", "fade 34", "new c", "fade 34", "fade 34"}));
    ASSERT_TRUE(WaitUntil([&] { return b.isNull(); }));
}

TEST_F(SequenceManagerTest, ReplaceWithOnAnEmptyStackPutsTheSequenceFirst)
{
    manager->ReplaceWith(Make("only"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), Names{"only"});
    EXPECT_EQ(manager->GetCurrentIndex(), 0);
}

TEST_F(SequenceManagerTest, TwoBackTriggersInOneFadeGoBackOnce)
{
    Build({"title", "menu", "settings"});
    CTestSequence* menu = At(1);
    manager->ReturnTo(menu);
    manager->ReturnTo(menu);
    ASSERT_TRUE(Idle());
    Settle();
    EXPECT_EQ(Stack(), (Names{"title", "menu"}));
    EXPECT_EQ(log, (Log{"changed menu", "fade 35", "fade 35"}));
    // Asked again later, it is already there: nothing happens.
    manager->ReturnTo(menu);
    EXPECT_FALSE(manager->IsChanging());
}

TEST_F(SequenceManagerTest, AChangeAskedByASequenceBeingLeftIsDropped)
{
    // A delayed step of a screen fires while the player is already leaving it.
    const struct {
        const char* name;
        bool makes;
        std::function<void(CSequenceManager*, CTestSequence* from, CTestSequence* made)> ask;
    } table[] = {
        {"replace", true,
         [](CSequenceManager* m, CTestSequence* from, CTestSequence* made) { m->ReplaceWith(made, from); }},
        {"push", true,
         [](CSequenceManager* m, CTestSequence* from, CTestSequence* made) { m->Push(made, from); }},
        {"return", false,
         [](CSequenceManager* m, CTestSequence* from, CTestSequence*) { m->ReturnTo(1, from); }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        Build({"title", "menu", "teams"});
        CTestSequence* teams = At(2);
        const QPointer<CTestSequence> next = row.makes ? Make("next") : nullptr;
        manager->ReturnTo(0);
        ASSERT_TRUE(manager->IsChanging());
        row.ask(manager, teams, next);
        ASSERT_TRUE(Idle());
        EXPECT_EQ(Stack(), Names{"title"});
        // The sequence made for a dropped change goes too.
        EXPECT_TRUE(WaitUntil([&] { return next.isNull(); }));
        CSequenceManager::Shutdown();
        manager = CSequenceManager::GetInstance();
        manager->GetContainer()->resize(720, 600);
        manager->GetContainer()->show();
    }
    // Asked while current, the same change runs.
    Build({"title", "teams"});
    manager->ReplaceWith(Make("next"), At(1));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"title", "next"}));
}

TEST_F(SequenceManagerTest, TwoReturnToPrevInOneFadeGoBackTwice)
{
    // By index the second request counts from where the first went.
    Build({"title", "menu", "settings"});
    manager->ReturnToPrev();
    manager->ReturnToPrev();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), Names{"title"});
}

TEST_F(SequenceManagerTest, AReturnToASequenceNotOnTheStackReplacesTheCurrentOne)
{
    Build({"a", "b", "c"});
    manager->MoveTo(1);
    ASSERT_TRUE(Idle());
    log.clear();
    manager->ReturnTo(Make("fresh"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"a", "fresh"}));
    EXPECT_EQ(log, (Log{"new fresh", "fade 34", "fade 34"}));
}

TEST_F(SequenceManagerTest, WhileTheScreenIsBlackTheTargetIsCurrent)
{
    Build({"a"});
    CTestSequence* b = Make("b");
    std::vector<std::pair<CGameSequence*, int>> seen;
    QObject::connect(manager->GetFade(), &CAnimation::Finished,
                     [&] { seen.emplace_back(manager->GetCurrentSequence(), manager->GetCurrentIndex()); });
    manager->Push(b);
    EXPECT_EQ(Current(), "a");
    ASSERT_TRUE(Idle());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(static_cast<CGameSequence*>(b), 1)); // black, overlay on top
    EXPECT_EQ(seen[1], std::make_pair(static_cast<CGameSequence*>(b), 1));
}

TEST_F(SequenceManagerTest, ARequestFromANewSequencesStartJoinsTheSameFade)
{
    Build({"a"});
    CTestSequence* next = Make("next");
    QObject::connect(manager, &CSequenceManager::NewSequenceSet, [&] {
        if (Current() == "b") manager->Push(next);
    });
    manager->Push(Make("b"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), (Names{"a", "b", "next"}));
    EXPECT_EQ(log, (Log{"new b", "new next", "fade 34", "fade 34"}));
}

TEST_F(SequenceManagerTest, OnlyTheCurrentSequenceIsShown)
{
    Build({"a", "b", "c"});
    manager->MoveTo(0);
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(At(0)->isVisible());
    EXPECT_FALSE(At(1)->isVisible());
    EXPECT_FALSE(At(2)->isVisible());
    EXPECT_EQ(manager->GetLayout()->currentIndex(), 0);
}

TEST_F(SequenceManagerTest, PoppingTheCurrentSequenceReturnsToTheOneBelow)
{
    Build({"a", "b"});
    const QPointer<CTestSequence> b = At(1);
    manager->Pop();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Stack(), Names{"a"});
    EXPECT_EQ(Current(), "a");
    EXPECT_EQ(log, (Log{"changed a", "fade 35", "fade 35"}));
    ASSERT_TRUE(WaitUntil([&] { return b.isNull(); }));
}

TEST_F(SequenceManagerTest, PoppingAHiddenTopRemovesItAtOnce)
{
    Build({"a", "b"});
    manager->MoveTo(0);
    ASSERT_TRUE(Idle());
    log.clear();
    manager->Pop();
    EXPECT_FALSE(manager->IsChanging());
    EXPECT_EQ(Stack(), Names{"a"});
    EXPECT_EQ(Current(), "a");
    EXPECT_TRUE(log.empty());
}

TEST_F(SequenceManagerTest, PoppingTheOnlySequenceOrNoneLeavesAnEmptyStack)
{
    manager->Pop();
    Build({"a"});
    manager->Pop();
    EXPECT_EQ(manager->GetMaxIndex(), -1);
    EXPECT_EQ(manager->GetCurrentSequence(), nullptr);
    EXPECT_EQ(made[0]->stops, 1);
}

TEST_F(SequenceManagerTest, ClearRemovesEverySequenceOnce)
{
    Build({"a", "b", "c"});
    const std::vector<QPointer<CTestSequence>> sequences = made;
    manager->Clear();
    EXPECT_EQ(manager->GetMaxIndex(), -1);
    EXPECT_EQ(manager->GetCurrentIndex(), -1);
    for (const auto& sequence : sequences) EXPECT_EQ(sequence->stops, 1);
    Settle();
    for (const auto& sequence : sequences) EXPECT_TRUE(sequence.isNull());
}

TEST_F(SequenceManagerTest, ShutdownDeletesSequencesAndContainerWhileTheApplicationLives)
{
    Build({"a", "b"});
    manager->Push(Make("c")); // still fading
    const QPointer<QWidget> container = manager->GetContainer();
    const std::vector<QPointer<CTestSequence>> sequences = made;
    CSequenceManager::Shutdown();
    EXPECT_TRUE(container.isNull());
    for (const auto& sequence : sequences)
        EXPECT_TRUE(sequence.isNull()) << (sequence ? sequence->Name() : "");
    Settle();
    CSequenceManager* fresh = CSequenceManager::GetInstance();
    EXPECT_EQ(fresh->GetMaxIndex(), -1);
    EXPECT_FALSE(fresh->IsChanging());
    manager = fresh;
}

} // namespace
