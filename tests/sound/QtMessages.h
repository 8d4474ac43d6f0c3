// The Qt messages of the code under test, collected instead of printed.
#pragma once

#include <QString>
#include <QtGlobal>

#include <string>
#include <vector>

namespace Marevane::Testing {

inline std::vector<std::string>& QtMessages()
{
    static std::vector<std::string> messages;
    return messages;
}

inline void CollectQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        QtMessages().push_back(text.toStdString());
    });
}

} // namespace Marevane::Testing
