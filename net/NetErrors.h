// Exceptions of the network layer that the screens and the set-up tasks
// catch. Each carries its class name without the leading C, or a caller's
// own text.
#pragma once

#include <stdexcept>
#include <string>

namespace Marevane {

class CConnectionFailedException : public std::runtime_error {
  public:
    CConnectionFailedException() : std::runtime_error("ConnectionFailedException") {}
    explicit CConnectionFailedException(const std::string& text) : std::runtime_error(text) {}
};

class CConnectionRejectedException : public std::runtime_error {
  public:
    CConnectionRejectedException() : std::runtime_error("ConnectionRejectedException") {}
    explicit CConnectionRejectedException(const std::string& text) : std::runtime_error(text) {}
};

} // namespace Marevane
