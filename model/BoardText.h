// Helpers of the text board. A console with a full-width font shows the
// board; numbers in its boxes take three narrow columns.
#pragma once

#include <string>

namespace Marevane {

// One character becomes " c ", two become " cc"; other lengths are kept.
std::wstring PadField(const std::wstring& text);

// The decimal text of n, padded by PadField.
std::wstring FormatNumberField(unsigned n);

} // namespace Marevane
