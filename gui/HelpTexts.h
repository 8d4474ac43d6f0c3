// What the help pane says about the command, panel or ship under the
// pointer: a title line and a body, or the body alone. A code without a row
// has an empty help text. Each table is built once, on first use, in the
// language installed at that moment.
#pragma once

#include "model/texts/NameTables.h"

namespace Marevane {

class CCommandHelp : public CGUINameTable<CCommandHelp, CommandCode> {
  public:
    CCommandHelp();
};

class CPanelHelp : public CGUINameTable<CPanelHelp, PanelType> {
  public:
    CPanelHelp();
};

class CShipHelp : public CGUINameTable<CShipHelp, ShipType> {
  public:
    CShipHelp();
};

} // namespace Marevane
