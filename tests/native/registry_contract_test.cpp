// The registry checks every registry must pass, run against the in-memory one.
#include <gtest/gtest.h>

#include "tests/fakes/memory_registry.h"
#include "tests/support/registry_contract.h"

namespace sorel {
namespace {

using test::RegistryContractCase;

class MemoryRegistryContract : public testing::TestWithParam<RegistryContractCase> {};

TEST_P(MemoryRegistryContract, Holds) {
  MemoryRegistry registry;
  const std::string path = "Software\\Velmora\\SorelAssistantTests\\contract";
  test::RegistryUnderTest r{
      registry, path,
      [&](const std::string& name, std::uint32_t type, const std::string& bytes) {
        registry.SetRaw(RegRoot::CurrentUser, path, name, type, bytes);
      },
      [&] { registry.DeleteKey(RegRoot::CurrentUser, path); }};
  GetParam().check(r);
}

INSTANTIATE_TEST_SUITE_P(Registry, MemoryRegistryContract, testing::ValuesIn(test::RegistryContractCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorel
