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
};

} // namespace Marevane
