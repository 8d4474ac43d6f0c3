// A bank file read whole into memory; its samples play as bank sounds.
#pragma once

#include "audio/CkTypes.h"

class CkBank {
  public:
    // Reads `length` bytes from `offset` (0: to the end of the file); null on failure.
    static CkBank* createFromFile(const char* path, int pathType, int offset = 0, int length = 0);

    virtual bool isLoaded() const = 0;
    virtual bool isFailed() const = 0;
    virtual const char* getName() const = 0;
    virtual int getNumSounds() const = 0;
    virtual const char* getSoundName(int index) const = 0;
    virtual void destroy() = 0;

  protected:
    virtual ~CkBank() = default;
};
