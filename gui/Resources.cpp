#include "gui/Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

// Q_INIT_RESOURCE declares the bundle's function in the enclosing
// namespace, so it is called from the global one.
static void InitImageBundle()
{
    Q_INIT_RESOURCE(marevane_images);
}

static void InitFontBundle()
{
    Q_INIT_RESOURCE(marevane_fonts);
}

namespace Marevane {

void InitResources()
{
    static const bool done = [] {
        InitImageBundle();
        InitFontBundle();
        return true;
    }();
    (void)done;
}

QStringList RuntimeFolders()
{
    QStringList folders;
    if (QCoreApplication::instance() != nullptr) folders << QCoreApplication::applicationDirPath();
    const QString working = QDir::currentPath();
    if (!folders.contains(working)) folders << working;
    return folders;
}

QString FindRuntimeFile(const QString& relativePath, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder), relativePath);
        if (file.isFile()) return file.absoluteFilePath();
    }
    return QString();
}

} // namespace Marevane
