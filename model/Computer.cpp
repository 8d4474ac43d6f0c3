#include "model/Computer.h"

namespace Marevane {

CComputer::~CComputer() = default;

} // namespace Marevane
