// The tests' own Ed25519 key pair, for the updates the tests sign and serve: made from a fixed seed
// (RFC 8032's first test key), so that what it gives can be checked against the published vectors.
#pragma once
#include <string>
#include <string_view>

namespace sorel::test {

// Base64 (standard, padded) of the tests' 32-byte public key; SOREL_TEST_UPDATE_KEY holds the same.
std::string TestPublicKey();

// Base64 (standard, padded) of the tests' 64-byte Ed25519 signature over the whole of file.
std::string SignForTests(std::string_view file);

}  // namespace sorel::test
