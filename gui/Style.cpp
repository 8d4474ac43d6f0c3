#include "gui/Style.h"

#include <QStringList>

#include <initializer_list>

namespace Marevane {

namespace {

// One rule: the selector, a blank, then every declaration after a tab and
// before a semicolon, all inside braces.
QString Rule(const char* selector, std::initializer_list<QString> declarations)
{
    QString rule = QString::fromLatin1(selector) + QStringLiteral(" {");
    for (const QString& declaration : declarations)
        rule += QLatin1Char('\t') + declaration + QLatin1Char(';');
    return rule + QLatin1Char('}');
}

QString Rules(std::initializer_list<QString> rules)
{
    QString sheet;
    for (const QString& rule : rules) sheet += rule;
    return sheet;
}

// The spin box buttons' vertical gradient.
QString SpinGradient(const char* top, const char* bottom)
{
    return QStringLiteral("qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 %1, stop: 1 %2)")
        .arg(top, bottom);
}

// The slider's vertical and diagonal gradients.
QString SliderGradient(const char* top, const char* bottom)
{
    return QStringLiteral("qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2)").arg(top, bottom);
}

QString SliderDiagonal(const char* top, const char* bottom)
{
    return QStringLiteral("qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 %1, stop:1 %2)").arg(top, bottom);
}

QString Decl(const char* text)
{
    return QString::fromLatin1(text);
}

QPen LinePen(const QColor& colour)
{
    return QPen(QBrush(colour), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

QString ButtonStyleSheet()
{
    return Rules({
        Rule("QPushButton", {Decl("color: rgb(235, 235, 235)"), Decl("background-color: transparent"),
                             Decl("border-style: none"), Decl("border-radius: 4px"), Decl("padding: 4px")}),
        Rule("QPushButton:flat", {Decl("background-color: rgb(55, 95, 185)")}),
        Rule("QPushButton:hover",
             {Decl("color: rgb(235, 235, 235)"), Decl("background-color: rgb(75, 120, 200)")}),
        Rule("QPushButton:hover:pressed",
             {Decl("background-color: rgb(65, 110, 190)"), Decl("border: 1px solid rgb(15, 50, 130)")}),
        Rule("QPushButton:disabled", {Decl("color: rgb(180, 180, 180)")}),
        Rule("QPushButton:flat:disabled", {Decl("background-color: rgb(15, 50, 130)")}),
        // Where Tab went, for a player at the keyboard: a light frame that
        // takes one pixel of the padding, so the label does not move.
        Rule("QPushButton:focus", {Decl("border: 1px solid rgb(210, 225, 255)"), Decl("padding: 3px")}),
    });
}

QString LineEditStyleSheet()
{
    return Rules({
        Rule("QLineEdit", {Decl("border: 1px solid gray"), Decl("padding: 1px"),
                           Decl("background-color: rgb(255, 255, 255)")}),
        Rule("QLineEdit:hover", {Decl("border: 1px solid rgb(10, 10, 80)")}),
        Rule("QLineEdit:focus", {Decl("border: 1px solid rgb(100, 100, 220)")}),
        Rule("QLineEdit:disabled", {Decl("background-color: rgb(180, 180, 180)")}),
        Rule("QLineEdit:read-only", {Decl("color: rgb(180, 180, 180)")}),
    });
}

QString SpinBoxStyleSheet()
{
    const QString button = QStringLiteral("background-color: ") + SpinGradient("#ececec", "#d0d0d0");
    return Rules({
        Rule("QSpinBox", {Decl("padding-right: 13px"), Decl("border-width: 3")}),
        Rule("QSpinBox::up-button",
             {Decl("subcontrol-origin: border"), Decl("subcontrol-position: top right"), Decl("top: 1px"),
              Decl("right: 1px"), Decl("width: 14px"), Decl("border: 1px solid #a0a0a0"), button}),
        Rule("QSpinBox::up-arrow",
             {Decl("image: url(:/Resources/up-arrow.png)"), Decl("width: 7px"), Decl("height: 3px")}),
        Rule("QSpinBox::down-button",
             {Decl("subcontrol-origin: border"), Decl("subcontrol-position: bottom right"),
              Decl("bottom: 1px"), Decl("right: 1px"), Decl("width: 14px"), Decl("border: 1px solid #a0a0a0"),
              button}),
        Rule("QSpinBox::down-arrow",
             {Decl("image: url(:/Resources/down-arrow.png)"), Decl("width: 7px"), Decl("height: 3px")}),
        Rule("QSpinBox::up-button:hover, QSpinBox::down-button:hover",
             {Decl("border: 1px solid #a0a0c0"),
              QStringLiteral("background-color: ") + SpinGradient("#dcdcfc", "#c0c0e0")}),
        Rule("QSpinBox::up-button:pressed, QSpinBox::down-button:pressed",
             {Decl("border: 1px solid #a0a0c0"),
              QStringLiteral("background-color: ") + SpinGradient("#ccccfc", "#b0b0e0")}),
        Rule("QSpinBox::up-button:disabled, QSpinBox::down-button:disabled",
             {Decl("border: 1px solid #e0e0e0"),
              QStringLiteral("background-color: ") + SpinGradient("#d0d0d0", "#d4d4d4")}),
        Rule("QSpinBox::up-arrow:disabled,QSpinBox::up-arrow:off",
             {Decl("image: url(:/Resources/up-arrow-disabled.png)")}),
        Rule("QSpinBox::down-arrow:disabled,QSpinBox::down-arrow:off",
             {Decl("image: url(:/Resources/down-arrow-disabled.png)")}),
        // The combo boxes share this sheet; the style draws no focus on
        // them, so the focused one is tinted for a player at the keyboard.
        Rule("QComboBox:focus", {Decl("background-color: rgb(175, 200, 255)")}),
    });
}

QString SliderStyleSheet()
{
    const QString track = QStringLiteral("background: ") + SliderGradient("#ececec", "#d0d0d0");
    return Rules({
        Rule("QSlider::groove:horizontal", {Decl("border: 1px solid #a0a0a0"), Decl("height: 4px"), track,
                                            Decl("margin: 8px 0"), Decl("border-radius: 2px")}),
        Rule("QSlider::handle:horizontal",
             {QStringLiteral("background: ") + SliderDiagonal("#dcdcdc", "#c0c0c0"),
              Decl("border: 1px solid #a0a0a0"), Decl("width: 8px"), Decl("height: 12px"),
              Decl("margin: -8px 0px"), Decl("border-radius: 2px")}),
        Rule("QSlider::handle:horizontal:hover",
             {QStringLiteral("background: ") + SliderDiagonal("#ccccf0", "#b0b0c4")}),
        Rule("QSlider::handle:horizontal:disabled",
             {Decl("border: 1px solid #f0f0f0"), Decl("background: #dadada")}),
        Rule("QSlider::add-page:horizontal", {Decl("height: 4px"), Decl("margin: 8px 0"), track}),
        Rule("QSlider::sub-page:horizontal",
             {Decl("height: 4px"), Decl("margin: 8px 0"),
              QStringLiteral("background: ") + SliderGradient("#77aadd", "#2255dd")}),
        Rule("QSlider::add-page:horizontal:disabled",
             {Decl("border: 1px solid #f0f0f0"), Decl("background: #d0d0d0")}),
        Rule("QSlider::sub-page:horizontal:disabled",
             {Decl("border: 1px solid #f0f0f0"), Decl("background: #d0d0d0")}),
    });
}

QString ScrollBarStyleSheet()
{
    const QString line = Decl("border: 1px solid rgb(20, 25, 100)");
    const QString knob = Decl("background: rgb(40, 75, 155)");
    auto arrow = [](const char* file) { return QStringLiteral("image: url(:/Resources/%1)").arg(file); };
    return Rules({
        Rule("QScrollBar:vertical", {Decl("background: rgb(20, 60, 140)"), Decl("margin: 15px 0px"), line,
                                     Decl("border-style: none none solid solid")}),
        Rule("QScrollBar:horizontal", {Decl("background: rgb(20, 60, 140)"), Decl("margin: 0px 15px"), line,
                                       Decl("border-style: solid solid none none")}),
        Rule("QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical, "
             "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal",
             {Decl("background: none")}),
        Rule("QScrollBar::handle:vertical",
             {knob, line, Decl("border-style: solid none"), Decl("min-width: 10px")}),
        Rule("QScrollBar::handle:horizontal",
             {knob, line, Decl("border-style: none solid"), Decl("min-height: 10px")}),
        Rule("QScrollBar::add-line:vertical",
             {knob, line, Decl("border-style: solid none solid solid"), Decl("height: 15px"),
              Decl("subcontrol-position: bottom"), Decl("subcontrol-origin: margin")}),
        Rule("QScrollBar::sub-line:vertical",
             {knob, line, Decl("border-style: none none solid solid"), Decl("height: 15px"),
              Decl("subcontrol-position: top"), Decl("subcontrol-origin: margin")}),
        Rule("QScrollBar::add-line:horizontal",
             {knob, line, Decl("border-style: solid none none solid"), Decl("width: 15px"),
              Decl("subcontrol-position: right"), Decl("subcontrol-origin: margin")}),
        Rule("QScrollBar::sub-line:horizontal",
             {knob, line, Decl("border-style: solid solid none none"), Decl("width: 15px"),
              Decl("subcontrol-position: left"), Decl("subcontrol-origin: margin")}),
        Rule("QScrollBar::handle:hover, QScrollBar::add-line:hover, QScrollBar::sub-line:hover",
             {Decl("background: rgb(30, 65, 145)")}),
        Rule("QScrollBar::up-arrow:vertical",
             {arrow("scroll-up-arrow.png"), Decl("width: 7px"), Decl("height: 7px")}),
        Rule("QScrollBar::down-arrow:vertical",
             {arrow("scroll-down-arrow.png"), Decl("width: 7px"), Decl("height: 7px")}),
        Rule("QScrollBar::left-arrow:horizontal",
             {arrow("scroll-left-arrow.png"), Decl("width: 7px"), Decl("height: 7px")}),
        Rule("QScrollBar::right-arrow:horizontal",
             {arrow("scroll-right-arrow.png"), Decl("width: 7px"), Decl("height: 7px")}),
    });
}

QString FrameStyleSheet()
{
    return Rule("QFrame", {Decl("border: 1px solid rgb(20, 25, 100)")});
}

QString FontFamilyList()
{
    // The program's own text families first (the Japanese bold file may be
    // missing), then whatever sans-serif face the system has.
    return QStringLiteral("\"M PLUS 1\", \"Noto Sans CJK JP\", \"M PLUS 2\", sans-serif;");
}

QString MenuStyleSheet()
{
    QString families = FontFamilyList();
    families.chop(1); // the rule adds the semicolon back
    return Rules({
        Rule("QMenu", {Decl("background: rgba(35, 70, 150, 165)"), Decl("border: 1px solid rgb(35, 35, 85)"),
                       Decl("color: rgb(235, 235, 235)"), QStringLiteral("font-family: ") + families,
                       QStringLiteral("font-size: %1px").arg(12)}),
        Rule("QMenu::item", {Decl("background: transparent")}),
        Rule("QMenu::item:selected", {Decl("background: rgba(235, 235, 235, 45)")}),
        Rule("QMenu:disabled", {Decl("color: rgb(180, 180, 180)")}),
    });
}

QPen GridPen()
{
    return LinePen(GridLineColor);
}

QPen FramePen()
{
    return LinePen(FrameLineColor);
}

QPen PopupPen()
{
    return LinePen(PopupLineColor);
}

QPen BarPen()
{
    return LinePen(BarLineColor);
}

} // namespace Marevane
