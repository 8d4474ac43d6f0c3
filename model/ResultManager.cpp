#include "model/ResultManager.h"

namespace Marevane {

CResultManager& CResultManager::GetInstance()
{
    static CResultManager instance;
    return instance;
}

} // namespace Marevane
