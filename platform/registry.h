// Registry access: keys under HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE, string and integer values.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sorel {

enum class RegRoot { CurrentUser, LocalMachine };

// The system's value type numbers (REG_SZ and friends), kept numeric so that types we do not know
// still travel unchanged.
namespace RegType {
constexpr std::uint32_t None = 0;
constexpr std::uint32_t String = 1;        // REG_SZ
constexpr std::uint32_t ExpandString = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t Binary = 3;        // REG_BINARY
constexpr std::uint32_t DWord = 4;         // REG_DWORD
constexpr std::uint32_t MultiString = 7;   // REG_MULTI_SZ
}  // namespace RegType

struct RegValueInfo {
  std::string name;
  std::uint32_t type = RegType::None;
  // False when the name, or a string value's data, holds characters the ANSI code page cannot
  // hold: the 8-bit texts then stand for something else, and writing them back would change the
  // value or make a new one.
  bool exact = true;
};

// An open key; it is closed when the object is destroyed.
// Every failing operation throws PlatformError with the registry layer's message.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Every value name with its type and exactness, in the system's order.
  virtual std::vector<RegValueInfo> Values() = 0;
  virtual bool ValueExists(const std::string& name) = 0;
  // REG_SZ or REG_EXPAND_SZ data; an absent value reads as "". Any other type throws
  // "Invalid data type for '<name>'".
  virtual std::string ReadString(const std::string& name) = 0;
  // Stores REG_SZ; throws "Failed to set data for '<name>'" when the system refuses.
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  // REG_DWORD data; an absent value or another type throws "Invalid data type for '<name>'".
  virtual std::int32_t ReadInteger(const std::string& name) = 0;
  virtual void WriteInteger(const std::string& name, std::int32_t value) = 0;
  // False when the value could not be deleted (for example because it is absent).
  virtual bool DeleteValue(const std::string& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens root\path with full access, creating the missing keys when create is set. A key that
  // cannot be opened (missing, or no rights) gives nullptr; that is not an error.
  virtual std::unique_ptr<RegistryKey> Open(RegRoot root, const std::string& path, bool create) = 0;
  // Opens an existing key with read access only, for a user who may read the machine's settings
  // but not change them. Writes through it throw "Failed to set data for '<name>'" and deletes
  // return false. nullptr when the key cannot be opened even for reading.
  virtual std::unique_ptr<RegistryKey> OpenForReading(RegRoot root, const std::string& path) = 0;
};

}  // namespace sorel
