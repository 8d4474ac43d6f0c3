// Command-line pieces the battle driver and the console game share.
#pragma once

#include "model/Records.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

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

// 2 to 4 sides.
std::uint32_t ParseSideCount(const std::string& text);

// A seed of the shared random engine: 32 bits, never cut down to them.
std::uint32_t ParseSeed(const std::string& text);

// Why no battle log can be written into the folder (the working directory
// when empty), as the system words it; empty when one can. Checked before a
// battle, so that a bad folder does not cost a whole battle's log.
std::string LogFolderProblem(const QString& folder);

// The folder as a full path, for messages.
std::string ShownFolder(const QString& folder);

// Fetches the value after the option at hand.
using ToolOptionValue = std::function<std::string()>;
using ToolOptionTaker = std::function<bool(const std::string& option, const ToolOptionValue& value)>;

// Hands each option of the command line (without the program name) to
// `take`, which answers whether it knows it. A missing or empty value, or
// an option nobody takes, is a ToolUsageError; --help and -h ask for the
// usage text alone.
void ReadToolOptions(const std::vector<std::string>& args, const ToolOptionTaker& take);

} // namespace Marevane
