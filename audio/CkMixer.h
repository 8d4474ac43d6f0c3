// A mixer groups sounds for a common volume and pause. Mixers form a tree
// under the master mixer "master"; a mixer's mixed volume and pause state
// take in those of every ancestor.
#pragma once

class CkMixer {
  public:
    // At most 31 characters are kept; a longer name is cut with a warning.
    virtual void setName(const char* name) = 0;
    virtual const char* getName() const = 0;

    virtual void setVolume(float volume) = 0;
    virtual float getVolume() const = 0;
    // The own volume times the parent's mixed volume.
    virtual float getMixedVolume() const = 0;

    virtual void setPaused(bool paused) = 0;
    virtual bool isPaused() const = 0;
    // Paused itself or through any ancestor.
    virtual bool getMixedPauseState() const = 0;

    // Null means the master; the master itself takes no parent.
    virtual void setParent(CkMixer* parent) = 0;
    virtual CkMixer* getParent() const = 0;

    // Children and sounds move to this mixer's parent; the master cannot be destroyed.
    virtual void destroy() = 0;

    // Null while the engine does not run.
    static CkMixer* masterMixer();
    // A mixer under `parent` (null: the master); null when memory runs out.
    static CkMixer* createNamed(const char* name, CkMixer* parent = nullptr);

  protected:
    virtual ~CkMixer() = default;
};
