#include "gui/Translations.h"

#include <QDir>
#include <QTranslator>

namespace Marevane {

bool LoadProgramTranslation(QTranslator& translator, const QLocale& locale)
{
    InitResources();
    return translator.load(locale, QStringLiteral("Marevane"), QStringLiteral("_"),
                           QString::fromLatin1(ProgramTranslationFolder));
}

bool LoadQtTranslation(QTranslator& translator, const QLocale& locale, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(QtTranslationFolder));
        if (translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), path)) return true;
    }
    return false;
}

} // namespace Marevane
