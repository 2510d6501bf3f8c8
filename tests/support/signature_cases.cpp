// The signature cases: good signatures of the tests' key and of RFC 8032, and each way a file, a
// signature or a key can be other than signed, including texts libsodium's decoder must refuse.
#include "tests/support/signature_cases.h"

#include <sodium.h>

#include <cstddef>
#include <functional>
#include <stdexcept>

#include "tests/support/test_signing.h"

namespace sorel::test {
namespace {

using enum SignatureCheck;

// Every byte value, then text: a file that a line-based or text-only reading would mangle.
std::string SampleInstaller() {
  std::string file = "MZ";
  for (int i = 0; i < 256; ++i) file += static_cast<char>(i);
  return file + "Sorel Assistant setup\r\n";
}

std::string FlipBit(std::string bytes, std::size_t at) {
  bytes[at] = static_cast<char>(bytes[at] ^ 1);
  return bytes;
}

// The base64 text with its bytes changed, for wrong lengths and altered signatures.
std::string Recode(const std::string& base64, const std::function<void(std::string&)>& change) {
  std::string bytes(base64.size(), '\0');
  std::size_t size = 0;
  if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), base64.data(), base64.size(),
                        nullptr, &size, nullptr, sodium_base64_VARIANT_ORIGINAL) != 0) {
    throw std::invalid_argument("no base64: " + base64);
  }
  bytes.resize(size);
  change(bytes);
  std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
  sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                    sodium_base64_VARIANT_ORIGINAL);
  text.pop_back();
  return text;
}

// S + L for the signature's second half S (little-endian, L the order of the base point): the same
// signature as far as the curve is concerned, but not in its one canonical form, which RFC 8032
// makes verifiers insist on so that nobody can turn a signature into another valid one.
void AddGroupOrderToS(std::string& signature) {
  static const unsigned char kL[32] = {0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58, 0xd6, 0x9c, 0xf7,
                                       0xa2, 0xde, 0xf9, 0xde, 0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0, 0, 0, 0x10};
  unsigned carry = 0;
  for (std::size_t i = 0; i < 32; ++i) {
    const unsigned sum = static_cast<unsigned char>(signature[32 + i]) + kL[i] + carry;
    signature[32 + i] = static_cast<char>(sum & 0xFF);
    carry = sum >> 8;
  }
}

// Keys that are no keys, in base64 (32 bytes each).
constexpr const char* kZeroKey = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";      // a point of order 4
constexpr const char* kIdentityKey = "AQAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";  // the neutral point
constexpr const char* kOffCurveKey = "AgAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";  // y = 2: no x fits
constexpr const char* kMixedOrderKey = "lZmZmZmZmZmZmZmZmZmZmZmZmZmZmZmZmZmZmZmZmZk=";  // outside the prime-order group
constexpr const char* kUnreducedKey = "7f///////////////////////////////////////38=";  // y = 2^255 - 19
// The tests' key in the URL-safe alphabet ('_' for '/'), and with the bits past its 32 bytes set.
constexpr const char* kUrlSafeTestKey = "11qYAYKxCrfVS_7TyWQHOg7hcvPapiMlrwIaaPcHURo=";
constexpr const char* kLooseBitsTestKey = "11qYAYKxCrfVS/7TyWQHOg7hcvPapiMlrwIaaPcHURp=";
constexpr const char* k31Bytes = "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHg==";
constexpr const char* k33Bytes = "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8g";

}  // namespace

const std::vector<SignatureInput>& PublishedSignatures() {
  static const std::vector<SignatureInput> vectors = {
      {"RFC 8032 test 1, an empty message", "",
       "5VZDAMNgrHKQhuLMgG6CioSHfx645dl02HPgZSJJAVVfuIIVkKM7rMYeOXAc+bRr0lv18FlbviRlUUFDjnoQCw==",
       "11qYAYKxCrfVS/7TyWQHOg7hcvPapiMlrwIaaPcHURo="},
      {"RFC 8032 test 2, one byte", "\x72",
       "kqAJqfDUyrhyDoILX2QlQKKye1QWUD+Ps3YiI+vbadoIWsHkPhWZbkWPNhPQ8R2MOHsurrQwKu6wDSkWErsMAA==",
       "PUAXw+hDiVqStwqnTRt+vJyYLM8uxJaMwM1V8Sr0Zgw="},
      {"RFC 8032 test 3, two bytes", "\xaf\x82",
       "YpHWV97sJAJIJ+acOr4BowzlSKKEdDpEXjaA19taw6wY/5tTjRbykK5n92CYTcZZSnwV6XFu0o3AJ77O6h7ECg==",
       "/FHNjmIYoaONpH7QAjDwWAgW7RO6MwOsXeuRFUiQgCU="},
  };
  return vectors;
}

