// The engine's bank: a bank image it owns, the entries laid over it, and its
// place in the process-wide list of banks (newest first).
#pragma once

#include "audio/BankFile.h"
#include "audio/BankSound.h"
#include "audio/CkBank.h"
#include "audio/Deletable.h"
#include "audio/IntrusiveList.h"

#include <atomic>

namespace Daz {

class Bank : public CkBank, public Deletable {
  public:
    // Null, with the reason logged, when the file cannot be read or is no bank.
    static Bank* load(const char* path, int pathType, int offset, int length);

    bool isLoaded() const override { return m_loaded.load(); }
    bool isFailed() const override { return m_loaded.load() && !m_image.isProcessed(); }
    const char* getName() const override;
    int getNumSounds() const override;
    const char* getSoundName(int index) const override;
    // Waits for the load to finish, stops the bank's sounds and hands the bank
    // and then its memory to the render side, which lets go of them in turn.
    void destroy() override;

    const BankEntry* getEntry(int index) const { return m_image.getEntry(index); }
    const BankEntry* findOwnEntry(const char* name) const { return m_image.findEntry(name); }
    // The first loaded bank, newest first, that holds the name.
    static const BankEntry* findEntry(const char* name, Bank** bank = nullptr);
    static Bank* getFirst() { return s_first; }
    Bank* getNext() const { return m_next; }

    // The bank sounds made from it, newest first.
    void addSound(BankSound* sound);
    void removeSound(BankSound* sound);
    BankSound* getFirstSound() const { return m_sounds.getFirst(); }
    int getSoundCount() const { return m_sounds.getCount(); }

  private:
    explicit Bank(unsigned char* data, int bytes);
    ~Bank() override;

    BankImage m_image;
    unsigned char* m_data;
    int m_dataBytes;
    std::atomic<bool> m_loaded{false};
    IntrusiveList<BankSound, &BankSound::m_prevInBank, &BankSound::m_nextInBank> m_sounds;
    Bank* m_prev = nullptr;
    Bank* m_next = nullptr;

    static Bank* s_first;
};

} // namespace Daz
