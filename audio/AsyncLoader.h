// The asynchronous loader thread "CK async loader": reads byte ranges of
// files into the caller's buffers and reports each through a callback.
#pragma once

#include "audio/Allocatable.h"
#include "audio/Path.h"
#include "audio/Thread.h"

#include <mutex>

namespace Daz {

class AsyncLoader : public Allocatable {
  public:
    // Called on the loader thread, outside the loader's lock.
    typedef void (*Callback)(bool success, void* user);

    AsyncLoader();
    AsyncLoader(const AsyncLoader&) = delete;
    AsyncLoader& operator=(const AsyncLoader&) = delete;
    // Stops first.
    ~AsyncLoader();

    void start();
    // Wakes and joins the thread; the requests still queued are dropped unreported.
    void stop();

    // Reads `bytes` bytes at `offset` of the file into `buffer`; the callback
    // learns whether all of them arrived. False when the request could not be made.
    bool load(const char* path, int pathType, int offset, int bytes, void* buffer, Callback callback,
              void* user);
    int getQueuedCount() const;

    // The running engine's loader, null while the engine does not run.
    static AsyncLoader* get() { return s_instance; }
    static void setInstance(AsyncLoader* loader) { s_instance = loader; }

  private:
    struct Request : Allocatable {
        Path path;
        int pathType = 0;
        Callback callback = nullptr;
        void* user = nullptr;
        void* buffer = nullptr;
        int offset = 0;
        int bytes = 0;
        Request* prev = nullptr;
        Request* next = nullptr;
    };

    static unsigned threadEntry(void* arg);
    void run();
    Request* popFront();
    static void serve(const Request& request);

    Request* m_head = nullptr;
    Request* m_tail = nullptr;
    int m_count = 0;
    Thread m_thread;
    bool m_stop = false;
    mutable std::mutex m_lock;
    Condition m_condition;

    static AsyncLoader* s_instance;
};

} // namespace Daz
