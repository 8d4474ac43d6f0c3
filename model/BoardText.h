// Helpers of the text board. A console with a full-width font shows the
// board; numbers in its boxes take three narrow columns.
#pragma once

#include <cstddef>
#include <string>

namespace Marevane {

// Columns the text takes in a console with a full-width font: two for
// full-width, CJK and the box-drawing and symbol characters of the board,
// none for control characters, one for the rest.
std::size_t ConsoleWidth(const std::wstring& text);

// One character becomes " c ", two become " cc"; other lengths are kept.
std::wstring PadField(const std::wstring& text);

// The decimal text of n, padded by PadField.
std::wstring FormatNumberField(unsigned n);

} // namespace Marevane
