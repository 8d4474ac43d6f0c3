// The audio command queue: changes made on the program's thread reach the
// render side as commands, carried out in order at the start of a render pass.
#pragma once

#include <cstdint>
#include <mutex>

namespace Daz {

class Deletable;

// A command's argument: an int, a float or an object of the render side.
union CommandArg {
    std::int64_t i;
    float f;
    void* p;

    CommandArg() : i(0) {}
    CommandArg(int value) : i(value) {}
    CommandArg(float value) : i(0) { f = value; }
    CommandArg(void* value) : i(0) { p = value; }

    template <typename T> T* to() const { return static_cast<T*>(p); }
};

// The render-side half of an engine object.
class CommandObject {
  public:
    virtual ~CommandObject() = default;
    virtual void execute(int command, CommandArg first, CommandArg second) = 0;
};

class CommandQueue {
  public:
    enum Kind {
        kCall = 1,
        kFree = 2,
        kDestroy = 3,
    };

    // Builds the ring; isValid() is false when its memory could not be had.
    explicit CommandQueue(int capacity);
    ~CommandQueue();
    CommandQueue(const CommandQueue&) = delete;
    CommandQueue& operator=(const CommandQueue&) = delete;

    bool isValid() const { return m_ring != nullptr; }

    void postCommand(CommandObject* object, int command, CommandArg first = CommandArg(),
                     CommandArg second = CommandArg());
    // The block goes back to the engine memory once the render side is past it.
    void postFree(void* memory);
    // The object goes to the deferred-deletion list.
    void postDestroy(Deletable* object);

    // Carries out every queued command, also those queued meanwhile; skips
    // the pass with a warning while another thread holds the audio lock.
    void processAudioCommands();
    // The same, waiting for the audio lock: for shutdown, once nothing renders any more.
    void processAudioCommandsWaiting();

    // Held by the render side while it carries out commands.
    void lockAudio() { m_audioLock.lock(); }
    void unlockAudio() { m_audioLock.unlock(); }

    int getCapacity() const;
    int getCount() const;

    // The running engine's queue, null while the engine does not run.
    static CommandQueue* get() { return s_instance; }
    static void setInstance(CommandQueue* queue) { s_instance = queue; }

  private:
    // 32 bytes: room for a pointer and two 64-bit arguments.
    struct Entry {
        int kind;
        int command;
        union {
            CommandObject* target;
            void* memory;
            Deletable* deletable;
        };
        CommandArg first;
        CommandArg second;
    };

    void post(const Entry& entry);
    void runQueued();

    std::recursive_mutex m_audioLock;
    mutable std::mutex m_queueLock;
    int m_capacity;
    int m_read = 0;
    int m_write = 0;
    Entry* m_ring = nullptr;

    static CommandQueue* s_instance;
};

} // namespace Daz
