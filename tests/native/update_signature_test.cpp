// The maker's signature on an update: the check's answers, the keys it takes, the tests' own key
// pair and the keys the builds carry.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "app/maker_key.h"
#include "tests/support/signature_cases.h"
#include "tests/support/test_signing.h"
#include "update/update_signature.h"

#ifndef SOREL_SHIPPED_UPDATE_KEY
#error "SOREL_SHIPPED_UPDATE_KEY must hold SOREL_UPDATE_KEY (tests/CMakeLists.txt)"
#endif
#ifndef SOREL_TEST_UPDATE_KEY
#error "SOREL_TEST_UPDATE_KEY must hold the tests' public key (tests/CMakeLists.txt)"
#endif

namespace sorel::test {
namespace {

TEST(UpdateSignature, EachGroupGetsItsAnswer) {
  for (const auto& group : SignatureGroups()) {
    for (const auto& c : group.inputs) {
      EXPECT_EQ(CheckSignature(c.file, c.signature, c.key), group.expected) << group.what << ": " << c.what;
    }
  }
}

TEST(UpdateSignature, PublicKeysAsVerificationTakesThem) {
  for (const auto& c : PublicKeyCases()) EXPECT_EQ(IsPublicKey(c.key), c.isKey) << c.what;
}

// Around the hash's 128-byte blocks and beyond: signed whole it verifies, one byte short it does not.
TEST(UpdateSignature, FilesOfEverySizeSignedWholeAndCut) {
  const std::string key = TestPublicKey();
  for (std::size_t size : {1u, 2u, 111u, 112u, 127u, 128u, 129u, 4096u, 100000u}) {
    std::string file(size, '\0');
    for (std::size_t i = 0; i < size; ++i) file[i] = static_cast<char>(i * 7 + size);
    const std::string signature = SignForTests(file);
    EXPECT_EQ(CheckSignature(file, signature, key), SignatureCheck::Valid) << size << " bytes";
    EXPECT_EQ(CheckSignature(file.substr(0, size - 1), signature, key), SignatureCheck::Invalid) << size << " bytes";
  }
}

// The tests' pair is RFC 8032's first test key, so its key and signature are the published ones.
TEST(TestSigning, GivesThePublishedKeyAndSignature) {
  const SignatureInput& first = PublishedSignatures()[0];
  EXPECT_EQ(TestPublicKey(), first.key);
  EXPECT_EQ(SignForTests(first.file), first.signature);
  EXPECT_NE(SignForTests("a"), SignForTests("b"));
}

TEST(MakerKey, EachBuildCarriesItsKey) {
  // The test programs are linked with the tests' key, as SorelAssistantTestKey.exe is.
  EXPECT_EQ(MakerPublicKey(), TestPublicKey());
  EXPECT_EQ(std::string(SOREL_TEST_UPDATE_KEY), TestPublicKey());
  // The shipped program's key is a key, and not one whose private half every test knows.
  EXPECT_TRUE(IsPublicKey(SOREL_SHIPPED_UPDATE_KEY)) << SOREL_SHIPPED_UPDATE_KEY;
  EXPECT_NE(std::string(SOREL_SHIPPED_UPDATE_KEY), TestPublicKey());
}

}  // namespace
}  // namespace sorel::test
