// The fonts every scene draws its text with. Their families come from the
// program's own font files: five compiled in, one Japanese bold file kept
// beside the program. The fonts follow the OpenGL setting read at start.
#pragma once

#include <QFont>
#include <QString>

namespace Marevane {

// The font kept beside the program, relative to its folder.
inline constexpr char JapaneseBoldFontFile[] = "Resources/Fonts/JapaneseSans-Bold.otf";

// The compiled-in fonts, in the order they are added after the Japanese bold file.
inline constexpr const char* CompiledFontFiles[] = {
    ":/Resources/Fonts/DigitMono-Regular.otf",    ":/Resources/Fonts/DigitMono-Medium.otf",
    ":/Resources/Fonts/JapaneseSans-Regular.otf", ":/Resources/Fonts/TextSans-Regular.otf",
    ":/Resources/Fonts/TextSans-SemiBold.otf",
};

// The families the font files brought; empty where a file could not be added.
struct FontFamilies {
    QString japaneseBold; // the file beside the program
    QString digits;       // monospaced, regular and medium
    QString japanese;     // Latin and Japanese, regular
    QString text;         // regular and semibold
};

// Adds the compiled-in font files to the application's font database, once
// per application object, and answers their families. The Japanese bold file
// (found beside the program) is added when the shared fonts first need it:
// built with OpenGL off. Needs the application object.
const FontFamilies& ApplicationFontFamilies();

// Removes the application's fonts and adds all six again, the Japanese bold
// file from this path (an empty or missing path adds none).
const FontFamilies& ReloadApplicationFonts(const QString& japaneseBoldPath);

// The seven shared fonts.
struct SharedFontSet {
    SharedFontSet(const FontFamilies& families, bool isOpenGL, const QFont& applicationFont);

    QFont text;        // items, popups, lists, tooltips, buttons and edits
    QFont largeText;   // simple text items
    QFont nameText;    // player names: the large text font
    QFont mediumText;  // the ship selection screen
    QFont profileText; // ship profiles, map, timer bar
    QFont digit;       // numbers of ship profiles, map, timer bar
    QFont menu;        // the main window's menu actions
};

// The shared fonts, built on first use from ApplicationFontFamilies() and
// the OpenGL setting as it stands; they live as long as the application
// object. Needs the application object.
const SharedFontSet& SharedFonts();
// Builds them again, from the families and setting as they now stand.
const SharedFontSet& RebuildSharedFonts();

inline const QFont& TextFont()
{
    return SharedFonts().text;
}
inline const QFont& LargeTextFont()
{
    return SharedFonts().largeText;
}
inline const QFont& NameTextFont()
{
    return SharedFonts().nameText;
}
inline const QFont& MediumTextFont()
{
    return SharedFonts().mediumText;
}
inline const QFont& ProfileTextFont()
{
    return SharedFonts().profileText;
}
inline const QFont& DigitFont()
{
    return SharedFonts().digit;
}
inline const QFont& MenuFont()
{
    return SharedFonts().menu;
}

} // namespace Marevane