const std::vector<SignatureGroup>& SignatureGroups() {
  static const std::vector<SignatureGroup> groups = [] {
    const std::string file = SampleInstaller();
    const std::string sig = SignForTests(file);
    const std::string key = TestPublicKey();
    const std::string rfc2Key = PublishedSignatures()[1].key;
    std::vector<SignatureInput> published = PublishedSignatures();
    std::vector<SignatureInput> valid = {
        {"the tests' signature", file, sig, key},
        {"blanks around both texts", file, " \t" + sig + "\r\n", "  " + key + "\n"},
        {"an empty file, signed", "", SignForTests(""), key},
    };
    valid.insert(valid.end(), published.begin(), published.end());
    return std::vector<SignatureGroup>{
        {"signed as it is", Valid, valid},
        {"no signature", Missing,
         {{"an empty text", file, "", key}, {"blanks only", file, " \t\r\n", key}, {"no key either", file, "", ""}}},
        {"not the file that was signed", Invalid,
         {{"its first byte changed", FlipBit(file, 0), sig, key},
          {"a byte in the middle changed", FlipBit(file, file.size() / 2), sig, key},
          {"its last byte changed", FlipBit(file, file.size() - 1), sig, key},
          {"one byte cut off its end", file.substr(0, file.size() - 1), sig, key},
          {"only its first half", file.substr(0, file.size() / 2), sig, key},
          {"a byte added to its end", file + '\0', sig, key},
          {"an empty file", "", sig, key}}},
        {"not the file's signature", Invalid,
         {{"another file's signature", file, SignForTests("another file"), key},
          {"a bit of R changed", file, Recode(sig, [](std::string& b) { b = FlipBit(b, 0); }), key},
          {"a bit of S changed", file, Recode(sig, [](std::string& b) { b = FlipBit(b, 40); }), key},
          {"S plus the group order", file, Recode(sig, AddGroupOrderToS), key},
          {"64 zero bytes", file, Recode(sig, [](std::string& b) { b.assign(64, '\0'); }), key}}},
        {"not the signer's key", Invalid,
         {{"RFC 8032 test 2's key", file, sig, rfc2Key},
          {"a key of small order", file, sig, kZeroKey},
          {"the neutral point", file, sig, kIdentityKey},
          {"no point of the curve", file, sig, kOffCurveKey},
          {"a point outside the prime-order group", file, sig, kMixedOrderKey},
          {"an unreduced coordinate", file, sig, kUnreducedKey}}},
        {"malformed base64", Invalid,
         {{"a character after the signature", file, sig + "A", key},
          {"an extra pad", file, sig + "=", key},
          {"the signature without its pads", file, sig.substr(0, sig.size() - 2), key},
          {"one of its two pads", file, sig.substr(0, sig.size() - 1), key},
          {"a blank inside", file, sig.substr(0, 40) + " " + sig.substr(40), key},
          {"a character outside the alphabet", file, sig.substr(0, 10) + "*" + sig.substr(11), key},
          {"a zero byte after the signature", file, sig + std::string(1, '\0'), key},
          {"the key in the URL-safe alphabet", file, sig, kUrlSafeTestKey},
          {"the bits past the key's end set", file, sig, kLooseBitsTestKey},
          {"a character after the key", file, sig, key + "A"},
          {"the key without its pad", file, sig, key.substr(0, key.size() - 1)}}},
        {"wrong lengths", Invalid,
         {{"a signature of 63 bytes", file, Recode(sig, [](std::string& b) { b.pop_back(); }), key},
          {"a signature of 65 bytes", file, Recode(sig, [](std::string& b) { b += '\0'; }), key},
          {"the signature twice", file, Recode(sig, [](std::string& b) { b += b; }), key},
          {"a key of 31 bytes", file, sig, k31Bytes},
          {"a key of 33 bytes", file, sig, k33Bytes},
          {"the signature given as the key", file, sig, sig},
          {"the key given as the signature", file, key, key}}},
        {"no key", Invalid, {{"an empty key", file, sig, ""}, {"blanks only", file, sig, " \t"}}},
    };
  }();
  return groups;
}

const std::vector<PublicKeyCase>& PublicKeyCases() {
  static const std::vector<PublicKeyCase> cases = [] {
    const std::string key = TestPublicKey();
    std::vector<PublicKeyCase> all = {
        {"the tests' key", key, true},
        {"with blanks around it", " " + key + "\r\n", true},
        {"an empty text", "", false},
        {"a key of small order", kZeroKey, false},
        {"the neutral point", kIdentityKey, false},
        {"no point of the curve", kOffCurveKey, false},
        {"a point outside the prime-order group", kMixedOrderKey, false},
        {"an unreduced coordinate", kUnreducedKey, false},
        {"the URL-safe alphabet", kUrlSafeTestKey, false},
        {"the bits past its end set", kLooseBitsTestKey, false},
        {"a character after it", key + "A", false},
        {"without its pad", key.substr(0, key.size() - 1), false},
        {"31 bytes", k31Bytes, false},
        {"33 bytes", k33Bytes, false},
        {"a signature", SignForTests("a file"), false},
    };
    for (const auto& v : PublishedSignatures()) all.push_back({v.what + "'s key", v.key, true});
    return all;
  }();
  return cases;
}

}  // namespace sorel::test
