// The engine's bank: a bank image it owns, the entries laid over it, and its
// place in the process-wide list of banks (newest first).
#pragma once

#include "audio/Allocatable.h"
#include "audio/BankFile.h"
#include "audio/CkBank.h"

namespace Daz {

class Bank : public CkBank, public Allocatable {
  public:
    // Null, with the reason logged, when the file cannot be read or is no bank.
    static Bank* load(const char* path, int pathType, int offset, int length);

    bool isLoaded() const override { return m_loaded; }
    bool isFailed() const override { return m_loaded && !m_image.isProcessed(); }
    const char* getName() const override;
    int getNumSounds() const override;
    const char* getSoundName(int index) const override;
    void destroy() override;

    const BankEntry* getEntry(int index) const { return m_image.getEntry(index); }
    // The first loaded bank, newest first, that holds the name.
    static const BankEntry* findEntry(const char* name, Bank** bank = nullptr);
    static Bank* getFirst() { return s_first; }
    Bank* getNext() const { return m_next; }

  private:
    explicit Bank(unsigned char* data, int bytes);
    ~Bank() override;

    BankImage m_image;
    unsigned char* m_data;
    int m_dataBytes;
    bool m_loaded = false;
    Bank* m_prev = nullptr;
    Bank* m_next = nullptr;

    static Bank* s_first;
};

} // namespace Daz
