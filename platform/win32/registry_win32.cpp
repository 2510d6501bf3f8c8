// The registry over the Win32 registry functions.
#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <vector>

#include "platform/errors.h"

namespace sorel {

namespace {

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { RegCloseKey(key_); }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  std::vector<RegValueInfo> Values() override {
    std::vector<RegValueInfo> values;
    DWORD count = 0, longestName = 0;
    if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return values;
    }
    std::vector<char> name(longestName + 1);
    for (DWORD i = 0; i < count; ++i) {
      DWORD length = static_cast<DWORD>(name.size());
      DWORD type = REG_NONE;
      LONG rc = RegEnumValueA(key_, i, name.data(), &length, nullptr, &type, nullptr, nullptr);
      if (rc == ERROR_MORE_DATA && name.size() < 32768) {  // the longest name grew meanwhile
        name.resize(32768);
        --i;
        continue;
      }
      if (rc != ERROR_SUCCESS) break;
      values.push_back({std::string(name.data(), length), type});
    }
    return values;
  }

  bool ValueExists(const std::string& name) override {
    return RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  }

  std::string ReadString(const std::string& name) override {
    DWORD type = REG_NONE, size = 0;
    LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return "";
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
      throw PlatformError(InvalidDataTypeMessage(name));
    }
    std::vector<char> data(size + 1, '\0');
    rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc != ERROR_SUCCESS) throw PlatformError(InvalidDataTypeMessage(name));
    return std::string(data.data());  // the text ends at its zero, which the data usually holds
  }

  void WriteString(const std::string& name, const std::string& value) override {
    LONG rc = RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    if (rc != ERROR_SUCCESS) throw PlatformError(FailedToSetDataMessage(name));
  }

  std::int32_t ReadInteger(const std::string& name) override {
    DWORD type = REG_NONE, value = 0, size = sizeof(value);
    LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) {
      throw PlatformError(InvalidDataTypeMessage(name));
    }
    return static_cast<std::int32_t>(value);
  }

  void WriteInteger(const std::string& name, std::int32_t value) override {
    DWORD data = static_cast<DWORD>(value);
    LONG rc = RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
    if (rc != ERROR_SUCCESS) throw PlatformError(FailedToSetDataMessage(name));
  }

  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::Open(RegRoot root, const std::string& path, bool create) {
  HKEY parent = root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  HKEY key = nullptr;
  LONG rc = create ? RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                     nullptr, &key, nullptr)
                   : RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (rc != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::OpenForReading(RegRoot root, const std::string& path) {
  HKEY parent = root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(key);
}

}  // namespace sorel
