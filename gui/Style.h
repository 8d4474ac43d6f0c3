// The look every screen shares: the application name, the widget style
// sheets, the colours and the pens.
#pragma once

#include <QColor>
#include <QPen>
#include <QString>

namespace Marevane {

inline constexpr char ApplicationName[] = "Marevane";

// Style sheets, each one line of rules "selector {\tdeclaration;...}". Built
// on each call, so no text outlives the program's objects.
QString ButtonStyleSheet();    // CPushButton
QString LineEditStyleSheet();  // CLineEdit
QString SpinBoxStyleSheet();   // the spin boxes of the settings screens
QString SliderStyleSheet();    // CSlider
QString ScrollBarStyleSheet(); // message and side views
QString FrameStyleSheet();     // help, message and side views
QString FontFamilyList();      // the menus' families, quoted, ending in ";"
QString MenuStyleSheet();      // the command menu

// Colours (red, green, blue, alpha); constant-initialised, so usable anywhere.
inline constexpr QColor TextColor{235, 235, 235, 255};
inline constexpr QColor DarkTextColor{25, 25, 25, 255};
inline constexpr QColor DisabledTextColor{180, 180, 180, 255};
inline constexpr QColor PanelColor{35, 70, 150, 255};
inline constexpr QColor DeepPanelColor{5, 40, 120, 255};
inline constexpr QColor MainBackgroundColor{5, 5, 5, 255};
inline constexpr QColor GridLineColor{145, 145, 145, 255};
inline constexpr QColor FrameLineColor{20, 25, 100, 255};
inline constexpr QColor PopupColor{5, 40, 120, 165};
inline constexpr QColor PopupLineColor{45, 45, 95, 255};
inline constexpr QColor HighlightColor{235, 235, 235, 45};
inline constexpr QColor SelectableColor{40, 165, 55, 105};
inline constexpr QColor TargetColor{30, 30, 145, 105};
inline constexpr QColor TransparentColor{0, 0, 0, 0};
inline constexpr QColor BarLineColor{35, 35, 35, 255};
inline constexpr QColor BarGreyColor{180, 180, 180, 255};
inline constexpr QColor BlueValueColor{0, 102, 255, 255};
inline constexpr QColor GreenValueColor{0, 204, 51, 255};
inline constexpr QColor RedValueColor{255, 153, 153, 255};

// Solid lines of width 1 with square caps and bevel joins.
QPen GridPen();  // help and message views
QPen FramePen(); // timer bar, turn information bar
QPen PopupPen(); // popups and selection lists
QPen BarPen();   // parameter bars

} // namespace Marevane
