#pragma once

#include <QColor>

// Colours of the pictures: the interface colours of the game plus the four side colours, so that
// pictures and widgets read as one design.
namespace art::palette {

inline const QColor kText(235, 235, 235);
inline const QColor kDarkText(25, 25, 25);
inline const QColor kDisabledText(180, 180, 180);
inline const QColor kPanel(35, 70, 150);
inline const QColor kDeepPanel(5, 40, 120);
inline const QColor kMainBackground(5, 5, 5);
inline const QColor kGridLine(145, 145, 145);
inline const QColor kFrameLine(20, 25, 100);
inline const QColor kPopupLine(45, 45, 95);
inline const QColor kHover(75, 120, 200);
inline const QColor kFlat(55, 95, 185);
inline const QColor kScrollBar(20, 60, 140);
inline const QColor kScrollHandle(40, 75, 155);
inline const QColor kBlueValue(0, 102, 255);
inline const QColor kGreenValue(0, 204, 51);
inline const QColor kRedValue(255, 153, 153);

// Sea tones of the chart.
inline const QColor kSea(24, 64, 146);
inline const QColor kSeaLight(52, 102, 182);
inline const QColor kSeaDeep(12, 44, 118);
inline const QColor kFoam(236, 242, 250);

// Neutral steel of pictures shared by all sides.
inline const QColor kSteel(128, 136, 150);

// One colour per side, side number 1..4.
QColor side(int sideNumber);

} // namespace art::palette
