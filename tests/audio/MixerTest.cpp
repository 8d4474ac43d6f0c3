#include "audio/Mixer.h"
#include "audio/Ck.h"
#include "audio/CkMixer.h"
#include "audio/CommandQueue.h"
#include "audio/Log.h"

#include "AudioTestSupport.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Daz;

namespace {

// The render-side half of a stand-in sound: what the audio thread would see.
class RenderNode : public CommandObject {
  public:
    enum Command { kGain = 1, kPause = 2 };

    void execute(int command, CommandArg first, CommandArg) override
    {
        if (command == kGain) gain = first.f;
        if (command == kPause) paused = first.i != 0;
    }

    float gain = -1.0f;
    bool paused = false;
};

// A stand-in for a sound on a mixer: it posts its mixer's values as a sound would.
class TestSound : public MixerMember {
  public:
    explicit TestSound(CkMixer* mixer = nullptr) { setMixer(mixer); }
    ~TestSound() override
    {
        if (Mixer* mixer = getMemberMixer()) mixer->detach(this);
        // Commands for the node may still be queued; a real sound defers its node's deletion instead.
        if (CommandQueue* queue = CommandQueue::get()) queue->processAudioCommands();
    }

    // Null means the master.
    void setMixer(CkMixer* mixer)
    {
        Mixer* target = mixer ? static_cast<Mixer*>(mixer) : Mixer::getMaster();
        if (target == getMemberMixer()) return;
        if (target)
            target->attach(this);
        else
            getMemberMixer()->detach(this);
        postGain();
        postPause();
    }

    int volumeTells = 0;
    int pauseTells = 0;
    RenderNode node;

  private:
    void mixerVolumeChanged() override
    {
        ++volumeTells;
        postGain();
    }
    void mixerPauseChanged() override
    {
        ++pauseTells;
        postPause();
    }
    void moveToMixer(Mixer* mixer) override { setMixer(mixer); }

    void postGain()
    {
        if (getMemberMixer() && CommandQueue::get())
            CommandQueue::get()->postCommand(&node, RenderNode::kGain, getMemberMixer()->getMixedVolume());
    }
    void postPause()
    {
        if (getMemberMixer() && CommandQueue::get())
            CommandQueue::get()->postCommand(&node, RenderNode::kPause,
                                             getMemberMixer()->getMixedPauseState() ? 1 : 0);
    }
};

class MixerTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        // No render thread: the test carries out the commands itself.
        ASSERT_TRUE(startPumpedEngine());
        master = CkMixer::masterMixer();
        ASSERT_NE(nullptr, master);
        log.lines().clear();
    }
    void TearDown() override
    {
        // Mixers a test leaves under the master go before it does; their children move up first.
        if (Mixer* root = Mixer::getMaster()) {
            while (Mixer* child = root->getFirstChild()) child->destroy();
        }
        stopPumpedEngine();
        Log::set(kCkLog_All, nullptr);
    }

    static std::vector<const CkMixer*> childrenOf(const CkMixer* mixer)
    {
        std::vector<const CkMixer*> children;
        for (const Mixer* child = static_cast<const Mixer*>(mixer)->getFirstChild(); child;
             child = child->getNextSibling())
            children.push_back(child);
        return children;
    }

    LogCapture log;
    CkMixer* master = nullptr;
};

TEST_F(MixerTest, MasterHeadsTheTreeWhileTheEngineRuns)
{
    EXPECT_STREQ("master", master->getName());
    EXPECT_EQ(nullptr, master->getParent());
    EXPECT_EQ(1.0f, master->getVolume());
    EXPECT_EQ(1.0f, master->getMixedVolume());
    EXPECT_FALSE(master->isPaused());

    CkMixer* bgm = CkMixer::createNamed("BGM", nullptr);
    CkMixer* se = CkMixer::createNamed("SE", master);
    CkMixer* voice = CkMixer::createNamed("voice", se);
    ASSERT_TRUE(bgm && se && voice);
    EXPECT_STREQ("BGM", bgm->getName());
    EXPECT_EQ(master, bgm->getParent());
    EXPECT_EQ(master, se->getParent());
    EXPECT_EQ(se, voice->getParent());
    // The newest child comes first.
    EXPECT_EQ((std::vector<const CkMixer*>{se, bgm}), childrenOf(master));
    EXPECT_TRUE(log.lines().empty());

    CkShutdown();
    EXPECT_EQ(nullptr, CkMixer::masterMixer());
    voice->destroy();
    se->destroy();
    bgm->destroy();
}

