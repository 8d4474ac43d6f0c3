#include "audio/Bank.h"

#include "audio/BankSound.h"
#include "audio/CommandQueue.h"
#include "audio/Log.h"
#include "audio/ReadStream.h"

#include <chrono>
#include <thread>

CkBank* CkBank::createFromFile(const char* path, int pathType, int offset, int length)
{
    return Daz::Bank::load(path, pathType, offset, length);
}

namespace Daz {

Bank* Bank::s_first = nullptr;

Bank* Bank::load(const char* path, int pathType, int offset, int length)
{
    ReadStream stream(path, pathType);
    const char* resolved = stream.getPath().getBuffer();
    if (!stream.isValid()) {
        Log::error("Bank file \"%s\" could not be opened", resolved);
        return nullptr;
    }
    const int size = stream.getSize();
    if (length <= 0) length = size - offset;
    if (offset < 0 || offset >= size) {
        Log::error("Invalid offset %d for bank file \"%s\"", offset, resolved);
        return nullptr;
    }
    if (length > size - offset) {
        Log::error("Invalid length %d for bank file \"%s\"", length, resolved);
        return nullptr;
    }
    stream.setPos(offset);
    auto* data = static_cast<unsigned char*>(Memory::alloc(static_cast<std::size_t>(length)));
    if (!data) return nullptr;
    Bank* bank = nullptr;
    if (stream.read(data, length) == length) {
        bank = new Bank(data, length);
        if (!bank || !bank->m_image.process(data, length)) {
            delete bank;
            bank = nullptr;
        }
    }
    if (!bank) {
        Log::error("Bank from file \"%s\" could not be processed", resolved);
        Memory::free(data);
        return nullptr;
    }
    bank->m_loaded = true;
    bank->m_next = s_first;
    if (s_first) s_first->m_prev = bank;
    s_first = bank;
    return bank;
}

Bank::Bank(unsigned char* data, int bytes) : m_data(data), m_dataBytes(bytes) {}

Bank::~Bank() = default;

const char* Bank::getName() const
{
    if (!m_image.isProcessed()) {
        Log::error("Bank has not been loaded");
        return nullptr;
    }
    return m_image.getName();
}

int Bank::getNumSounds() const
{
    if (!m_image.isProcessed()) {
        Log::error("Bank has not been loaded");
        return 0;
    }
    return m_image.getNumEntries();
}

const char* Bank::getSoundName(int index) const
{
    if (!m_image.isProcessed()) {
        Log::error("Bank has not been loaded");
        return nullptr;
    }
    const BankEntry* entry = m_image.getEntry(index);
    if (!entry) {
        Log::error("Index %d out of range; bank \"%s\" has only %d sounds", index, m_image.getName(),
                   m_image.getNumEntries());
        return nullptr;
    }
    return entry->name;
}

const BankEntry* Bank::findEntry(const char* name, Bank** found)
{
    for (Bank* bank = s_first; bank; bank = bank->m_next) {
        if (!bank->isLoaded() || bank->isFailed()) continue;
        if (const BankEntry* entry = bank->m_image.findEntry(name)) {
            if (found) *found = bank;
            return entry;
        }
    }
    if (found) *found = nullptr;
    return nullptr;
}

void Bank::addSound(BankSound* sound)
{
    m_sounds.pushFront(sound);
}

void Bank::removeSound(BankSound* sound)
{
    m_sounds.remove(sound);
}

void Bank::destroy()
{
    if (!m_loaded.load()) {
        Log::warning("Bank is being destroyed before it is loaded; waiting for it to finish");
        while (!m_loaded.load()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (m_prev) m_prev->m_next = m_next;
    if (m_next) m_next->m_prev = m_prev;
    if (s_first == this) s_first = m_next;
    m_prev = m_next = nullptr;
    while (BankSound* sound = m_sounds.getFirst()) {
        removeSound(sound);
        sound->bankUnloaded();
    }
    // Queued after every command that may still send the render side into
    // bank memory: the bank goes first, then the memory.
    if (CommandQueue* queue = CommandQueue::get()) {
        queue->postDestroy(this);
        queue->postFree(m_data);
    } else {
        Memory::free(m_data);
        delete this;
    }
}

} // namespace Daz
