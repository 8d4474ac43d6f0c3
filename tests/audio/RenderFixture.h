// A render graph without the engine: a mix buffer pool, the render context,
// a command queue and a pumped output over a root mix node.
#pragma once

#include "audio/AudioNode.h"
#include "audio/Ck.h"
#include "audio/CommandQueue.h"
#include "audio/GraphOutput.h"
#include "audio/SourceNode.h"

#include "TestSource.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class RenderFixture : public ::testing::Test {
  protected:
    static constexpr int kBlock = 240;

    void SetUp() override { setUpPipeline(false, false); }

    void setUpPipeline(bool fixedPoint, bool simd)
    {
        Daz::RenderContext& context = Daz::RenderContext::get();
        m_saved = context;
        context.pool = &pool;
        context.fixedPoint = fixedPoint;
        context.useKernels(simd);
        context.renderTimer = nullptr;
        Daz::CommandQueue::setInstance(&queue);
    }

    void TearDown() override
    {
        output.stop();
        nodes.clear();
        root.reset();
        Daz::CommandQueue::setInstance(nullptr);
        Daz::RenderContext::get() = m_saved;
        CkSetVolumeRampMs(40.0f);
    }

    // A node playing `source` into the root at the given gains, its commands carried out.
    Daz::SourceNode* play(TestSource& source, float m1 = 1.0f, float m2 = 0.0f, float m3 = 0.0f,
                          float m4 = 1.0f)
    {
        nodes.push_back(std::make_unique<Daz::SourceNode>(&source));
        Daz::SourceNode* node = nodes.back().get();
        node->execute(Daz::SourceNode::kSetDecoder, static_cast<Daz::Decoder*>(&source), 0);
        node->execute(Daz::SourceNode::kSetOutput, static_cast<Daz::MixNode*>(root.get()), 0);
        node->execute(Daz::SourceNode::kSetGains12, m1, m2);
        node->execute(Daz::SourceNode::kSetGains34, m3, m4);
        node->execute(Daz::SourceNode::kSetPlayState, 1, 0);
        node->execute(Daz::SourceNode::kAttach, 0, 0);
        return node;
    }

    // `blocks` blocks through the output, as float stereo.
    std::vector<float> pump(int blocks, int frames = kBlock)
    {
        std::vector<float> out(static_cast<std::size_t>(2 * frames * blocks));
        for (int b = 0; b < blocks; ++b) EXPECT_TRUE(output.pump(out.data() + 2 * frames * b, frames));
        return out;
    }

    Daz::MixBufferPool pool{4 * kBlock, 2};
    Daz::CommandQueue queue{64};
    std::unique_ptr<Daz::MixNode> root = std::make_unique<Daz::MixNode>();
    Daz::GraphOutputPumped output{kBlock};
    std::vector<std::unique_ptr<Daz::SourceNode>> nodes;

    // Starts the output over the root, draining the queue before each block.
    void startOutput()
    {
        output.setRoot(root.get());
        output.setPreRenderCallback(
            [](void* q) { static_cast<Daz::CommandQueue*>(q)->processAudioCommands(); }, &queue);
        ASSERT_TRUE(output.start());
    }

  private:
    Daz::RenderContext m_saved;
};
