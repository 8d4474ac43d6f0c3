#include "model/Player.h"

namespace Marevane {

CPlayer::~CPlayer() = default;

} // namespace Marevane
