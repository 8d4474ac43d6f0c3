// Command-line pieces the battle driver and the console game share.
#pragma once

#include "model/Records.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace Marevane {

// A bad command line; an empty reason asks for the usage text alone.
struct ToolUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A whole decimal or 0x-hex number without a sign; `what` names it in the
// error.
std::uint64_t ParseToolNumber(const std::string& text, const char* what);

// "RxC" with 3 to 9 rows and columns: a typed position names a panel with
// one digit each.
MapPos ParseMapSize(const std::string& text);

} // namespace Marevane
