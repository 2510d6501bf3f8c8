// The registry over the Win32 registry functions (RegOpenKeyExA and friends).
#pragma once
#include <memory>
#include <string>

#include "platform/registry.h"

namespace sorel {

// Keys open with KEY_ALL_ACCESS in the caller's own view (no WOW64 flag): a 32-bit program sees
// what the system shows 32-bit programs, which for FontSubstitutes is the one real table.
class Win32Registry : public Registry {
 public:
  std::unique_ptr<RegistryKey> Open(RegRoot root, const std::string& path, bool create) override;
  std::unique_ptr<RegistryKey> OpenForReading(RegRoot root, const std::string& path) override;
};

}  // namespace sorel
