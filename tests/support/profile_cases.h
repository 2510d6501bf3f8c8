// Profile-file cases with the results GetPrivateProfileStringA gives under Wine 8, shared by the
// native tests of the emulation and the differential tests against the real function.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/profile.h"

namespace sorel::test {

struct ProfileCase {
  enum class Ask { SectionNames, SectionKeys, Value, SectionLines };

  std::string what;
  std::optional<std::string> text;  // the file's bytes; nullopt: no such file
  Ask ask;
  std::string section, key, def;       // what is asked (key and def for Value only)
  std::vector<std::string> expected;   // names or lines in order, or the one value read
};

const std::vector<ProfileCase>& ProfileCases();

// What the case asks of a profile implementation, as a list of texts.
std::vector<std::string> AskProfile(ProfileFiles& profiles, const std::string& file, const ProfileCase& c);

}  // namespace sorel::test
