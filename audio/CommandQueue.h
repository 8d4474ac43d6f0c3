// The audio command queue: changes made on the program's thread reach the
// render side as commands, carried out in order at the start of a render pass.
#pragma once

#include <cstdint>
#include <mutex>

namespace Daz {

class Deletable;

// A command's 32-bit argument: an int or the bits of a float.
union CommandArg {
    std::int32_t i;
    float f;

    CommandArg() : i(0) {}
    CommandArg(int value) : i(value) {}
    CommandArg(float value) : f(value) {}
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

    // Held by the render side while it carries out commands.
    void lockAudio() { m_audioLock.lock(); }
    void unlockAudio() { m_audioLock.unlock(); }

    int getCapacity() const;
    int getCount() const;

    // The running engine's queue, null while the engine does not run.
    static CommandQueue* get() { return s_instance; }
    static void setInstance(CommandQueue* queue) { s_instance = queue; }

  private:
    struct Entry {
        int kind;
        union {
            CommandObject* target;
            void* memory;
            Deletable* deletable;
        };
        int command;
        CommandArg first;
        CommandArg second;
    };

    void post(const Entry& entry);

    std::recursive_mutex m_audioLock;
    mutable std::mutex m_queueLock;
    int m_capacity;
    int m_read = 0;
    int m_write = 0;
    Entry* m_ring = nullptr;

    static CommandQueue* s_instance;
};

} // namespace Daz
