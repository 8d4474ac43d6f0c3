// A trace of the texts the screens show the user (notices, message lines,
// result headers), for tests that drive the program from outside and cannot
// read the window. Off unless enabled, e.g. with
// QT_LOGGING_RULES="marevane.screen.text.info=true": each text then goes to
// stderr on one line, "marevane.screen.text: <where>: <text>", its line
// breaks written as "\n".
#pragma once

#include <QLoggingCategory>
#include <QString>

namespace Marevane {

Q_DECLARE_LOGGING_CATEGORY(ScreenTextLog)

// `where` names the kind of place: "notice", "message", "header".
void TraceShownText(const char* where, const QString& text);

} // namespace Marevane
