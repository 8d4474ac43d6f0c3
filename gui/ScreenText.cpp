#include "gui/ScreenText.h"

namespace Marevane {

// Warnings and above only: the info lines stay silent unless a rule asks.
Q_LOGGING_CATEGORY(ScreenTextLog, "marevane.screen.text", QtWarningMsg)

void TraceShownText(const char* where, const QString& text)
{
    if (!ScreenTextLog().isInfoEnabled() || text.isEmpty()) return;
    QString line = text;
    line.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    qCInfo(ScreenTextLog).noquote() << QLatin1String(where) + QStringLiteral(": ") + line;
}

} // namespace Marevane
