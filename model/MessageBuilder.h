// Network records built from the battle model's own objects.
#pragma once

#include "model/Messages.h"

#include <vector>

namespace Marevane {

class CGameEdit;
class CUnit;

// A code-only message whose sender is the unit (a client's command).
Message MakeMessage(MessageCode code, const CUnit& unit);

// The sides and their fleets as they stand, with the unit as sender and its
// current command; the turn order, map and texts are the caller's to add.
ProgressMessage MakeProgressMessage(MessageCode code, const CUnit& unit, const std::vector<CUnit*>& units);

// An entry carrying a copy of the rules; code 0 stands for 14, the entry
// request.
EntryMessage MakeEntryMessage(MessageCode code, const CGameEdit& rules, bool flag);
EntryMessage MakeEntryMessage(const CGameEdit& rules, bool flag);

} // namespace Marevane
