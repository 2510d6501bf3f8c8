// The tests' key pair through libsodium: a key from the fixed seed and deterministic signatures, no
// randomness, so that the Windows test programs (whose libsodium has no random generator, see
// scripts/build-libsodium) sign exactly as the native ones do.
#include "tests/support/test_signing.h"

#include <sodium.h>

#include <array>
#include <cstddef>
#include <stdexcept>

namespace sorel::test {
namespace {

// RFC 8032, section 7.1, TEST 1: the secret key, which is the seed.
constexpr std::array<unsigned char, crypto_sign_SEEDBYTES> kSeed = {
    0x9d, 0x61, 0xb1, 0x9d, 0xef, 0xfd, 0x5a, 0x60, 0xba, 0x84, 0x4a, 0xf4, 0x92, 0xec, 0x2c, 0xc4,
    0x44, 0x49, 0xc5, 0x69, 0x7b, 0x32, 0x69, 0x19, 0x70, 0x3b, 0xac, 0x03, 0x1c, 0xae, 0x7f, 0x60};

struct KeyPair {
  std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey;
  std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey;
};

const KeyPair& TestKeyPair() {
  static const KeyPair pair = [] {
    KeyPair made;
    if (crypto_sign_seed_keypair(made.publicKey.data(), made.secretKey.data(), kSeed.data()) != 0) {
      throw std::runtime_error("crypto_sign_seed_keypair failed");
    }
    return made;
  }();
  return pair;
}

std::string Base64(const unsigned char* bytes, std::size_t size) {
  std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
  sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
  text.pop_back();  // the terminating zero the length includes
  return text;
}

}  // namespace

std::string TestPublicKey() {
  const auto& key = TestKeyPair().publicKey;
  return Base64(key.data(), key.size());
}

std::string SignForTests(std::string_view file) {
  static const unsigned char kNoBytes = 0;
  const unsigned char* bytes = file.empty() ? &kNoBytes : reinterpret_cast<const unsigned char*>(file.data());
  std::array<unsigned char, crypto_sign_BYTES> signature;
  if (crypto_sign_detached(signature.data(), nullptr, bytes, file.size(), TestKeyPair().secretKey.data()) != 0) {
    throw std::runtime_error("crypto_sign_detached failed");
  }
  return Base64(signature.data(), signature.size());
}

}  // namespace sorel::test
