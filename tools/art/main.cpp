// Draws every picture of the game and writes them, the window icon, the resource collection file and a
// contact sheet for review into one output folder.
//
//   marevane-art --out DIR --fonts DIR [--sheet FILE]

#include "tools/art/Art.h"
#include "tools/art/Canvas.h"
#include "tools/art/Output.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "marevane-art: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing needs no display; the build machines have none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString outDir;
    QString fontDir;
    QString sheetPath;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--out" && hasValue)
            outDir = args[++i];
        else if (a == "--fonts" && hasValue)
            fontDir = args[++i];
        else if (a == "--sheet" && hasValue)
            sheetPath = args[++i];
        else
            return fail("usage: marevane-art --out DIR --fonts DIR [--sheet FILE] (unknown argument " + a +
                        ")");
    }
    if (outDir.isEmpty() || fontDir.isEmpty())
        return fail("usage: marevane-art --out DIR --fonts DIR [--sheet FILE]");
    if (sheetPath.isEmpty()) sheetPath = outDir + "/contact-sheet.png";

    QString error;
    if (!art::loadFonts(fontDir, &error)) return fail(error);

    art::Pictures pictures;
    try {
        pictures = art::buildAll();
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    for (const art::Picture& picture : pictures.all()) {
        if (picture.image.isNull()) return fail("empty picture " + picture.alias);
        if (!art::writeFile(outDir + "/" + picture.file, art::pngBytes(picture.image), &error))
            return fail(error);
    }

    std::vector<QImage> icon;
    for (const int size : art::applicationIconSizes()) icon.push_back(art::applicationIcon(size));
    if (!art::writeFile(outDir + "/" + art::kIconAlias, art::icoBytes(icon), &error)) return fail(error);

    // The collection file and the sheet are always rewritten: the build tracks them as its outputs.
    QFile::remove(outDir + "/marevane_images.qrc");
    if (!art::writeFile(outDir + "/marevane_images.qrc", art::qrcBytes(pictures), &error)) return fail(error);
    QFile::remove(sheetPath);
    if (!art::writeFile(sheetPath, art::pngBytes(art::contactSheet(pictures, icon)), &error))
        return fail(error);
    return 0;
}
