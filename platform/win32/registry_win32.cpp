// The registry over the Win32 registry functions.
#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"

namespace sorel {

namespace {

// The text in the ANSI code page, characters it lacks as its default character.
std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return "";
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// Whether the code page holds the text exactly: no character replaced by the default one or by
// a look-alike ("best fit"), and the 8-bit text turns back into the same characters.
bool Exact(const std::wstring& text) {
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr,
                                       &usedDefault);
  if (size <= 0 || usedDefault) return false;
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi.data(), size, nullptr, &usedDefault);
  if (usedDefault) return false;
  const int back = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  std::wstring again(static_cast<std::size_t>(back > 0 ? back : 0), L'\0');
  if (back > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, again.data(), back);
  return again == text;
}

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { RegCloseKey(key_); }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  std::vector<RegValueInfo> Values() override {
    // The Unicode enumeration tells which names and texts the code page holds exactly; the
    // 95/98 family has only the 8-bit one, and every value there is exact.
    if (auto values = UnicodeValues()) return *values;
    return AnsiValues();
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
  // The 8-bit enumeration: names as the code page gives them.
  std::vector<RegValueInfo> AnsiValues() {
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
      if (rc == ERROR_MORE_DATA && name.size() < kLongestName) {  // the longest name grew meanwhile
        name.resize(kLongestName);
        --i;
        continue;
      }
      if (rc != ERROR_SUCCESS) break;
      values.push_back({std::string(name.data(), length), type});
    }
    return values;
  }

  // The Unicode enumeration, name and data of each value at once; nothing where the system has
  // none (the 95/98 family exports a stub), so the 8-bit one is used.
  std::optional<std::vector<RegValueInfo>> UnicodeValues() {
    using EnumValueW = LONG(WINAPI*)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    using QueryInfoKeyW = LONG(WINAPI*)(HKEY, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD,
                                        LPDWORD, LPDWORD, LPDWORD, PFILETIME);
    // Looked up, not imported, so that the program loads wherever the 8-bit functions exist.
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    auto enumValue = advapi ? reinterpret_cast<EnumValueW>(GetProcAddress(advapi, "RegEnumValueW")) : nullptr;
    auto queryInfo = advapi ? reinterpret_cast<QueryInfoKeyW>(GetProcAddress(advapi, "RegQueryInfoKeyW")) : nullptr;
    if (!enumValue || !queryInfo) return std::nullopt;
    DWORD count = 0, longestName = 0, longestData = 0;
    LONG rc = queryInfo(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                        &longestData, nullptr, nullptr);
    if (rc == ERROR_CALL_NOT_IMPLEMENTED) return std::nullopt;
    std::vector<RegValueInfo> values;
    if (rc != ERROR_SUCCESS) return values;
    std::vector<wchar_t> name(longestName + 1);
    std::vector<BYTE> data(longestData + sizeof(wchar_t));
    for (DWORD i = 0; i < count; ++i) {
      DWORD nameLength = static_cast<DWORD>(name.size());
      DWORD dataSize = static_cast<DWORD>(data.size());
      DWORD type = REG_NONE;
      rc = enumValue(key_, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
      if (rc == ERROR_MORE_DATA && (name.size() < kLongestName || data.size() < kLongestData)) {
        // A value grew meanwhile: once more with room for the largest the system allows here.
        name.resize(kLongestName);
        data.resize(kLongestData);
        --i;
        continue;
      }
      if (rc == ERROR_CALL_NOT_IMPLEMENTED && i == 0) return std::nullopt;
      if (rc != ERROR_SUCCESS) break;
      RegValueInfo value{ToAnsi(std::wstring(name.data(), nameLength)), type, true};
      value.exact = Exact(std::wstring(name.data(), nameLength));
      if (value.exact && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), dataSize / sizeof(wchar_t));
        value.exact = Exact(text.substr(0, text.find(L'\0')));
      }
      values.push_back(std::move(value));
    }
    return values;
  }

  // 16383 characters of name; data beyond a megabyte is no substitution entry.
  static constexpr std::size_t kLongestName = 32768;
  static constexpr std::size_t kLongestData = 1 << 20;

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
