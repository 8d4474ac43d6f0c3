// Exceptions of the battle model. Each carries the class name without its
// leading C as its default text, or a caller's own text.
#pragma once

#include <stdexcept>
#include <string>

namespace Marevane {

#define MAREVANE_RANGE_ERROR(Class, DefaultText)                                   \
    class Class : public std::range_error {                                        \
    public:                                                                        \
        Class() : std::range_error(DefaultText) {}                                 \
        explicit Class(const std::string& text) : std::range_error(text) {}        \
    }

MAREVANE_RANGE_ERROR(CPanelRangeError, "PanelRangeError");
MAREVANE_RANGE_ERROR(CPanelOnOtherShipError, "PanelOnOtherShipError");
MAREVANE_RANGE_ERROR(CShipDataError, "CShipDataError");
MAREVANE_RANGE_ERROR(CShipTypeRangeError, "ShipTypeRangeError");
MAREVANE_RANGE_ERROR(CNonCombatantShipError, "NonCombatantShipError");
MAREVANE_RANGE_ERROR(CNameLengthError, "NameLengthError");
MAREVANE_RANGE_ERROR(CPassLengthError, "PassLengthError");
MAREVANE_RANGE_ERROR(CDuplicateNameError, "DuplicateNameError");
MAREVANE_RANGE_ERROR(CUnitDataError, "UnitDataError");

#undef MAREVANE_RANGE_ERROR

// The text the standard library's hash map gives for a missing key on the
// platform the game was first written for; callers and peers rely on it.
inline const char* const MissingKeyText = "invalid unordered_map<K, T> key";

} // namespace Marevane
