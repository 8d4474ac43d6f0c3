#include "app/SequenceMakers.h"

#include "app/SoundControl.h"
#include "app/StandInScreens.h"

#include <map>
#include <utility>

namespace Marevane {

namespace {

std::map<int, SequenceMaker>& Makers()
{
    static std::map<int, SequenceMaker> makers;
    return makers;
}

CSoundControl*& ScreenSound()
{
    static CSoundControl* sound = nullptr;
    return sound;
}

} // namespace

void SetSequenceMaker(int type, SequenceMaker maker)
{
    if (maker)
        Makers()[type] = std::move(maker);
    else
        Makers().erase(type);
}

void ClearSequenceMakers()
{
    Makers().clear();
}

bool HasSequenceMaker(int type)
{
    return Makers().count(type) != 0;
}

CGameSequence* CreateSequence(int type, const SequenceArgs& args)
{
    const auto found = Makers().find(type);
    if (found != Makers().end()) return found->second(args);
    return new StandIn::CStandInSequence(type, ModuleFlag::SceneSetUp);
}

CSoundControl* GetScreenSound()
{
    static CSoundControl silent;
    return ScreenSound() != nullptr ? ScreenSound() : &silent;
}

void SetScreenSound(CSoundControl* pSound)
{
    ScreenSound() = pSound;
}

} // namespace Marevane
