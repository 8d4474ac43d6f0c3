#include "audio/Mixer.h"

#include "audio/Log.h"

#include <new>

namespace Daz {

Mixer* Mixer::s_master = nullptr;

namespace {

// The master's own storage: it is not taken from the engine allocator.
alignas(Mixer) unsigned char g_masterStorage[sizeof(Mixer)];

} // namespace

Mixer::Mixer(const char* name, Mixer* parent)
{
    Name::copy(m_name, name);
    if (parent) link(parent);
    recompute();
}

Mixer::~Mixer()
{
    Mixer* parent = m_parent;
    while (MixerMember* member = m_firstMember) {
        member->moveToMixer(parent);
        // A member that stayed would keep pointing at freed memory.
        if (m_firstMember == member) detach(member);
    }
    unlink();
    while (Mixer* child = m_firstChild) {
        child->link(parent);
        child->recompute();
    }
}

Mixer* Mixer::create(const char* name, Mixer* parent)
{
    // The engine allocator yields null when memory runs out, and logs it.
    return new Mixer(name, parent ? parent : s_master);
}

Mixer* Mixer::createMaster()
{
    if (!s_master) s_master = ::new (g_masterStorage) Mixer("master", nullptr);
    return s_master;
}

void Mixer::destroyMaster()
{
    Mixer* master = s_master;
    if (!master) return;
    // Nothing may join the master while it goes: sounds moved off it find no master.
    s_master = nullptr;
    master->~Mixer();
}

void Mixer::setName(const char* name)
{
    Name::copy(m_name, name);
}

void Mixer::setVolume(float volume)
{
    if (volume == m_volume) return;
    m_volume = volume;
    recompute();
}

void Mixer::setPaused(bool paused)
{
    if (paused == m_paused) return;
    m_paused = paused;
    recompute();
}

void Mixer::setParent(CkMixer* parent)
{
    if (this == s_master) {
        Log::error("Master mixer cannot have a parent");
        return;
    }
    if (parent == this) {
        Log::error("Cannot parent a mixer to itself");
        return;
    }
    Mixer* target = parent ? static_cast<Mixer*>(parent) : s_master;
    // A loop would cut the subtree off the master and recompute without end.
    for (const Mixer* up = target; up; up = up->m_parent) {
        if (up == this) {
            Log::error("Cannot parent a mixer to one of its descendants");
            return;
        }
    }
    link(target);
    recompute();
}

void Mixer::destroy()
{
    if (this == s_master) {
        Log::error("Can't destroy the master mixer!");
        return;
    }
    // Only the program's thread reads mixers, so nothing has to wait for the render side.
    delete this;
}

void Mixer::attach(MixerMember* member)
{
    if (!member || member->m_memberMixer == this) return;
    if (member->m_memberMixer) member->m_memberMixer->detach(member);
    member->m_memberMixer = this;
    member->m_prevMember = m_lastMember;
    member->m_nextMember = nullptr;
    if (m_lastMember)
        m_lastMember->m_nextMember = member;
    else
        m_firstMember = member;
    m_lastMember = member;
    ++m_memberCount;
}

void Mixer::detach(MixerMember* member)
{
    if (!member || member->m_memberMixer != this) return;
    if (member->m_prevMember)
        member->m_prevMember->m_nextMember = member->m_nextMember;
    else
        m_firstMember = member->m_nextMember;
    if (member->m_nextMember)
        member->m_nextMember->m_prevMember = member->m_prevMember;
    else
        m_lastMember = member->m_prevMember;
    member->m_memberMixer = nullptr;
    member->m_prevMember = nullptr;
    member->m_nextMember = nullptr;
    --m_memberCount;
}

void Mixer::link(Mixer* parent)
{
    unlink();
    if (!parent) return;
    m_parent = parent;
    m_nextSibling = parent->m_firstChild;
    if (m_nextSibling) m_nextSibling->m_prevSibling = this;
    parent->m_firstChild = this;
}

void Mixer::unlink()
{
    if (!m_parent) return;
    if (m_prevSibling)
        m_prevSibling->m_nextSibling = m_nextSibling;
    else
        m_parent->m_firstChild = m_nextSibling;
    if (m_nextSibling) m_nextSibling->m_prevSibling = m_prevSibling;
    m_parent = nullptr;
    m_prevSibling = nullptr;
    m_nextSibling = nullptr;
}

void Mixer::recompute()
{
    const float mixedVolume = m_parent ? m_volume * m_parent->m_mixedVolume : m_volume;
    const bool mixedPaused = m_paused || (m_parent && m_parent->m_mixedPaused);
    bool changed = false;
    if (mixedVolume != m_mixedVolume) {
        m_mixedVolume = mixedVolume;
        changed = true;
        for (MixerMember* member = m_firstMember; member;) {
            MixerMember* next = member->m_nextMember;
            member->mixerVolumeChanged();
            member = next;
        }
    }
    if (mixedPaused != m_mixedPaused) {
        m_mixedPaused = mixedPaused;
        changed = true;
        for (MixerMember* member = m_firstMember; member;) {
            MixerMember* next = member->m_nextMember;
            member->mixerPauseChanged();
            member = next;
        }
    }
    if (!changed) return;
    for (Mixer* child = m_firstChild; child; child = child->m_nextSibling) child->recompute();
}

} // namespace Daz

CkMixer* CkMixer::masterMixer()
{
    return Daz::Mixer::getMaster();
}

CkMixer* CkMixer::createNamed(const char* name, CkMixer* parent)
{
    return Daz::Mixer::create(name, static_cast<Daz::Mixer*>(parent));
}
