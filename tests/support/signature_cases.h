// Signature checks with the answer each must give, shared by the native tests and the Windows test
// programs, which run them against the libsodium cross-built for Windows.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "update/update_signature.h"

namespace sorel {

// Failure messages name the answer.
inline void PrintTo(SignatureCheck check, std::ostream* out) {
  *out << (check == SignatureCheck::Valid ? "Valid" : check == SignatureCheck::Missing ? "Missing" : "Invalid");
}

}  // namespace sorel

namespace sorel::test {

struct SignatureInput {
  std::string what;
  std::string file, signature, key;  // signature and key in base64, as CheckSignature takes them
};

// Inputs that must all give the group's answer.
struct SignatureGroup {
  std::string what;
  SignatureCheck expected;
  std::vector<SignatureInput> inputs;
};

const std::vector<SignatureGroup>& SignatureGroups();

// RFC 8032's Ed25519 test vectors 1 to 3 (section 7.1); the first key is the tests' own.
const std::vector<SignatureInput>& PublishedSignatures();

struct PublicKeyCase {
  std::string what, key;
  bool isKey;  // what IsPublicKey must say
};

const std::vector<PublicKeyCase>& PublicKeyCases();

}  // namespace sorel::test
