// In-memory registry for tests: keys and typed values that tests set up and read back, with fault injection.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <unordered_map>
#include <vector>

#include "platform/errors.h"  // the errors the faults below raise
#include "platform/registry.h"

namespace sorel {

// Keys are identified by root and path. Path parts and value names compare ignoring letter case
// (ASCII letters only; the system folds more, but tests do not need it), and trailing backslashes
// are ignored, so "a\\b\\" and "A\\B" are one key. Creating a key creates its parents.
//
// Values keep the order in which they were first created; overwriting a value keeps its place and
// the spelling of its name as first created, as the system does. Data is kept as raw bytes:
// strings without a terminating zero (ReadString stops at the first zero byte), DWORDs as four
// little-endian bytes.
//
// Open keys look their key up on every call; using a key whose key has been deleted throws.
class MemoryRegistry : public Registry {
 public:
  struct Value {
    std::string name;
    std::uint32_t type = RegType::None;
    std::string data;
    bool exact = true;  // see RegValueInfo::exact; a write through a key makes it exact again
  };

  std::unique_ptr<RegistryKey> Open(RegRoot root, const std::string& path, bool create) override;
  std::unique_ptr<RegistryKey> OpenForReading(RegRoot root, const std::string& path) override;

  // --- Setting up and reading back, bypassing faults and the log.
  void CreateKey(RegRoot root, const std::string& path);
  bool KeyExists(RegRoot root, const std::string& path) const;
  // Removes the key and every key below it.
  void DeleteKey(RegRoot root, const std::string& path);
  // Creates the key when needed; overwrites a value of that name (keeping its stored spelling).
  void SetRaw(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
              const std::string& bytes);
  void SetString(RegRoot root, const std::string& path, const std::string& name, const std::string& text);
  void SetDWord(RegRoot root, const std::string& path, const std::string& name, std::int32_t value);
  // A REG_SZ value whose name or data the code page cannot hold, as the system would report one
  // written in Unicode: name and text are its 8-bit forms.
  void SetInexactString(RegRoot root, const std::string& path, const std::string& name, const std::string& text);
  std::optional<Value> GetRaw(RegRoot root, const std::string& path, const std::string& name) const;
  // The text of a REG_SZ or REG_EXPAND_SZ value; nothing when absent or of another type.
  std::optional<std::string> GetString(RegRoot root, const std::string& path, const std::string& name) const;
  std::optional<std::int32_t> GetDWord(RegRoot root, const std::string& path, const std::string& name) const;
  // Every value of the key in enumeration order; empty when the key is missing.
  std::vector<Value> Dump(RegRoot root, const std::string& path) const;
  // The REG_SZ values only, each as name "=" text, in enumeration order.
  std::vector<std::string> DumpStrings(RegRoot root, const std::string& path) const;

  // --- Fault injection.
  // Open of this key gives nullptr, with or without create; so does OpenForReading.
  void DenyOpen(RegRoot root, const std::string& path);
  // The user may read this key but not change it: Open gives nullptr, OpenForReading a key whose
  // writes fail and whose deletes return false.
  void DenyWriteAccess(RegRoot root, const std::string& path);
  // Of the reads, writes and deletes that follow, only the one with this index (0 = the next)
  // fails: a read or write throws, a delete returns false. For sweeping one failure at a time.
  void FailOnlyOperation(std::size_t index);
  // WriteString and WriteInteger of this value name (any letter case) throw
  // PlatformError(FailedToSetDataMessage(name)) and change nothing.
  void FailWriteOf(const std::string& name);
  // After `writes` more successful writes, every further write fails as above.
  void FailAfterWrites(std::size_t writes);
  // DeleteValue of this name (any letter case) returns false and keeps the value.
  void FailDeleteOf(const std::string& name);
  // Every DeleteValue returns false.
  void FailAllDeletes();
  void ClearFaults();

  // --- Operation log, for order assertions. Entries: "open HKLM\\<path>" (the path as asked),
  // "close", "write <name>", "delete <name>", "read <name>"; failed operations are logged too,
  // with " (failed)" appended. Values() and ValueExists() are not logged.
  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  // Number of successful writes so far.
  std::size_t WriteCount() const { return writeCount_; }

 private:
  friend class MemoryRegistryKey;
  struct Key {
    std::vector<Value> values;  // in enumeration order
    // Upper-cased name -> position in values, so that large keys are as quick as the system's;
    // rebuilt after a delete moves the positions.
    std::unordered_map<std::string, std::size_t> positions;
    void Reindex();
  };
  using KeyId = std::pair<RegRoot, std::string>;  // the path normalised: upper case, no trailing "\"

  static KeyId Id(RegRoot root, const std::string& path);
  Key* Find(const KeyId& id);
  const Key* Find(const KeyId& id) const;
  Key& Create(const KeyId& id);
  static Value* FindValue(Key& key, const std::string& name);
  static const Value* FindValue(const Key& key, const std::string& name);
  static void Store(Key& key, const std::string& name, std::uint32_t type, const std::string& bytes);
  // Throws when a write of name must fail; counts the write otherwise.
  void CheckWrite(const std::string& name);
  // Counts one read, write or delete; true when FailOnlyOperation chose this one.
  bool ChosenToFail();
  std::unique_ptr<RegistryKey> OpenKey(RegRoot root, const std::string& path, bool create, bool readOnly);

  std::map<KeyId, Key> keys_;
  std::set<KeyId> denied_;
  std::set<KeyId> readOnly_;
  std::optional<std::size_t> failingOperation_;
  std::set<std::string> failWrites_;   // upper-cased names
  std::set<std::string> failDeletes_;  // upper-cased names
  bool failAllDeletes_ = false;
  std::optional<std::size_t> writesLeft_;
  std::size_t writeCount_ = 0;
  std::vector<std::string> log_;
};

}  // namespace sorel
