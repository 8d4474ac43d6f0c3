// Where the translations are: the program's own, compiled in, and Qt's,
// kept beside the program.
#pragma once

#include "gui/Resources.h"

#include <QLocale>
#include <QStringList>

class QTranslator;

namespace Marevane {

// The compiled-in folder of "Marevane_<language>.qm".
inline constexpr char ProgramTranslationFolder[] = ":/Resources/Languages";
// The folder of "qtbase_<language>.qm" beside the program.
inline constexpr char QtTranslationFolder[] = "Resources/Languages";

// Loads the program's translation for the locale; false leaves the
// translator empty (the texts stay English).
bool LoadProgramTranslation(QTranslator& translator, const QLocale& locale);
// Loads Qt's own for the locale from the first runtime folder that has it.
bool LoadQtTranslation(QTranslator& translator, const QLocale& locale,
                       const QStringList& folders = RuntimeFolders());

} // namespace Marevane
