// scripts/sign-update, the maker's signing tool, against the program's own check: what it signs
// verifies with its key file's public key, it signs as libsodium does, and it refuses key files it
// must not use and never replaces one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/test_signing.h"
#include "update/update_signature.h"

#ifndef SOREL_SOURCE_DIR
#error "SOREL_SOURCE_DIR must name the source tree (tests/CMakeLists.txt)"
#endif

namespace sorel::test {
namespace {

namespace fs = std::filesystem;

// The tests' seed (RFC 8032 test 1) as a key file holds it.
constexpr const char* kTestSeedLine = "nWGxne/9WmC6hEr0kuwsxERJxWl7MmkZcDusAxyuf2A=\n";

struct ToolRun {
  int status;       // the exit status
  std::string out;  // standard output without its last line end
};

class SignUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("sorel-sign-update-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes, mode_t mode = 0600) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    chmod(path.c_str(), mode);
    return path.string();
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  static ToolRun Run(const std::string& args) {
    const std::string command = std::string(SOREL_SOURCE_DIR) + "/scripts/sign-update " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, ""};
    std::string out;
    char buffer[256];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    const int status = pclose(pipe);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
  }

  fs::path dir_;
};

TEST_F(SignUpdate, SignsAsTheProgramVerifies) {
  const std::string key = Write("test.key", kTestSeedLine);
  EXPECT_EQ(Run("public " + key).out, TestPublicKey());
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  for (const std::string& content : {std::string(), std::string("a line\r\n"), bytes}) {
    const std::string file = Write("update.exe", content);
    const ToolRun run = Run("sign " + key + " " + file);
    EXPECT_EQ(run.status, 0);
    // Ed25519 signs deterministically: the tool and libsodium must give the same signature.
    EXPECT_EQ(run.out, SignForTests(content)) << content.size() << " bytes";
    EXPECT_EQ(CheckSignature(content, run.out, TestPublicKey()), SignatureCheck::Valid) << content.size() << " bytes";
  }
}

TEST_F(SignUpdate, RefusesKeyFilesItMustNotUse) {
  struct Case {
    const char* what;
    std::string line;
    mode_t mode;
  } cases[] = {
      {"readable by the group", kTestSeedLine, 0640},
      {"readable by everyone", kTestSeedLine, 0644},
      {"an empty file", "", 0600},
      {"31 bytes", "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHg==\n", 0600},
      {"libsodium's 64-byte secret key (seed and public key)",
       "nWGxne/9WmC6hEr0kuwsxERJxWl7MmkZcDusAxyuf2DXWpgBgrEKt9VL/tPJZAc6DuFy89qmIyWvAhpo9wdRGg==\n", 0600},
      {"the URL-safe alphabet", "nWGxne_9WmC6hEr0kuwsxERJxWl7MmkZcDusAxyuf2A=\n", 0600},
      {"no base64 at all", "not a key\n", 0600},
  };
  const std::string file = Write("update.exe", "an installer");
  for (const auto& c : cases) {
    const std::string key = Write("bad.key", c.line, c.mode);
    const ToolRun run = Run("sign " + key + " " + file);
    EXPECT_NE(run.status, 0) << c.what;
    EXPECT_EQ(run.out, "") << c.what;
  }
  EXPECT_NE(Run("sign " + (dir_ / "no.key").string() + " " + file).status, 0) << "no key file";
  EXPECT_NE(Run("sign " + Write("test.key", kTestSeedLine) + " " + (dir_ / "none.exe").string()).status, 0)
      << "no file to sign";
}

TEST_F(SignUpdate, NewKeyIsPrivateAndNeverReplaced) {
  const std::string key = (dir_ / "keys" / "maker.key").string();
  const ToolRun made = Run("new-key " + key);
  ASSERT_EQ(made.status, 0);
  EXPECT_TRUE(IsPublicKey(made.out)) << made.out;
  EXPECT_NE(made.out, TestPublicKey());
  struct stat info {};
  ASSERT_EQ(stat(key.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(Run("public " + key).out, made.out);

  const std::string file = Write("update.exe", "an installer");
  const std::string signature = Run("sign " + key + " " + file).out;
  EXPECT_EQ(CheckSignature("an installer", signature, made.out), SignatureCheck::Valid);
  EXPECT_EQ(CheckSignature("an installer", signature, TestPublicKey()), SignatureCheck::Invalid);

  const std::string before = Read(key);
  EXPECT_NE(Run("new-key " + key).status, 0);
  EXPECT_EQ(Read(key), before);
}

}  // namespace
}  // namespace sorel::test
