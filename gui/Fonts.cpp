#include "gui/Fonts.h"

#include "gui/Resources.h"
#include "model/settings/SystemConfig.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QResource>
#include <QStringList>

#include <memory>
#include <optional>

namespace Marevane {

namespace {

// Everything here belongs to one application object: Qt drops the added
// fonts when it ends, and fonts must not outlive it.
struct FontState {
    std::optional<FontFamilies> families;
    bool isJapaneseBoldAdded = false;
    std::unique_ptr<SharedFontSet> fonts;
};

FontState* g_state = nullptr;

void DropState()
{
    delete g_state;
    g_state = nullptr;
}

FontState& State()
{
    if (QGuiApplication::instance() == nullptr) qFatal("The shared fonts need the application object");
    if (g_state == nullptr) {
        g_state = new FontState;
        // Post routines run while the application object still exists.
        qAddPostRoutine(DropState);
    }
    return *g_state;
}

// The first family a file brought, the Japanese one where it brought several.
QString FamilyOf(int id)
{
    if (id < 0) return QString();
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    for (const QString& family : families) {
        if (family.endsWith(QLatin1String(" JP"))) return family;
    }
    return families.value(0);
}

QString AddFont(const QString& path)
{
    if (path.isEmpty()) return QString();
    // A font added before Qt first fills its font database is read again
    // when it fills it; filled first, each file is read once.
    const QFontDatabase database;
    // A compiled-in file is handed over where it lies in the program instead
    // of being read into a copy; the program's resources live until it ends.
    const QResource resource(path);
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
        return FamilyOf(QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
            reinterpret_cast<const char*>(resource.data()), static_cast<int>(resource.size()))));
    }
    return FamilyOf(QFontDatabase::addApplicationFont(path));
}

FontFamilies AddCompiledFonts()
{
    InitResources();
    FontFamilies families;
    const QString digitsRegular = AddFont(QString::fromLatin1(CompiledFontFiles[0]));
    const QString digitsMedium = AddFont(QString::fromLatin1(CompiledFontFiles[1]));
    families.digits = digitsRegular.isEmpty() ? digitsMedium : digitsRegular;
    families.japanese = AddFont(QString::fromLatin1(CompiledFontFiles[2]));
    const QString textRegular = AddFont(QString::fromLatin1(CompiledFontFiles[3]));
    const QString textSemiBold = AddFont(QString::fromLatin1(CompiledFontFiles[4]));
    families.text = textSemiBold.isEmpty() ? textRegular : textSemiBold;
    return families;
}

// The Japanese bold face is large and only the fonts drawn without
// OpenGL name it: it is added when they are first built.
const FontFamilies& FamiliesWithJapaneseBold()
{
    FontState& state = State();
    ApplicationFontFamilies();
    if (!state.isJapaneseBoldAdded) {
        state.isJapaneseBoldAdded = true;
        state.families->japaneseBold = AddFont(FindRuntimeFile(QString::fromLatin1(JapaneseBoldFontFile)));
    }
    return *state.families;
}

QFont MakeFont(const QString& family, int weight, int pixelSize, bool isHinted)
{
    QFont font(family, -1, -1, false);
    font.setWeight(weight);
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::SansSerif, QFont::PreferQuality);
    if (isHinted) font.setHintingPreference(QFont::PreferDefaultHinting);
    return font;
}

} // namespace

const FontFamilies& ApplicationFontFamilies()
{
    FontState& state = State();
    if (!state.families) state.families = AddCompiledFonts();
    return *state.families;
}

const FontFamilies& ReloadApplicationFonts(const QString& japaneseBoldPath)
{
    FontState& state = State();
    QFontDatabase::removeAllApplicationFonts();
    FontFamilies families;
    families.japaneseBold = AddFont(japaneseBoldPath);
    const FontFamilies compiled = AddCompiledFonts();
    families.digits = compiled.digits;
    families.japanese = compiled.japanese;
    families.text = compiled.text;
    state.families = families;
    state.isJapaneseBoldAdded = true;
    return *state.families;
}

SharedFontSet::SharedFontSet(const FontFamilies& families, bool isOpenGL, const QFont& applicationFont)
{
    // Without its file the Japanese bold face falls back to the bold text
    // family, which has the Japanese characters as well.
    const QString& boldFamily = families.japaneseBold.isEmpty() ? families.text : families.japaneseBold;
    const QString& textFamily = isOpenGL ? families.text : boldFamily;
    const int textWeight = isOpenGL ? QFont::DemiBold : QFont::Bold;

    text = MakeFont(textFamily, textWeight, 14, true);
    largeText = MakeFont(textFamily, textWeight, 16, false);
    nameText = largeText;
    mediumText = MakeFont(textFamily, textWeight, 15, false);
    profileText = MakeFont(families.text, isOpenGL ? QFont::DemiBold : QFont::Normal, 14, true);
    digit = MakeFont(families.digits, isOpenGL ? QFont::Medium : QFont::Normal, 13, true);
    menu = applicationFont;
    menu.setStyleHint(QFont::System, QFont::PreferDefault);
}

const SharedFontSet& SharedFonts()
{
    FontState& state = State();
    if (!state.fonts) return RebuildSharedFonts();
    return *state.fonts;
}

const SharedFontSet& RebuildSharedFonts()
{
    FontState& state = State();
    const bool isOpenGL = CSystemConfig::GetInstance().OpenGL;
    const FontFamilies& families = isOpenGL ? ApplicationFontFamilies() : FamiliesWithJapaneseBold();
    SharedFontSet fonts(families, isOpenGL, QGuiApplication::font());
    // Assigned in place, so references handed out before stay valid.
    if (state.fonts) {
        *state.fonts = fonts;
    } else {
        state.fonts = std::make_unique<SharedFontSet>(fonts);
    }
    return *state.fonts;
}

} // namespace Marevane
