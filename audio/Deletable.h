// Engine objects whose deletion must wait until the render thread lets go of them.
#pragma once

#include "audio/Allocatable.h"

namespace Daz {

class Deletable : public Allocatable {
  public:
    virtual ~Deletable() = default;
    // Whether nothing on the render side still reads the object.
    virtual bool isReadyToDelete() const { return true; }

  private:
    friend class DeletionList;
    Deletable* m_nextDeleted = nullptr;
};

// The process-wide list of objects waiting for deletion.
class DeletionList {
  public:
    static void add(Deletable* object);
    // Deletes every listed object that is ready; the others stay listed.
    static void update();
    // Walks the list until it is empty, pausing between rounds; after
    // `limitMs` whatever is left is deleted all the same, with a warning.
    static void drain(int limitMs = 2000);
    static int getCount();
};

} // namespace Daz
