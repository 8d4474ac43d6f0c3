#include "audio/BankSound.h"

#include "audio/Bank.h"
#include "audio/Log.h"

CkSound* CkSound::createFromBank(CkBank* bank, const char* name)
{
    Daz::Bank* holder = static_cast<Daz::Bank*>(bank);
    const Daz::BankEntry* entry = holder ? holder->findOwnEntry(name) : Daz::Bank::findEntry(name, &holder);
    if (!entry) {
        Daz::Log::error("Could not find sample \"%s\"", name ? name : "");
        return nullptr;
    }
    return Daz::BankSound::create(holder, *entry);
}

namespace Daz {

BankSound* BankSound::create(Bank* bank, const BankEntry& entry)
{
    BankSound* sound = new BankSound(bank, entry);
    if (sound) bank->addSound(sound);
    return sound;
}

BankSound::BankSound(Bank* bank, const BankEntry& entry)
    : GraphSound(&m_buffer), m_buffer(entry.info, entry.data), m_bank(bank)
{
}

BankSound::~BankSound()
{
    leaveOwner();
}

void BankSound::leaveOwner()
{
    if (m_bank) m_bank->removeSound(this);
    m_bank = nullptr;
}

void BankSound::bankUnloaded()
{
    m_bank = nullptr;
    if (isPlaying()) Log::error("Stopping sound; bank has been unloaded");
    stop();
    // Nothing may start it as its next sound once the memory is gone.
    leavePredecessors();
}

void BankSound::play()
{
    if (!m_bank) {
        Log::error("Could not play sound; bank has been unloaded");
        return;
    }
    GraphSound::play();
}

void BankSound::setPlayPosition(int frame)
{
    post(SourceNode::kSeekFrames, frame);
}

void BankSound::setPlayPositionMs(float ms)
{
    post(SourceNode::kSeekMs, ms);
}

} // namespace Daz
