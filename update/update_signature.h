// The maker's signature on a downloaded update: an Ed25519 detached signature over the whole file,
// checked against the public key the program was built with.
#pragma once
#include <string_view>

namespace sorel {

enum class SignatureCheck { Valid, Missing, Invalid };

// Checks signatureBase64 over the whole of file with publicKeyBase64. Both texts are standard
// base64 with padding and nothing else (blanks before and after are ignored): the signature 64
// bytes, the key 32 bytes that IsPublicKey accepts.
//   Missing: the signature text is empty or blank; the file was not signed.
//   Invalid: malformed base64 (a stray or trailing character, a missing or extra pad), a
//            signature or key of another length, an empty or unusable key, or a signature that
//            does not verify for this file and key.
//   Valid:   libsodium's crypto_sign_verify_detached accepts the signature for the file.
// Needs no library set-up and no randomness; never throws.
SignatureCheck CheckSignature(std::string_view file, std::string_view signatureBase64,
                              std::string_view publicKeyBase64);

// True when base64 (as above) holds 32 bytes that are an Ed25519 public key libsodium would
// verify with: a canonical point of the curve's prime-order group, not one of small order.
bool IsPublicKey(std::string_view base64);

}  // namespace sorel
