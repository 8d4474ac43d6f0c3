#include "audio/EngineGraph.h"

#include "audio/EffectBus.h"
#include "audio/GraphOutput.h"

#include <new>

namespace Daz {

EngineGraph* EngineGraph::s_instance = nullptr;

namespace {

alignas(EngineGraph) unsigned char g_storage[sizeof(EngineGraph)];

} // namespace

EngineGraph::EngineGraph(int maxAudioTasks, GraphOutput* output)
    : m_globalBus(new EffectBus(true)), m_queue(maxAudioTasks), m_output(output)
{
    m_output->setPreRenderCallback(&EngineGraph::drain, this);
    m_output->setPostRenderCallback(nullptr, nullptr);
    if (m_globalBus) {
        // Nothing renders yet, so the graph is routed into the bus directly.
        m_globalBus->getInputNode()->addInput(this);
        m_output->setRoot(m_globalBus->getBusNode());
    }
}

EngineGraph::~EngineGraph()
{
    if (CommandQueue::get() == &m_queue) CommandQueue::setInstance(nullptr);
    delete m_output;
    delete m_globalBus;
}

EngineGraph* EngineGraph::create(int maxAudioTasks, GraphOutput* output)
{
    if (s_instance || !output) {
        delete output;
        return nullptr;
    }
    EngineGraph* graph = ::new (g_storage) EngineGraph(maxAudioTasks, output);
    if (!graph->m_globalBus || !graph->m_queue.isValid()) {
        graph->~EngineGraph();
        return nullptr;
    }
    CommandQueue::setInstance(&graph->m_queue);
    s_instance = graph;
    if (!graph->start()) {
        destroy();
        return nullptr;
    }
    return graph;
}

void EngineGraph::destroy()
{
    EngineGraph* graph = s_instance;
    if (!graph) return;
    graph->stop();
    s_instance = nullptr;
    graph->~EngineGraph();
}

bool EngineGraph::rendersOnThread() const
{
    return m_output->hasThread();
}

bool EngineGraph::start()
{
    return m_output->start();
}

void EngineGraph::stop()
{
    m_output->stop();
    // Nothing renders any more: the last commands may wait for the audio lock.
    m_queue.processAudioCommandsWaiting();
}

void EngineGraph::update()
{
    if (!m_output->hasThread()) m_queue.processAudioCommands();
}

void EngineGraph::drain(void* arg)
{
    static_cast<EngineGraph*>(arg)->m_queue.processAudioCommands();
}

} // namespace Daz
