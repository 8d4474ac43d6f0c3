// Display names of the enumerations the user sees. Each table is built once,
// on first use, in the language installed at that moment.
#pragma once

#include "model/MappingObject.h"
#include "model/Types.h"

#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace Marevane {

// The one instance the game uses of each table, built on first use.
template <typename Table, typename K, typename V = QString>
class CGUINameTable : public CMappingObject<K, V> {
  public:
    static const Table& GetInstance()
    {
        static const Table table;
        return table;
    }
};

class CGUICommandNames : public CGUINameTable<CGUICommandNames, CommandCode> {
  public:
    CGUICommandNames();
};

class CGUIDirectionNames : public CGUINameTable<CGUIDirectionNames, Direction> {
  public:
    CGUIDirectionNames();
};

class CGUIShipNames : public CGUINameTable<CGUIShipNames, ShipType> {
  public:
    CGUIShipNames();
};

class CGUIShipStatusNames : public CGUINameTable<CGUIShipStatusNames, ShipStatus> {
  public:
    CGUIShipStatusNames();

    // A ship's status line from its first and second status words: the
    // special one (2 and above), or both, the second first.
    QString GetStatusText(std::uint32_t first, std::uint32_t second) const;
};

class CGUIPanelNames : public CGUINameTable<CGUIPanelNames, PanelType> {
  public:
    CGUIPanelNames();
};

class CGUIMissionNames : public CGUINameTable<CGUIMissionNames, MissionType> {
  public:
    CGUIMissionNames();

    // The extra rows first, then the main table.
    const QString& GetName(MissionType mission) const;

  private:
    std::unordered_map<MissionType, QString> m_extra;
};

// How a side is commanded, by UnitType.
class CGUICommandModeNames : public CGUINameTable<CGUICommandModeNames, UnitType> {
  public:
    CGUICommandModeNames();
};

class CGUIHostTypeNames : public CGUINameTable<CGUIHostTypeNames, HostType> {
  public:
    CGUIHostTypeNames();
};

// Names of the language setting; not translated.
class CLanguageNames : public CGUINameTable<CLanguageNames, Language, std::wstring> {
  public:
    CLanguageNames();
};

} // namespace Marevane
