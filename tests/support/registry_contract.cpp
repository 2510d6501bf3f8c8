// The registry checks: each states what the program's code expects and holds for both registries.
#include "tests/support/registry_contract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/errors.h"

namespace sorel::test {
namespace {

constexpr RegRoot kHkcu = RegRoot::CurrentUser;

std::unique_ptr<RegistryKey> Create(RegistryUnderTest& r) { return r.registry.Open(kHkcu, r.path, true); }

// The message a call raised, "" when it raised nothing.
template <typename Call>
std::string ErrorOf(Call call) {
  try {
    call();
  } catch (const PlatformError& e) {
    return e.what();
  }
  return "";
}

void OpeningWithoutCreatingFindsOnlyExistingKeys(RegistryUnderTest& r) {
  EXPECT_EQ(r.registry.Open(kHkcu, r.path, false), nullptr);
  EXPECT_EQ(r.registry.Open(kHkcu, r.path + "\\inner\\deeper", false), nullptr);
  EXPECT_NE(r.registry.Open(kHkcu, r.path + "\\inner\\deeper", true), nullptr) << "parents are created";
  EXPECT_NE(r.registry.Open(kHkcu, r.path, false), nullptr);
  EXPECT_NE(r.registry.Open(kHkcu, r.path + "\\INNER", false), nullptr) << "key names ignore case";
}

// The memory registry's DenyWriteAccess stands for a user without rights; a key opened for reading
// refuses writes and deletes for everyone, the way the table store relies on.
void AKeyOpenedForReadingReadsButChangesNothing(RegistryUnderTest& r) {
  EXPECT_EQ(r.registry.OpenForReading(kHkcu, r.path), nullptr) << "no key, no creation";
  Create(r)->WriteString("Face", "Arial");
  auto key = r.registry.OpenForReading(kHkcu, r.path);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("Face"), "Arial");
  EXPECT_EQ(ErrorOf([&] { key->WriteString("Face", "Other"); }), FailedToSetDataMessage("Face"));
  EXPECT_FALSE(key->DeleteValue("Face"));
  EXPECT_EQ(Create(r)->ReadString("Face"), "Arial");
}

void StringsAndIntegersReadBackAsWritten(RegistryUnderTest& r) {
  auto key = Create(r);
  ASSERT_NE(key, nullptr);
  const std::string strings[] = {"", "plain", "Arial CE,238", "a=b=c", "\xB3\xF3\xBF\xE9\xC9 accents",
                                 std::string(3000, 'w')};
  for (const auto& s : strings) {
    key->WriteString("text", s);
    EXPECT_EQ(key->ReadString("text"), s) << s.size();
  }
  for (std::int32_t i : {0, 1, -1, INT32_MAX, INT32_MIN, 0x12345678}) {
    key->WriteInteger("number", i);
    EXPECT_EQ(key->ReadInteger("number"), i);
  }
}

void ValuesListEveryNameWithItsType(RegistryUnderTest& r) {
  auto key = Create(r);
  ASSERT_NE(key, nullptr);
  r.setRaw("sz", RegType::String, std::string("text\0", 5));
  r.setRaw("expand", RegType::ExpandString, std::string("%WINDIR%\\x\0", 12));
  r.setRaw("dword", RegType::DWord, std::string("\x05\0\0\0", 4));
  r.setRaw("binary", RegType::Binary, "\x01\x02\x03");
  r.setRaw("multi", RegType::MultiString, std::string("a\0b\0\0", 5));
  r.setRaw("none", RegType::None, "");
  key->WriteString("", "the default value");

  std::vector<std::pair<std::string, std::uint32_t>> got;
  for (const auto& v : key->Values()) got.emplace_back(v.name, v.type);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<std::pair<std::string, std::uint32_t>>{{"", RegType::String},
                                                                     {"binary", RegType::Binary},
                                                                     {"dword", RegType::DWord},
                                                                     {"expand", RegType::ExpandString},
                                                                     {"multi", RegType::MultiString},
                                                                     {"none", RegType::None},
                                                                     {"sz", RegType::String}}));
  EXPECT_EQ(key->ReadString(""), "the default value");
  EXPECT_TRUE(key->ValueExists(""));
}

