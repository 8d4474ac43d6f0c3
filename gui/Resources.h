// The compiled-in resource bundles and the files kept beside the program.
#pragma once

#include <QString>
#include <QStringList>

namespace Marevane {

// Registers every compiled-in bundle (pictures, icon, fonts). Static
// libraries would drop their registration otherwise. Safe to call again.
void InitResources();

// Where files kept beside the program are looked for, in order: the
// program's folder, then the working directory.
QStringList RuntimeFolders();

// The first existing file at that relative path in the folders, or empty.
QString FindRuntimeFile(const QString& relativePath, const QStringList& folders = RuntimeFolders());

} // namespace Marevane
