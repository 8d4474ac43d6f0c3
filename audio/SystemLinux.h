// The system object on Linux: the output is an ALSA device, or the dummy
// output when none opens, chosen by the environment.
#pragma once

#include "audio/System.h"

namespace Daz {

class AlsaPcm;

// MAREVANE_AUDIO_OUTPUT: "alsa" (the device "default", also when unset),
// "alsa:<pcm name>" or "dummy". A test may ask for a pumped output instead.
struct OutputChoice {
    enum Kind {
        kAlsa,
        kDummy,
        kPumped,
    };
    static constexpr int kDeviceBytes = 128;

    Kind kind = kAlsa;
    char device[kDeviceBytes] = "default";

    // False for a text that names no output.
    static bool parse(const char* text, OutputChoice& choice);
    // The override when one is set, else the environment's.
    static OutputChoice current();
    // Start-ups take `choice` instead of the environment's until cleared with null.
    static void setOverride(const OutputChoice* choice);
};

class SystemLinux : public System {
  public:
    explicit SystemLinux(const CkConfig& config);
    ~SystemLinux() override;

    bool startup() override;
    GraphOutput* createOutput(int blockFrames) override;
    void shutdown() override;

    OutputChoice::Kind getOutputKind() const { return m_output.kind; }

  protected:
    void platformSuspend() override;
    void platformResume() override;

  private:
    OutputChoice m_output;
    AlsaPcm* m_pcm = nullptr;
};

} // namespace Daz
