// A sound with a place in the render graph: its source node, its audio
// source (the subclass's), the decoder made for the source's format and its
// effect bus. Everything the render side must see goes out as node commands.
#pragma once

#include "audio/Deletable.h"
#include "audio/EffectBus.h"
#include "audio/Sound.h"
#include "audio/SourceNode.h"

namespace Daz {

class GraphSound : public Sound, public Deletable, public EffectBusMember {
  public:
    bool isFailed() const override { return m_source->isFailed(); }
    bool isPlaying() const override;
    void setLoop(int startFrame, int endFrame) override;
    void getLoop(int& startFrame, int& endFrame) const override;
    void setLoopCount(int count) override;
    int getLoopCount() const override { return m_loopCount; }
    int getCurrentLoop() const override;
    void releaseLoop() override;
    bool isLoopReleased() const override { return m_loopReleased; }
    int getPlayPosition() const override;
    float getPlayPositionMs() const override;
    float getVolume() const override { return getOwnVolume(); }
    int getLength() const override;
    float getLengthMs() const override;
    int getSampleRate() const override;
    int getChannels() const override;
    void setEffectBus(CkEffectBus* bus) override;
    CkEffectBus* getEffectBus() const override { return getMemberBus(); }
    void destroy() override;

    // The render side is done with the node.
    bool isReadyToDelete() const override { return m_node.isReleased(); }

    const SourceNode& getNode() const { return m_node; }
    AudioSource* getSource() const { return m_source; }
    Decoder* getDecoder() const { return m_decoder; }
    bool isInitialized() const { return m_initialized; }
    int getPlayId() const { return m_playId; }
    // Becoming ready: once the source is, the sound takes the volume, pan and
    // loop of the sample info that the program has not set, and sets its node up.
    bool initialize();

  protected:
    // The source belongs to the subclass and lives as long as the sound.
    explicit GraphSound(AudioSource* source);
    ~GraphSound() override;

    // Sent to the node: through the queue while the engine runs, else at once.
    void post(int command, CommandArg first = CommandArg(), CommandArg second = CommandArg());
    // Streams refuse new loop points while they play.
    virtual bool refusesLoopChange() const { return false; }
    // Before the node starts: a stream sends its pending play position.
    virtual void beforeStart() {}
    // What a subclass leaves on destroy besides the common lists.
    virtual void leaveOwner() {}

    bool isSourceReady() const override { return m_source->isReady(); }
    void volumeChanged() override;
    void pauseChanged() override;
    void updateSelf() override;
    void speedChanged() override;
    void startNode() override;
    void stopNode() override;
    void nextChanged() override;

  private:
    void moveToBus(EffectBus* bus) override;
    // Where the node sends its blocks: the bus's input, or the graph root.
    static MixNode* outputFor(EffectBus* bus);

    SourceNode m_node;
    AudioSource* m_source;
    Decoder* m_decoder = nullptr;
    MixNode* m_outputNode = nullptr;
    bool m_initialized = false;
    bool m_playing = false;
    int m_loopCount = 0;
    int m_loopStart = 0;
    int m_loopEnd = -1;
    bool m_loopSet = false;
    bool m_loopCountSet = false;
    bool m_loopReleased = false;
    int m_playId = 0;
};

} // namespace Daz
