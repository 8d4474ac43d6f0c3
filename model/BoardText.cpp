#include "model/BoardText.h"

namespace Marevane {

std::wstring PadField(const std::wstring& text)
{
    switch (text.size()) {
    case 1:
        return L" " + text + L" ";
    case 2:
        return L" " + text;
    default:
        return text;
    }
}

std::wstring FormatNumberField(unsigned n)
{
    return PadField(std::to_wstring(n));
}

} // namespace Marevane
