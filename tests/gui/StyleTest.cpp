#include "gui/Style.h"

#include <gtest/gtest.h>

#include <string>

using namespace Marevane;

namespace {

struct SheetCase {
    const char* name;
    QString (*sheet)();
    const char* expected;
};

// Written out in full: one line, rules back to back, each declaration
// after a tab and before a semicolon.
const SheetCase Sheets[] = {
    {"Button", ButtonStyleSheet,
     "QPushButton {\tcolor: rgb(235, 235, 235);\tbackground-color: transparent;\tborder-style: none;"
     "\tborder-radius: 4px;\tpadding: 4px;}"
     "QPushButton:flat {\tbackground-color: rgb(55, 95, 185);}"
     "QPushButton:hover {\tcolor: rgb(235, 235, 235);\tbackground-color: rgb(75, 120, 200);}"
     "QPushButton:hover:pressed {\tbackground-color: rgb(65, 110, 190);\tborder: 1px solid rgb(15, 50, 130);}"
     "QPushButton:disabled {\tcolor: rgb(180, 180, 180);}"
     "QPushButton:flat:disabled {\tbackground-color: rgb(15, 50, 130);}"
     "QPushButton:focus {\tborder: 1px solid rgb(210, 225, 255);\tpadding: 3px;}"},
    {"LineEdit", LineEditStyleSheet,
     "QLineEdit {\tborder: 1px solid gray;\tpadding: 1px;\tbackground-color: rgb(255, 255, 255);}"
     "QLineEdit:hover {\tborder: 1px solid rgb(10, 10, 80);}"
     "QLineEdit:focus {\tborder: 1px solid rgb(100, 100, 220);}"
     "QLineEdit:disabled {\tbackground-color: rgb(180, 180, 180);}"
     "QLineEdit:read-only {\tcolor: rgb(180, 180, 180);}"},
    {"SpinBox", SpinBoxStyleSheet,
     "QSpinBox {\tpadding-right: 13px;\tborder-width: 3;}"
     "QSpinBox::up-button {\tsubcontrol-origin: border;\tsubcontrol-position: top right;\ttop: 1px;\tright: "
     "1px;"
     "\twidth: 14px;\tborder: 1px solid #a0a0a0;\tbackground-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: "
     "1, "
     "stop: 0 #ececec, stop: 1 #d0d0d0);}"
     "QSpinBox::up-arrow {\timage: url(:/Resources/up-arrow.png);\twidth: 7px;\theight: 3px;}"
     "QSpinBox::down-button {\tsubcontrol-origin: border;\tsubcontrol-position: bottom right;\tbottom: 1px;"
     "\tright: 1px;\twidth: 14px;\tborder: 1px solid #a0a0a0;\tbackground-color: qlineargradient(x1: 0, y1: "
     "0, "
     "x2: 0, y2: 1, stop: 0 #ececec, stop: 1 #d0d0d0);}"
     "QSpinBox::down-arrow {\timage: url(:/Resources/down-arrow.png);\twidth: 7px;\theight: 3px;}"
     "QSpinBox::up-button:hover, QSpinBox::down-button:hover {\tborder: 1px solid #a0a0c0;"
     "\tbackground-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #dcdcfc, stop: 1 #c0c0e0);}"
     "QSpinBox::up-button:pressed, QSpinBox::down-button:pressed {\tborder: 1px solid #a0a0c0;"
     "\tbackground-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ccccfc, stop: 1 #b0b0e0);}"
     "QSpinBox::up-button:disabled, QSpinBox::down-button:disabled {\tborder: 1px solid #e0e0e0;"
     "\tbackground-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #d0d0d0, stop: 1 #d4d4d4);}"
     "QSpinBox::up-arrow:disabled,QSpinBox::up-arrow:off {\timage: url(:/Resources/up-arrow-disabled.png);}"
     "QSpinBox::down-arrow:disabled,QSpinBox::down-arrow:off {\timage: "
     "url(:/Resources/down-arrow-disabled.png);}"
     "QComboBox:focus {\tbackground-color: rgb(175, 200, 255);}"},
    {"Slider", SliderStyleSheet,
     "QSlider::groove:horizontal {\tborder: 1px solid #a0a0a0;\theight: 4px;\tbackground: "
     "qlineargradient(x1:0, "
     "y1:0, x2:0, y2:1, stop:0 #ececec, stop:1 #d0d0d0);\tmargin: 8px 0;\tborder-radius: 2px;}"
     "QSlider::handle:horizontal {\tbackground: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #dcdcdc, "
     "stop:1 "
     "#c0c0c0);\tborder: 1px solid #a0a0a0;\twidth: 8px;\theight: 12px;\tmargin: -8px 0px;\tborder-radius: "
     "2px;}"
     "QSlider::handle:horizontal:hover {\tbackground: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 "
     "#ccccf0, "
     "stop:1 #b0b0c4);}"
     "QSlider::handle:horizontal:disabled {\tborder: 1px solid #f0f0f0;\tbackground: #dadada;}"
     "QSlider::add-page:horizontal {\theight: 4px;\tmargin: 8px 0;\tbackground: qlineargradient(x1:0, y1:0, "
     "x2:0, "
     "y2:1, stop:0 #ececec, stop:1 #d0d0d0);}"
     "QSlider::sub-page:horizontal {\theight: 4px;\tmargin: 8px 0;\tbackground: qlineargradient(x1:0, y1:0, "
     "x2:0, "
     "y2:1, stop:0 #77aadd, stop:1 #2255dd);}"
     "QSlider::add-page:horizontal:disabled {\tborder: 1px solid #f0f0f0;\tbackground: #d0d0d0;}"
     "QSlider::sub-page:horizontal:disabled {\tborder: 1px solid #f0f0f0;\tbackground: #d0d0d0;}"},
    {"ScrollBar", ScrollBarStyleSheet,
     "QScrollBar:vertical {\tbackground: rgb(20, 60, 140);\tmargin: 15px 0px;\tborder: 1px solid rgb(20, 25, "
     "100);"
     "\tborder-style: none none solid solid;}"
     "QScrollBar:horizontal {\tbackground: rgb(20, 60, 140);\tmargin: 0px 15px;\tborder: 1px solid rgb(20, "
     "25, "
     "100);\tborder-style: solid solid none none;}"
     "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical, QScrollBar::add-page:horizontal, "
     "QScrollBar::sub-page:horizontal {\tbackground: none;}"
     "QScrollBar::handle:vertical {\tbackground: rgb(40, 75, 155);\tborder: 1px solid rgb(20, 25, 100);"
     "\tborder-style: solid none;\tmin-width: 10px;}"
     "QScrollBar::handle:horizontal {\tbackground: rgb(40, 75, 155);\tborder: 1px solid rgb(20, 25, 100);"
     "\tborder-style: none solid;\tmin-height: 10px;}"
     "QScrollBar::add-line:vertical {\tbackground: rgb(40, 75, 155);\tborder: 1px solid rgb(20, 25, 100);"
     "\tborder-style: solid none solid solid;\theight: 15px;\tsubcontrol-position: bottom;"
     "\tsubcontrol-origin: margin;}"
     "QScrollBar::sub-line:vertical {\tbackground: rgb(40, 75, 155);\tborder: 1px solid rgb(20, 25, 100);"
     "\tborder-style: none none solid solid;\theight: 15px;\tsubcontrol-position: top;\tsubcontrol-origin: "
     "margin;}"
     "QScrollBar::add-line:horizontal {\tbackground: rgb(40, 75, 155);\tborder: 1px solid rgb(20, 25, 100);"
     "\tborder-style: solid none none solid;\twidth: 15px;\tsubcontrol-position: right;\tsubcontrol-origin: "
     "margin;}"
     "QScrollBar::sub-line:horizontal {\tbackground: rgb(40, 75, 155);\tborder: 1px solid rgb(20, 25, 100);"
     "\tborder-style: solid solid none none;\twidth: 15px;\tsubcontrol-position: left;\tsubcontrol-origin: "
     "margin;}"
     "QScrollBar::handle:hover, QScrollBar::add-line:hover, QScrollBar::sub-line:hover {"
     "\tbackground: rgb(30, 65, 145);}"
     "QScrollBar::up-arrow:vertical {\timage: url(:/Resources/scroll-up-arrow.png);\twidth: 7px;\theight: "
     "7px;}"
     "QScrollBar::down-arrow:vertical {\timage: url(:/Resources/scroll-down-arrow.png);\twidth: "
     "7px;\theight: 7px;}"
     "QScrollBar::left-arrow:horizontal {\timage: url(:/Resources/scroll-left-arrow.png);\twidth: 7px;"
     "\theight: 7px;}"
     "QScrollBar::right-arrow:horizontal {\timage: url(:/Resources/scroll-right-arrow.png);\twidth: 7px;"
     "\theight: 7px;}"},
    {"Frame", FrameStyleSheet, "QFrame {\tborder: 1px solid rgb(20, 25, 100);}"},
    {"FontFamilyList", FontFamilyList, "\"M PLUS 1\", \"Noto Sans CJK JP\", \"M PLUS 2\", sans-serif;"},
    {"Menu", MenuStyleSheet,
     "QMenu {\tbackground: rgba(35, 70, 150, 165);\tborder: 1px solid rgb(35, 35, 85);\tcolor: rgb(235, 235, "
     "235);"
     "\tfont-family: \"M PLUS 1\", \"Noto Sans CJK JP\", \"M PLUS 2\", sans-serif;\tfont-size: 12px;}"
     "QMenu::item {\tbackground: transparent;}"
     "QMenu::item:selected {\tbackground: rgba(235, 235, 235, 45);}"
     "QMenu:disabled {\tcolor: rgb(180, 180, 180);}"},
};

TEST(StyleSheetTest, EverySheetReadsAsWritten)
{
    for (const SheetCase& sheet : Sheets) {
        EXPECT_EQ(sheet.sheet().toStdString(), std::string(sheet.expected)) << sheet.name;
        EXPECT_FALSE(sheet.sheet().contains(QLatin1Char('\n'))) << sheet.name;
    }
}

struct ColourCase {
    const char* name;
    QColor colour;
    int red, green, blue, alpha;
};

TEST(SharedColourTest, NineteenColoursHaveTheirValues)
{
    const ColourCase colours[] = {
        {"Text", TextColor, 235, 235, 235, 255},
        {"DarkText", DarkTextColor, 25, 25, 25, 255},
        {"DisabledText", DisabledTextColor, 180, 180, 180, 255},
        {"Panel", PanelColor, 35, 70, 150, 255},
        {"DeepPanel", DeepPanelColor, 5, 40, 120, 255},
        {"MainBackground", MainBackgroundColor, 5, 5, 5, 255},
        {"GridLine", GridLineColor, 145, 145, 145, 255},
        {"FrameLine", FrameLineColor, 20, 25, 100, 255},
        {"Popup", PopupColor, 5, 40, 120, 165},
        {"PopupLine", PopupLineColor, 45, 45, 95, 255},
        {"Highlight", HighlightColor, 235, 235, 235, 45},
        {"Selectable", SelectableColor, 40, 165, 55, 105},
        {"Target", TargetColor, 30, 30, 145, 105},
        {"Transparent", TransparentColor, 0, 0, 0, 0},
        {"BarLine", BarLineColor, 35, 35, 35, 255},
        {"BarGrey", BarGreyColor, 180, 180, 180, 255},
        {"BlueValue", BlueValueColor, 0, 102, 255, 255},
        {"GreenValue", GreenValueColor, 0, 204, 51, 255},
        {"RedValue", RedValueColor, 255, 153, 153, 255},
    };
    EXPECT_EQ(std::size(colours), 19u);
    for (const ColourCase& c : colours) {
        EXPECT_TRUE(c.colour.isValid()) << c.name;
        EXPECT_EQ(c.colour.red(), c.red) << c.name;
        EXPECT_EQ(c.colour.green(), c.green) << c.name;
        EXPECT_EQ(c.colour.blue(), c.blue) << c.name;
        EXPECT_EQ(c.colour.alpha(), c.alpha) << c.name;
    }
    EXPECT_EQ(TransparentColor, QColor(Qt::transparent));
}

TEST(SharedPenTest, FourPensAreThinSolidSquareBevelledLines)
{
    const struct {
        const char* name;
        QPen pen;
        QColor colour;
    } pens[] = {
        {"Grid", GridPen(), GridLineColor},
        {"Frame", FramePen(), FrameLineColor},
        {"Popup", PopupPen(), PopupLineColor},
        {"Bar", BarPen(), BarLineColor},
    };
    for (const auto& p : pens) {
        EXPECT_EQ(p.pen.color(), p.colour) << p.name;
        EXPECT_EQ(p.pen.brush().style(), Qt::SolidPattern) << p.name;
        EXPECT_DOUBLE_EQ(p.pen.widthF(), 1.0) << p.name;
        EXPECT_EQ(p.pen.style(), Qt::SolidLine) << p.name;
        EXPECT_EQ(p.pen.capStyle(), Qt::SquareCap) << p.name;
        EXPECT_EQ(p.pen.joinStyle(), Qt::BevelJoin) << p.name;
    }
}

} // namespace
