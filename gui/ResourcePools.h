// The pictures of the board, the ships, the weapons and the bitmap
// lettering. Each pool decodes its files once from the compiled-in bundle
// and hands out implicitly shared copies. A pool is built on first use and
// lives as long as the application object (pictures need it). GUI thread.
#pragma once

#include "model/MappingObject.h"
#include "model/Types.h"

#include <QPixmap>
#include <QSize>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace Marevane {

// Which variant of a sprite.
enum ImagePattern : std::uint32_t {
    ImageLeft = 0, // the plain picture
    ImageRight = 1,
    ImageUp = 2,
    ImageDown = 3,
    ImageSurfacingLeft = 4,
    ImageSurfacingRight = 5,
    ImageSurfacingUp = 6,
    ImageSurfacingDown = 7,
    ImageSinkingLeft = 8,
    ImageSinkingRight = 9,
    ImageSinkingUp = 10,
    ImageSinkingDown = 11,
};

using PatternPixmaps = std::unordered_map<ImagePattern, QPixmap>;

// The board picture per panel type (the sea for a type without one), the
// small 16 x 16 pictures of the special panels and the compass.
class CPanelResourcePool : public CMappingObject<PanelType, QPixmap> {
  public:
    static const CPanelResourcePool& GetInstance();

    // A null picture for a type without a small one.
    QPixmap GetSmallPixmap(PanelType type) const;
    const QPixmap& GetCompassPixmap() const { return m_compass; }
    // One board cell: the size of the sea picture.
    QSize GetPanelSize() const;

    CPanelResourcePool();

  private:
    std::unordered_map<PanelType, QPixmap> m_small;
    QPixmap m_compass;
};

// The ship pictures of one side, per ship type and pattern, and the side's flag.
class CShipResourcePool : public CMappingObject<ShipType, PatternPixmaps> {
  public:
    // The pool of side index (side AND 3); the four are built together.
    static const CShipResourcePool& GetInstance(std::uint32_t side);

    // Throws std::out_of_range when the type has no such pattern.
    QPixmap GetPixmap(ShipType type, ImagePattern pattern) const;
    // The same without throwing: a null picture when missing. For paint
    // and slot paths, where an exception must not escape.
    QPixmap FindPixmap(ShipType type, ImagePattern pattern) const;
    const QPixmap& GetFlagPixmap() const { return m_flag; }
    QSize GetIconSize() const { return m_flag.size(); }

    explicit CShipResourcePool(int sideIndex);

  private:
    QPixmap m_flag;
};

// The torpedo in four directions and the mine, per command code and pattern.
class CWeaponResourcePool : public CMappingObject<CommandCode, PatternPixmaps> {
  public:
    static const CWeaponResourcePool& GetInstance();

    // Throws std::out_of_range when the weapon has no such pattern.
    QPixmap GetPixmap(CommandCode weapon, ImagePattern pattern) const;
    // The same without throwing: a null picture when missing.
    QPixmap FindPixmap(CommandCode weapon, ImagePattern pattern) const;

    CWeaponResourcePool();
};

// One picture per character of the bitmap lettering: digits, capitals and
// "+-!?"; any other one-character string gives a null picture.
class CBitmapCharacterResourcePool : public CMappingObject<std::wstring, QPixmap> {
  public:
    static const CBitmapCharacterResourcePool& GetInstance();

    CBitmapCharacterResourcePool();
};

} // namespace Marevane