TEST_F(MixerTest, MixedValuesFollowEveryAncestor)
{
    CkMixer* bgm = CkMixer::createNamed("BGM", nullptr);
    CkMixer* track = CkMixer::createNamed("track", bgm);
    TestSound sound(track);

    master->setVolume(0.8f);
    bgm->setVolume(0.5f);
    track->setVolume(0.25f);
    EXPECT_FLOAT_EQ(0.8f, master->getMixedVolume());
    EXPECT_FLOAT_EQ(0.4f, bgm->getMixedVolume());
    EXPECT_FLOAT_EQ(0.1f, track->getMixedVolume());
    EXPECT_EQ(0.5f, bgm->getVolume());
    EXPECT_EQ(3, sound.volumeTells);

    // An equal value tells nobody.
    bgm->setVolume(0.5f);
    EXPECT_EQ(3, sound.volumeTells);

    // A child created under a changed parent starts from its mixed volume.
    CkMixer* late = CkMixer::createNamed("late", bgm);
    EXPECT_FLOAT_EQ(0.4f, late->getMixedVolume());

    master->setPaused(true);
    for (CkMixer* mixer : {master, bgm, track, late}) EXPECT_TRUE(mixer->getMixedPauseState());
    for (CkMixer* mixer : {bgm, track, late}) EXPECT_FALSE(mixer->isPaused());
    EXPECT_EQ(1, sound.pauseTells);

    // A pause lower down outlasts the master's.
    bgm->setPaused(true);
    EXPECT_EQ(1, sound.pauseTells);
    master->setPaused(false);
    EXPECT_FALSE(master->getMixedPauseState());
    EXPECT_TRUE(track->getMixedPauseState());
    EXPECT_EQ(1, sound.pauseTells);
    bgm->setPaused(false);
    EXPECT_FALSE(track->getMixedPauseState());
    EXPECT_EQ(2, sound.pauseTells);
    EXPECT_EQ(3, sound.volumeTells);
}

