// The public key that a downloaded update's signature must verify with.
#pragma once
#include <string>

namespace sorel {

// Base64 of the 32-byte Ed25519 public key this executable was built with (app/maker_key.cpp):
// the maker's (SOREL_UPDATE_KEY) in SorelAssistant.exe, the tests' in SorelAssistantTestKey.exe
// and the test programs.
std::string MakerPublicKey();

}  // namespace sorel
