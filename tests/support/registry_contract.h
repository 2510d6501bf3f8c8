// What the program relies on of a registry, as one list of checks run against the in-memory
// registry (tests/native) and against the real one under Wine (tests/win32): the fake the other
// tests stand on cannot drift from the system unnoticed.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace sorel::test {

struct RegistryUnderTest {
  Registry& registry;
  std::string path;  // below HKEY_CURRENT_USER, missing at the start
  // Stores a value of any type under path, as another program would.
  std::function<void(const std::string& name, std::uint32_t type, const std::string& bytes)> setRaw;
  // Deletes the key at path (it has no subkeys) behind the program's back.
  std::function<void()> deleteKey;
};

struct RegistryContractCase {
  const char* name;
  void (*check)(RegistryUnderTest& r);
};

const std::vector<RegistryContractCase>& RegistryContractCases();

}  // namespace sorel::test
