// The render node of one playing sound: it reads from the sound's decoder,
// resamples to the output rate, applies the sound's gains with ramping and
// hands a stereo block to the mix node it is attached to. A sound sets it up
// and changes it only through its commands.
#pragma once

#include "audio/AudioNode.h"
#include "audio/AudioSource.h"

#include <atomic>

namespace Daz {

class SourceNode : public AudioNode {
  public:
    enum Command {
        kSetLoopCount = 0,  // int, to the audio source
        kReleaseLoop = 1,   // to the audio source
        kSetLoop = 2,       // start, end frame, to the audio source
        kDecoderSeek = 3,   // frame, to the decoder
        kSetDecoder = 4,    // Decoder*
        kSetOutput = 5,     // MixNode*: moves the node when attached
        kAttach = 6,        // joins the output's inputs (plays)
        kDetach = 7,        // leaves them
        kSetNext = 8,       // SourceNode* of the sound chained after this one, or null
        kSetSpeed = 9,      // float playback-rate factor
        kSetGains12 = 10,   // target gains m1, m2
        kSetGains34 = 11,   // target gains m3, m4
        kSetPlayState = 12, // play id; 0 stops
        kSetPaused = 13,    // bool
        kSeekFrames = 14,   // frame, at the next block
        kSeekMs = 15,       // float ms, at the next block
        // The detach the node queues for itself when its sound has ended.
        kDetachAtEnd = 16,
    };

    // The play state of a sound started as another sound's next sound.
    static constexpr int kStartedAsNext = -1;

    // The source belongs to the sound and outlives the node.
    explicit SourceNode(AudioSource* source);
    ~SourceNode() override;

    void execute(int command, CommandArg first, CommandArg second) override;
    MixBuffer render(int frames, bool followUp, bool& followUpDue) override;
    MixBuffer renderFixed(int frames, bool followUp, bool& followUpDue) override;

    AudioSource* getSource() const { return m_source; }
    Decoder* getDecoder() const { return m_decoder; }
    MixNode* getOutput() const { return m_output; }
    bool isAttached() const { return m_attached.load(); }
    // Whether the render side is done with the node: it is detached and no
    // command it queued for itself is still waiting. A sound may delete its
    // node once this holds after its last command has run.
    bool isReleased() const { return !m_attached.load() && m_endDetaches.load() == 0; }
    // Read by the sound on the program's thread: the node's play state and the
    // play id of the last play it ended by itself.
    int getPlayState() const { return m_playState.load(); }
    int getStoppedPlayId() const { return m_stoppedPlayId.load(); }
    void getCurrentGains(float gains[4]) const;
    int getStartOffset() const { return m_startOffset; }

    // The gain step per output frame for a ramp time in milliseconds.
    static float rampStepFor(float rampMs);

  private:
    template <typename S> MixBuffer renderAs(int frames, bool followUp, bool& followUpDue);
    template <typename S> S* prev();
    void applySeek();
    void resetSource();
    void attach();
    void detach();
    void clearResampler();
    // Started in this block as the next sound of `from`.
    void startAsNext(const SourceNode& from, int startOffset);

    AudioSource* m_source;
    Decoder* m_decoder = nullptr;
    SourceNode* m_next = nullptr;
    MixNode* m_output = nullptr;
    std::atomic<bool> m_attached{false};
    std::atomic<int> m_endDetaches{0};
    float m_current[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    float m_target[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    std::atomic<int> m_playState{0};
    std::atomic<int> m_stoppedPlayId{0};
    int m_startOffset = -1;
    bool m_paused = false;
    int m_seekFrames = -1;
    float m_seekMs = -1.0f;
    float m_speed = 1.0f;
    float m_prevFloat[2] = {};
    Fixed m_prevFixed[2] = {};
};

} // namespace Daz