TEST_F(MixerTest, ReparentingCarriesTheSubtreeAndRecomputesIt)
{
    CkMixer* bgm = CkMixer::createNamed("BGM", nullptr);
    CkMixer* se = CkMixer::createNamed("SE", nullptr);
    CkMixer* hits = CkMixer::createNamed("hits", se);
    CkMixer* loud = CkMixer::createNamed("loud", hits);
    bgm->setVolume(0.5f);
    bgm->setPaused(true);

    se->setParent(bgm);
    EXPECT_EQ(bgm, se->getParent());
    EXPECT_EQ((std::vector<const CkMixer*>{bgm}), childrenOf(master));
    EXPECT_FLOAT_EQ(0.5f, loud->getMixedVolume());
    EXPECT_TRUE(loud->getMixedPauseState());

    // Null means the master.
    se->setParent(nullptr);
    EXPECT_EQ(master, se->getParent());
    EXPECT_EQ((std::vector<const CkMixer*>{se, bgm}), childrenOf(master));
    EXPECT_EQ(1.0f, loud->getMixedVolume());
    EXPECT_FALSE(loud->getMixedPauseState());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(MixerTest, MisuseIsLoggedAndChangesNothing)
{
    CkMixer* se = CkMixer::createNamed("SE", nullptr);
    CkMixer* hits = CkMixer::createNamed("hits", se);
    CkMixer* loud = CkMixer::createNamed("loud", hits);
    se->setVolume(0.5f);

    struct Case {
        const char* name;
        void (*misuse)(CkMixer* master, CkMixer* se, CkMixer* loud);
        const char* line;
    };
    const Case cases[] = {
        {"master under a mixer", [](CkMixer* m, CkMixer* s, CkMixer*) { m->setParent(s); },
         "Master mixer cannot have a parent"},
        {"master under nothing", [](CkMixer* m, CkMixer*, CkMixer*) { m->setParent(nullptr); },
         "Master mixer cannot have a parent"},
        {"mixer under itself", [](CkMixer*, CkMixer* s, CkMixer*) { s->setParent(s); },
         "Cannot parent a mixer to itself"},
        {"mixer under its grandchild", [](CkMixer*, CkMixer* s, CkMixer* l) { s->setParent(l); },
         "Cannot parent a mixer to one of its descendants"},
        {"master destroyed", [](CkMixer* m, CkMixer*, CkMixer*) { m->destroy(); },
         "Can't destroy the master mixer!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.lines().clear();
        c.misuse(master, se, loud);
        EXPECT_EQ((std::vector<LogLine>{{kCkLog_Error, c.line}}), log.lines());
        EXPECT_EQ(master, CkMixer::masterMixer());
        EXPECT_EQ(nullptr, master->getParent());
        EXPECT_EQ(master, se->getParent());
        EXPECT_EQ(hits, loud->getParent());
        EXPECT_FLOAT_EQ(0.5f, loud->getMixedVolume());
    }
    // The tree still answers to the master.
    master->setVolume(0.5f);
    EXPECT_FLOAT_EQ(0.25f, loud->getMixedVolume());
}

TEST_F(MixerTest, LongNamesAreCutWithOneWarning)
{
    const std::string name31(31, 'a');
    const std::string name40 = std::string(31, 'b') + "123456789";
    struct Case {
        std::string given;
        std::string stored;
        bool warned;
    };
    const Case cases[] = {
        {name31, name31, false},
        {name40, std::string(31, 'b'), true},
        {"", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        log.lines().clear();
        CkMixer* mixer = CkMixer::createNamed(c.given.c_str(), nullptr);
        EXPECT_EQ(c.stored, mixer->getName());
        std::vector<LogLine> expected;
        if (c.warned)
            expected.push_back(
                {kCkLog_Warning, "Name \"" + c.given + "\" is more than 31 characters; truncating"});
        EXPECT_EQ(expected, log.lines());

        log.lines().clear();
        mixer->setName(c.given.c_str());
        EXPECT_EQ(c.stored, mixer->getName());
        EXPECT_EQ(expected, log.lines());
        mixer->destroy();
    }
}

TEST_F(MixerTest, DestroyingAMixerHandsItsChildrenAndSoundsToItsParent)
{
    CkMixer* se = CkMixer::createNamed("SE", nullptr);
    CkMixer* hits = CkMixer::createNamed("hits", se);
    CkMixer* misses = CkMixer::createNamed("misses", se);
    CkMixer* loud = CkMixer::createNamed("loud", hits);
    master->setVolume(0.8f);
    se->setVolume(0.5f);
    se->setPaused(true);
    TestSound onSe(se);
    TestSound onLoud(loud);
    TestSound onMaster(master);

    se->destroy();
    EXPECT_EQ(master, onSe.getMemberMixer());
    EXPECT_EQ(2, static_cast<Mixer*>(master)->getMemberCount());
    EXPECT_EQ(master, hits->getParent());
    EXPECT_EQ(master, misses->getParent());
    EXPECT_EQ((std::vector<const CkMixer*>{hits, misses}), childrenOf(master));
    // The grandchild now answers to the master alone.
    EXPECT_EQ(loud, onLoud.getMemberMixer());
    EXPECT_FLOAT_EQ(0.8f, loud->getMixedVolume());
    EXPECT_FALSE(loud->getMixedPauseState());
    EXPECT_EQ(1, onLoud.volumeTells);
    EXPECT_EQ(1, onLoud.pauseTells);

    // The moved sound follows its new mixer.
    master->setVolume(0.5f);
    EXPECT_EQ(1, onSe.volumeTells);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(MixerTest, RenderSideSeesMixedValuesOnceTheQueueRuns)
{
    CkMixer* bgm = CkMixer::createNamed("BGM", nullptr);
    TestSound sound(bgm);
    CkUpdate();
    EXPECT_EQ(1.0f, sound.node.gain);

    master->setVolume(0.8f);
    bgm->setVolume(0.5f);
    master->setPaused(true);
    // Nothing reaches the render side before the queue is carried out.
    EXPECT_EQ(1.0f, sound.node.gain);
    EXPECT_FALSE(sound.node.paused);

    CkUpdate();
    EXPECT_FLOAT_EQ(0.4f, sound.node.gain);
    EXPECT_TRUE(sound.node.paused);

    // The last value posted wins, also when the tree changes between updates.
    bgm->destroy();
    master->setPaused(false);
    CkUpdate();
    EXPECT_FLOAT_EQ(0.8f, sound.node.gain);
    EXPECT_FALSE(sound.node.paused);
}

TEST_F(MixerTest, MixersOutlivingTheEngineStandAlone)
{
    CkMixer* bgm = CkMixer::createNamed("BGM", nullptr);
    CkMixer* track = CkMixer::createNamed("track", bgm);
    master->setVolume(0.5f);
    bgm->setVolume(0.5f);
    TestSound onMaster(master);

    CkShutdown();
    EXPECT_EQ(nullptr, CkMixer::masterMixer());
    EXPECT_EQ(nullptr, onMaster.getMemberMixer());
    EXPECT_EQ(nullptr, bgm->getParent());
    EXPECT_EQ(0.5f, bgm->getMixedVolume());
    EXPECT_EQ(bgm, track->getParent());

    // Without a master, null leaves a mixer at the top.
    track->setParent(nullptr);
    EXPECT_EQ(nullptr, track->getParent());
    EXPECT_EQ(1.0f, track->getMixedVolume());
    track->destroy();
    bgm->destroy();
}

} // namespace
