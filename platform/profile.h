// Profile (ini) files read with the system's profile semantics (GetPrivateProfileStringA).
#pragma once
#include <string>
#include <vector>

namespace sorel {

// The system's buffer sizes: one value into 2048 bytes, name lists into 16384 bytes.
constexpr std::size_t kProfileValueBuffer = 2048;
constexpr std::size_t kProfileListBuffer = 16384;

// A file name without a folder ("win.ini") is looked up in the Windows folder, as the system does.
// Missing files and sections read as empty; nothing here throws.
class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;
  // Section names in file order, as much as fits a 16384-byte zero-separated list.
  virtual std::vector<std::string> SectionNames(const std::string& file) = 0;
  // Key names of the section in file order, duplicates included, as much as fits 16384 bytes.
  virtual std::vector<std::string> SectionKeys(const std::string& file, const std::string& section) = 0;
  // The value of the first occurrence of key (at most 2047 characters), or def when absent.
  virtual std::string ReadString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& def) = 0;
  // The whole section as GetPrivateProfileSectionA gives it, however long (the buffer grows until
  // it fits): one text per line in file order, name "=" value as stored (quotes kept, no length
  // limit) or, for a line without "=", the name alone; comment lines (";") and empty lines are
  // left out. A key with an empty name gives "=value" and does not end the list.
  virtual std::vector<std::string> SectionLines(const std::string& file, const std::string& section) = 0;
};

}  // namespace sorel

namespace sorel {

// One profile file by name, the way the program holds win.ini or LangRes.ini open: every call goes
// to the profile functions afresh, nothing is cached.
class IniFile {
 public:
  IniFile(ProfileFiles& profiles, std::string file) : profiles_(profiles), file_(std::move(file)) {}
  const std::string& FileName() const { return file_; }
  std::vector<std::string> SectionNames() { return profiles_.SectionNames(file_); }
  std::vector<std::string> SectionKeys(const std::string& section) {
    return profiles_.SectionKeys(file_, section);
  }
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) {
    return profiles_.ReadString(file_, section, key, def);
  }
  std::vector<std::string> SectionLines(const std::string& section) { return profiles_.SectionLines(file_, section); }

 private:
  ProfileFiles& profiles_;
  std::string file_;
};

}  // namespace sorel
