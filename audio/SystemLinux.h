// The system object on Linux. The output is a dummy that renders nothing and
// has no thread, so the program's update carries out the audio commands.
#pragma once

#include "audio/System.h"

namespace Daz {

class SystemLinux : public System {
  public:
    explicit SystemLinux(const CkConfig& config);

    bool startup() override;
    void shutdown() override;
    bool rendersOnThread() const override { return false; }

    bool isOutputRunning() const { return m_outputRunning; }

  protected:
    void platformSuspend() override;
    void platformResume() override;

  private:
    bool m_outputRunning = false;
};

} // namespace Daz
