#include "ToolOptions.h"

namespace Marevane {

std::uint64_t ParseToolNumber(const std::string& text, const char* what)
{
    // stoull would take "-1" as the largest number.
    if (!text.empty() && text[0] != '-' && text[0] != '+') {
        try {
            std::size_t used = 0;
            const unsigned long long value = std::stoull(text, &used, 0);
            if (used == text.size()) return value;
        } catch (const std::exception&) {
        }
    }
    throw ToolUsageError(std::string("invalid ") + what + ": " + text);
}

MapPos ParseMapSize(const std::string& text)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) throw ToolUsageError("--size takes RxC");
    const std::uint64_t rows = ParseToolNumber(text.substr(0, x), "row count");
    const std::uint64_t columns = ParseToolNumber(text.substr(x + 1), "column count");
    if (rows < 3 || rows > 9 || columns < 3 || columns > 9)
        throw ToolUsageError("--size takes 3 to 9 rows and columns");
    return MapPos(static_cast<std::uint32_t>(rows), static_cast<std::uint32_t>(columns));
}

} // namespace Marevane
