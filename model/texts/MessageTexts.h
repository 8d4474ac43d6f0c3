// The user texts of message codes.
#pragma once

#include "model/Types.h"

#include <QString>

namespace Marevane {

class CGUICore {
  public:
    // Events, confirmations and results; failures through GetErrorMessage.
    static const QString& GetMessage(MessageCode code);
    // Failures and refusals; other codes through GetMessage.
    static const QString& GetErrorMessage(MessageCode code);
    // Why a command was refused, never empty: the code's failure text, else
    // the meaning of a refusal whose text is empty or undefined.
    static QString GetRefusalReason(MessageCode code);
};

} // namespace Marevane
