// The update's signature check, through libsodium's Ed25519 and base64 decoder.
#include "update/update_signature.h"

#include <sodium.h>

#include <array>
#include <cstddef>

// No sodium_init here. Verifying uses libsodium's portable Ed25519 code, SHA-512, constant-time
// comparison and base64 decoder: none takes random numbers or one of the per-processor
// implementations that sodium_init chooses, so the answer is the same without it. In the Windows
// programs sodium_init would even stop them: it seeds the random generator, which their libsodium
// leaves out (scripts/build-libsodium) because its Windows source, RtlGenRandom, is missing from
// Windows 98 SE and Windows 2000.

namespace sorel {
namespace {

// The blanks a page value or a line of a file may carry around the text.
std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t start = text.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

// Exactly out.size() bytes in standard padded base64. With no characters to ignore and no end
// pointer, libsodium's decoder fails on any character it does not consume (a stray or trailing
// one, a missing or extra pad) and on more bytes than fit; a shorter text is caught by the size.
template <std::size_t N>
bool DecodeExactly(std::string_view base64, std::array<unsigned char, N>& out) {
  const std::string_view text = TrimBlanks(base64);
  std::size_t size = 0;
  if (sodium_base642bin(out.data(), out.size(), text.data(), text.size(), nullptr, &size, nullptr,
                        sodium_base64_VARIANT_ORIGINAL) != 0) {
    return false;
  }
  return size == out.size();
}

using PublicKey = std::array<unsigned char, crypto_sign_PUBLICKEYBYTES>;

bool DecodePublicKey(std::string_view base64, PublicKey& key) {
  static_assert(crypto_sign_PUBLICKEYBYTES == crypto_core_ed25519_BYTES);
  return DecodeExactly(base64, key) && crypto_core_ed25519_is_valid_point(key.data()) == 1;
}

}  // namespace

SignatureCheck CheckSignature(std::string_view file, std::string_view signatureBase64,
                              std::string_view publicKeyBase64) {
  if (TrimBlanks(signatureBase64).empty()) return SignatureCheck::Missing;
  std::array<unsigned char, crypto_sign_BYTES> signature;
  PublicKey key;
  if (!DecodeExactly(signatureBase64, signature) || !DecodePublicKey(publicKeyBase64, key)) {
    return SignatureCheck::Invalid;
  }
  // An empty view may have no address; libsodium reads no byte of an empty message either way.
  static const unsigned char kNoBytes = 0;
  const unsigned char* bytes =
      file.empty() ? &kNoBytes : reinterpret_cast<const unsigned char*>(file.data());
  return crypto_sign_verify_detached(signature.data(), bytes, file.size(), key.data()) == 0
             ? SignatureCheck::Valid
             : SignatureCheck::Invalid;
}

bool IsPublicKey(std::string_view base64) {
  PublicKey key;
  return DecodePublicKey(base64, key);
}

}  // namespace sorel
