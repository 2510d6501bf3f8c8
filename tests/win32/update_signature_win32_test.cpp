// The signature cases against the libsodium cross-built for Windows (scripts/build-libsodium), under
// Wine: the same answers as natively, from a library built without a random generator.
#include <gtest/gtest.h>

#include "app/maker_key.h"
#include "tests/support/signature_cases.h"
#include "tests/support/test_signing.h"
#include "update/update_signature.h"

namespace sorel::test {
namespace {

TEST(UpdateSignatureWin32, EachGroupGetsItsAnswer) {
  for (const auto& group : SignatureGroups()) {
    for (const auto& c : group.inputs) {
      EXPECT_EQ(CheckSignature(c.file, c.signature, c.key), group.expected) << group.what << ": " << c.what;
    }
  }
  for (const auto& c : PublicKeyCases()) EXPECT_EQ(IsPublicKey(c.key), c.isKey) << c.what;
}

// Signing from the seed needs no randomness, so the tests' pair works in this build too.
TEST(UpdateSignatureWin32, TestKeyAsPublished) {
  const SignatureInput& first = PublishedSignatures()[0];
  EXPECT_EQ(TestPublicKey(), first.key);
  EXPECT_EQ(SignForTests(first.file), first.signature);
  EXPECT_EQ(MakerPublicKey(), TestPublicKey());
}

}  // namespace
}  // namespace sorel::test
