// The model's fixed code tables: the letters a console player types, the
// glyphs of the text board and the English ship names. Each is built once on
// first use and read-only afterwards, so any thread may read it.
#pragma once

#include "model/MappingObject.h"
#include "model/Records.h"
#include "model/Types.h"

#include <string>

namespace Marevane {

// Typed letters to commands; refuel and pass have none.
class CCommandMap : public CMappingObject<std::wstring, CommandCode> {
  public:
    static const CCommandMap& GetInstance();

  private:
    CCommandMap();
};

// Commands to their glyph on the text board.
class CWeaponCodes : public CMappingObject<CommandCode, std::wstring> {
  public:
    static const CWeaponCodes& GetInstance();

  private:
    CWeaponCodes();
};

// Typed letters to the eight directions, in the order n, e, w, s, ne, nw, se, sw.
class CDirectionMap : public CMappingObject<std::wstring, Direction> {
  public:
    static const CDirectionMap& GetInstance();

  protected:
    CDirectionMap();
};

// Straight moves only: n, e, w, s.
class CMoveDirectionMap : public CDirectionMap {
  public:
    static const CMoveDirectionMap& GetInstance();

  private:
    CMoveDirectionMap();
};

// The eight directions, then "c" for the ship's own panel.
class CMineDirectionMap : public CDirectionMap {
  public:
    static const CMineDirectionMap& GetInstance();

  private:
    CMineDirectionMap();
};

// Special panel types to their glyph; everything else shows as nothing.
class CPanelCodes : public CMappingObject<PanelType, std::wstring> {
  public:
    static const CPanelCodes& GetInstance();

  private:
    CPanelCodes();
};

// Typed letters to ship types.
class CShipTypeMap : public CMappingObject<std::wstring, ShipType> {
  public:
    static const CShipTypeMap& GetInstance();

  private:
    CShipTypeMap();
};

class CShipNames : public CMappingObject<ShipType, std::wstring> {
  public:
    static const CShipNames& GetInstance();

  private:
    CShipNames();
};

// Ship types to their letter on the text board.
class CShipCodes : public CMappingObject<ShipType, std::wstring> {
  public:
    static const CShipCodes& GetInstance();

  private:
    CShipCodes();
};

// The fixed parameters of a ship type (the default row for an unknown one).
const ShipConfigSet& GetShipConfigSet(ShipType type);

// Whether a message code reports a failure.
bool IsErrorCode(MessageCode code);

} // namespace Marevane
