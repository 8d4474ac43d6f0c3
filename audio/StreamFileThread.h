// The stream file thread "CK stream file": every period it runs the refill
// step of each stream source, in the order they joined the stream list.
#pragma once

#include "audio/Thread.h"

#include <mutex>

namespace Daz {

// A stream source as the stream file thread sees it. A member joins the list
// when it is made and must leave it (StreamList::remove) before it dies.
class StreamListMember {
  public:
    // Refills the member's buffer from its file; on the stream file thread, under the list lock.
    virtual void fileUpdate() = 0;

  protected:
    StreamListMember() = default;
    StreamListMember(const StreamListMember&) = delete;
    StreamListMember& operator=(const StreamListMember&) = delete;
    virtual ~StreamListMember() = default;

  private:
    friend class StreamList;
    StreamListMember* m_prevStream = nullptr;
    StreamListMember* m_nextStream = nullptr;
    bool m_listed = false;
};

// The process-wide list of stream sources and its lock.
class StreamList {
  public:
    static void add(StreamListMember* member);
    static void remove(StreamListMember* member);
    // One refill pass over every member, holding the list lock throughout.
    static void fileUpdateAll();
    static int getCount();
    // Taken first when both the list lock and a source's own lock are held.
    static std::mutex& getLock();
};

class StreamFileThread {
  public:
    // `periodMs` is rounded half away from zero to whole milliseconds.
    explicit StreamFileThread(float periodMs);
    StreamFileThread(const StreamFileThread&) = delete;
    StreamFileThread& operator=(const StreamFileThread&) = delete;
    ~StreamFileThread();

    void start();
    // Wakes the thread from its pause and joins it.
    void stop();
    bool isRunning() const { return m_thread.isRunning(); }
    int getPeriodMs() const { return m_periodMs; }
    // Passes completed since the start.
    int getPassCount() const;

    static int periodFor(float periodMs);

  private:
    static unsigned threadEntry(void* arg);
    void run();

    Thread m_thread;
    int m_periodMs;
    int m_passes = 0;
    bool m_stop = false;
    mutable std::mutex m_lock;
    Condition m_wake;
};

} // namespace Daz
