// Profile (ini) files through GetPrivateProfileStringA.
#pragma once
#include <string>
#include <vector>

#include "platform/profile.h"

namespace sorel {

// Each call goes to the system afresh with the buffer sizes of profile.h. The zero-separated lists
// are read the way a list reader reads them: up to the first empty name.
class Win32ProfileFiles : public ProfileFiles {
 public:
  std::vector<std::string> SectionNames(const std::string& file) override;
  std::vector<std::string> SectionKeys(const std::string& file, const std::string& section) override;
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& def) override;
  std::vector<std::string> SectionLines(const std::string& file, const std::string& section) override;
};

}  // namespace sorel