void ReadsOfTheWrongTypeRaiseTheRegistryLayersError(RegistryUnderTest& r) {
  auto key = Create(r);
  ASSERT_NE(key, nullptr);
  r.setRaw("sz", RegType::String, std::string("text\0", 5));
  r.setRaw("unterminated", RegType::String, "bare");
  r.setRaw("expand", RegType::ExpandString, std::string("%WINDIR%\\x\0", 12));
  r.setRaw("dword", RegType::DWord, std::string("\x05\0\0\0", 4));
  r.setRaw("binary", RegType::Binary, "\x01\x02\x03\x04");
  r.setRaw("multi", RegType::MultiString, std::string("a\0b\0\0", 5));

  const struct {
    const char* name;
    const char* asString;  // nullptr: ReadString throws
    bool isInteger;
  } cases[] = {
      {"sz", "text", false},
      {"unterminated", "bare", false},
      {"expand", "%WINDIR%\\x", false},  // read as stored, not expanded
      {"absent", "", false},
      {"dword", nullptr, true},
      {"binary", nullptr, false},
      {"multi", nullptr, false},
  };
  for (const auto& c : cases) {
    const std::string wrongType = InvalidDataTypeMessage(c.name);
    if (c.asString) {
      EXPECT_EQ(key->ReadString(c.name), c.asString) << c.name;
    } else {
      EXPECT_EQ(ErrorOf([&] { key->ReadString(c.name); }), wrongType) << c.name;
    }
    if (c.isInteger) {
      EXPECT_EQ(key->ReadInteger(c.name), 5) << c.name;
    } else {
      EXPECT_EQ(ErrorOf([&] { key->ReadInteger(c.name); }), wrongType) << c.name;
    }
  }
}

// The program repairs a wrong-typed setting by writing it as text.
void TextWriteReplacesAValueOfAnotherType(RegistryUnderTest& r) {
  auto key = Create(r);
  ASSERT_NE(key, nullptr);
  r.setRaw("Language", RegType::DWord, std::string("\x05\0\0\0", 4));
  key->WriteString("language", "English");
  EXPECT_EQ(key->ReadString("Language"), "English");
  const auto values = key->Values();
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].type, RegType::String);
  EXPECT_EQ(values[0].name, "Language") << "the name keeps its first spelling";
}

void DeletingAValueWorksOnce(RegistryUnderTest& r) {
  auto key = Create(r);
  ASSERT_NE(key, nullptr);
  key->WriteString("gone", "x");
  EXPECT_TRUE(key->ValueExists("gone"));
  EXPECT_TRUE(key->DeleteValue("GONE")) << "value names ignore case";
  EXPECT_FALSE(key->ValueExists("gone"));
  EXPECT_FALSE(key->DeleteValue("gone"));
  EXPECT_EQ(key->ReadString("gone"), "");
}

// A key deleted while open refuses writes; the error names the value.
void WritesToADeletedKeyRaiseFailedToSetData(RegistryUnderTest& r) {
  auto key = Create(r);
  ASSERT_NE(key, nullptr);
  r.deleteKey();
  EXPECT_EQ(ErrorOf([&] { key->WriteString("name", "x"); }), FailedToSetDataMessage("name"));
  EXPECT_EQ(ErrorOf([&] { key->WriteInteger("count", 1); }), FailedToSetDataMessage("count"));
}

}  // namespace

const std::vector<RegistryContractCase>& RegistryContractCases() {
  static const std::vector<RegistryContractCase> cases = {
      {"OpeningWithoutCreatingFindsOnlyExistingKeys", OpeningWithoutCreatingFindsOnlyExistingKeys},
      {"AKeyOpenedForReadingReadsButChangesNothing", AKeyOpenedForReadingReadsButChangesNothing},
      {"StringsAndIntegersReadBackAsWritten", StringsAndIntegersReadBackAsWritten},
      {"ValuesListEveryNameWithItsType", ValuesListEveryNameWithItsType},
      {"ReadsOfTheWrongTypeRaiseTheRegistryLayersError", ReadsOfTheWrongTypeRaiseTheRegistryLayersError},
      {"TextWriteReplacesAValueOfAnotherType", TextWriteReplacesAValueOfAnotherType},
      {"DeletingAValueWorksOnce", DeletingAValueWorksOnce},
      {"WritesToADeletedKeyRaiseFailedToSetData", WritesToADeletedKeyRaiseFailedToSetData},
  };
  return cases;
}

}  // namespace sorel::test
