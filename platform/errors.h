// Errors raised by the platform layer; their text is what the user sees.
#pragma once
#include <stdexcept>
#include <string>

namespace sorel {

// Raised by the registry, file and printing layers. The message is shown to the user as it stands
// (the application's default error display), so it must read as a sentence of the layer.
class PlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The registry layer's error for a value of the wrong type.
inline std::string InvalidDataTypeMessage(const std::string& valueName) {
  return "Invalid data type for '" + valueName + "'";
}

inline std::string FailedToSetDataMessage(const std::string& valueName) {
  return "Failed to set data for '" + valueName + "'";
}
inline std::string FailedToGetDataMessage(const std::string& valueName) {
  return "Failed to get data for '" + valueName + "'";
}

}  // namespace sorel
