// The one system object of a running engine: the validated configuration,
// the memory allocator and the platform's hooks.
#pragma once

#include "audio/Ck.h"
#include "audio/Memory.h"

namespace Daz {

class GraphOutput;

class System {
  public:
    // The engine's output rate in frames per second.
    static constexpr int kSampleRate = 48000;

    virtual ~System();

    // Per-frame work on the program's thread.
    virtual void update();
    virtual void suspend();
    virtual void resume();

    const CkConfig& getConfig() const { return m_config; }
    bool isSuspended() const { return m_suspended; }
    bool isSimdSupported() const { return m_simdSupported; }
    bool isQuiet() const { return m_quiet; }
    void setQuiet(bool quiet) { m_quiet = quiet; }
    int getFixedPoint() const { return m_fixedPoint; }
    void setFixedPoint(int fixedPoint) { m_fixedPoint = fixedPoint; }

    // Chooses and opens the output device; false when there is none to render to.
    virtual bool startup() = 0;
    // The output over the device opened at start-up, for the engine graph to take.
    virtual GraphOutput* createOutput(int blockFrames) = 0;
    // Releases what the output did not take.
    virtual void shutdown() = 0;
    // Whether the output renders on a thread of its own; without one, update carries out the commands.
    bool rendersOnThread() const;

    // Made by the platform layer from the validated configuration.
    static System* create(const CkConfig& config);
    static System* get() { return s_instance; }
    static void setInstance(System* system) { s_instance = system; }

  protected:
    explicit System(const CkConfig& config);

    // Stops the output and carries out the queued commands.
    virtual void platformSuspend() = 0;
    // Starts the output again.
    virtual void platformResume() = 0;

    bool m_simdSupported = false;

  private:
    CkConfig m_config;
    FuncAllocator m_allocator;
    bool m_suspended = false;
    bool m_quiet = false;
    int m_fixedPoint = 2;

    static System* s_instance;
};

} // namespace Daz
