// The engine's mixer tree. Mixers live on the program's thread only; the
// gains they produce reach the render side through their sounds, which post
// them to the command queue.
#pragma once

#include "audio/Allocatable.h"
#include "audio/CkMixer.h"
#include "audio/FileFormat.h"

namespace Daz {

class Mixer;

// What a mixer needs of a sound attached to it. The mixer keeps its members in
// an intrusive list, so attaching never allocates.
class MixerMember {
  public:
    Mixer* getMemberMixer() const { return m_memberMixer; }

  protected:
    MixerMember() = default;
    MixerMember(const MixerMember&) = delete;
    MixerMember& operator=(const MixerMember&) = delete;
    // A member must have left its mixer (Mixer::detach) before it dies.
    virtual ~MixerMember() = default;

  private:
    friend class Mixer;

    // The mixer's mixed volume or mixed pause state has changed; the member
    // reads the new value from its mixer and posts what the render side needs.
    virtual void mixerVolumeChanged() = 0;
    virtual void mixerPauseChanged() = 0;
    // The mixer is going away: the member moves to `mixer` as its own setMixer
    // does (null when the dying mixer had no parent).
    virtual void moveToMixer(Mixer* mixer) = 0;

    Mixer* m_memberMixer = nullptr;
    MixerMember* m_prevMember = nullptr;
    MixerMember* m_nextMember = nullptr;
};

class Mixer : public CkMixer, public Allocatable {
  public:
    void setName(const char* name) override;
    const char* getName() const override { return m_name; }
    void setVolume(float volume) override;
    float getVolume() const override { return m_volume; }
    float getMixedVolume() const override { return m_mixedVolume; }
    void setPaused(bool paused) override;
    bool isPaused() const override { return m_paused; }
    bool getMixedPauseState() const override { return m_mixedPaused; }
    void setParent(CkMixer* parent) override;
    CkMixer* getParent() const override { return m_parent; }
    void destroy() override;

    Mixer* getParentMixer() const { return m_parent; }
    Mixer* getFirstChild() const { return m_firstChild; }
    Mixer* getNextSibling() const { return m_nextSibling; }

    // Joins the member at the end of the list, leaving its old mixer first.
    void attach(MixerMember* member);
    // Does nothing when the member is not this mixer's.
    void detach(MixerMember* member);
    MixerMember* getFirstMember() const { return m_firstMember; }
    int getMemberCount() const { return m_memberCount; }

    static Mixer* create(const char* name, Mixer* parent);
    static Mixer* getMaster() { return s_master; }
    // The engine's start-up and shutdown; the master lives in storage of its own.
    static Mixer* createMaster();
    static void destroyMaster();

  private:
    Mixer(const char* name, Mixer* parent);
    ~Mixer() override;

    // Moves this mixer to the head of `parent`'s children (null: no parent).
    void link(Mixer* parent);
    void unlink();
    void recompute();

    Mixer* m_parent = nullptr;
    Mixer* m_firstChild = nullptr;
    Mixer* m_prevSibling = nullptr;
    Mixer* m_nextSibling = nullptr;
    char m_name[Name::kBytes];
    float m_volume = 1.0f;
    float m_mixedVolume = 1.0f;
    bool m_paused = false;
    bool m_mixedPaused = false;
    MixerMember* m_firstMember = nullptr;
    MixerMember* m_lastMember = nullptr;
    int m_memberCount = 0;

    static Mixer* s_master;
};

} // namespace Daz
