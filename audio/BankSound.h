// A sound of one sample of a loaded bank, read straight from bank memory.
#pragma once

#include "audio/BufferSource.h"
#include "audio/GraphSound.h"

namespace Daz {

class Bank;
struct BankEntry;

class BankSound : public GraphSound {
  public:
    // Joins the bank's sound list; null when memory runs out.
    static BankSound* create(Bank* bank, const BankEntry& entry);

    // Refused once the bank has gone.
    void play() override;
    // Applied by the node at its next block.
    void setPlayPosition(int frame) override;
    void setPlayPositionMs(float ms) override;

    Bank* getBank() const { return m_bank; }
    // The bank is going: the sound stops and keeps no reference to it.
    void bankUnloaded();

  protected:
    bool isChainable() const override { return true; }
    void leaveOwner() override;

  private:
    friend class Bank;
    BankSound(Bank* bank, const BankEntry& entry);
    ~BankSound() override;

    BufferSource m_buffer;
    Bank* m_bank;
    BankSound* m_prevInBank = nullptr;
    BankSound* m_nextInBank = nullptr;
};

} // namespace Daz
