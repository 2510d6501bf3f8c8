// In-memory registry: key store, open keys with the registry layer's semantics, faults and the log.
#include "tests/fakes/memory_registry.h"
#include "platform/text.h"

#include "platform/errors.h"

namespace sorel {

namespace {

const char* RootName(RegRoot root) { return root == RegRoot::CurrentUser ? "HKCU" : "HKLM"; }

std::string DWordBytes(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return bytes;
}

std::int32_t DWordValue(const std::string& bytes) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return static_cast<std::int32_t>(u);
}

bool IsStringType(std::uint32_t type) { return type == RegType::String || type == RegType::ExpandString; }

// String data up to the first zero byte, as a reader of the system's data sees it.
std::string TextOf(const std::string& data) { return data.substr(0, data.find('\0')); }

}  // namespace

class MemoryRegistryKey : public RegistryKey {
 public:
  MemoryRegistryKey(MemoryRegistry& reg, MemoryRegistry::KeyId id, bool readOnly)
      : reg_(reg), id_(std::move(id)), readOnly_(readOnly) {}
  ~MemoryRegistryKey() override { reg_.log_.push_back("close"); }

  std::vector<RegValueInfo> Values() override {
    std::vector<RegValueInfo> out;
    for (const auto& v : Key().values) out.push_back({v.name, v.type, v.exact});
    return out;
  }

  bool ValueExists(const std::string& name) override {
    return MemoryRegistry::FindValue(Key(), name) != nullptr;
  }

  std::string ReadString(const std::string& name) override {
    if (reg_.ChosenToFail()) {
      reg_.log_.push_back("read " + name + " (failed)");
      throw PlatformError(FailedToGetDataMessage(name));
    }
    const auto* v = MemoryRegistry::FindValue(Key(), name);
    if (v == nullptr) {
      reg_.log_.push_back("read " + name);
      return "";
    }
    if (!IsStringType(v->type)) {
      reg_.log_.push_back("read " + name + " (failed)");
      throw PlatformError(InvalidDataTypeMessage(name));
    }
    reg_.log_.push_back("read " + name);
    return TextOf(v->data);
  }

  void WriteString(const std::string& name, const std::string& value) override {
    auto& key = KeyToWrite(name);
    CheckWrite(name);
    MemoryRegistry::Store(key, name, RegType::String, value);
  }

  std::int32_t ReadInteger(const std::string& name) override {
    const auto* v = MemoryRegistry::FindValue(Key(), name);
    if (v == nullptr || v->type != RegType::DWord || v->data.size() != 4) {
      reg_.log_.push_back("read " + name + " (failed)");
      throw PlatformError(InvalidDataTypeMessage(name));
    }
    reg_.log_.push_back("read " + name);
    return DWordValue(v->data);
  }

  void WriteInteger(const std::string& name, std::int32_t value) override {
    auto& key = KeyToWrite(name);
    CheckWrite(name);
    MemoryRegistry::Store(key, name, RegType::DWord, DWordBytes(value));
  }

  bool DeleteValue(const std::string& name) override {
    auto& values = Key().values;
    const bool refused = readOnly_ || reg_.ChosenToFail() || reg_.failAllDeletes_ ||
                         reg_.failDeletes_.count(AsciiUpper(name)) != 0;
    for (auto it = values.begin(); it != values.end() && !refused; ++it) {
      if (AsciiUpper(it->name) == AsciiUpper(name)) {
        values.erase(it);
        Key().Reindex();
        reg_.log_.push_back("delete " + name);
        return true;
      }
    }
    reg_.log_.push_back("delete " + name + " (failed)");
    return false;
  }

 private:
  void CheckWrite(const std::string& name) {
    if (readOnly_ || reg_.ChosenToFail()) {
      reg_.log_.push_back("write " + name + " (failed)");
      throw PlatformError(FailedToSetDataMessage(name));
    }
    reg_.CheckWrite(name);
  }
  // A write to a deleted key fails as the system's does, naming the value.
  MemoryRegistry::Key& KeyToWrite(const std::string& name) {
    if (reg_.Find(id_) == nullptr) {
      reg_.log_.push_back("write " + name + " (failed)");
      throw PlatformError(FailedToSetDataMessage(name));
    }
    return Key();
  }
  MemoryRegistry::Key& Key() {
    auto* key = reg_.Find(id_);
    if (key == nullptr) throw PlatformError("The registry key has been deleted");
    return *key;
  }

  MemoryRegistry& reg_;
  MemoryRegistry::KeyId id_;
  bool readOnly_;
};

MemoryRegistry::KeyId MemoryRegistry::Id(RegRoot root, const std::string& path) {
  std::string p = AsciiUpper(path);
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return {root, p};
}

MemoryRegistry::Key* MemoryRegistry::Find(const KeyId& id) {
  auto it = keys_.find(id);
  return it == keys_.end() ? nullptr : &it->second;
}

const MemoryRegistry::Key* MemoryRegistry::Find(const KeyId& id) const {
  auto it = keys_.find(id);
  return it == keys_.end() ? nullptr : &it->second;
}

MemoryRegistry::Key& MemoryRegistry::Create(const KeyId& id) {
  // Parents exist whenever a child does, as in the real tree.
  for (std::size_t pos = id.second.find('\\'); pos != std::string::npos; pos = id.second.find('\\', pos + 1)) {
    keys_.try_emplace(KeyId{id.first, id.second.substr(0, pos)});
  }
  return keys_[id];
}

void MemoryRegistry::Key::Reindex() {
  positions.clear();
  for (std::size_t i = 0; i < values.size(); ++i) positions.emplace(AsciiUpper(values[i].name), i);
}

MemoryRegistry::Value* MemoryRegistry::FindValue(Key& key, const std::string& name) {
  auto it = key.positions.find(AsciiUpper(name));
  return it == key.positions.end() ? nullptr : &key.values[it->second];
}

const MemoryRegistry::Value* MemoryRegistry::FindValue(const Key& key, const std::string& name) {
  return FindValue(const_cast<Key&>(key), name);
}

void MemoryRegistry::Store(Key& key, const std::string& name, std::uint32_t type, const std::string& bytes) {
  if (auto* v = FindValue(key, name)) {
    v->type = type;
    v->data = bytes;
    v->exact = true;
  } else {
    key.positions.emplace(AsciiUpper(name), key.values.size());
    key.values.push_back({name, type, bytes});
  }
}

void MemoryRegistry::CheckWrite(const std::string& name) {
  const bool exhausted = writesLeft_.has_value() && *writesLeft_ == 0;
  if (exhausted || failWrites_.count(AsciiUpper(name)) != 0) {
    log_.push_back("write " + name + " (failed)");
    throw PlatformError(FailedToSetDataMessage(name));
  }
  if (writesLeft_) --*writesLeft_;
  ++writeCount_;
  log_.push_back("write " + name);
}

std::unique_ptr<RegistryKey> MemoryRegistry::Open(RegRoot root, const std::string& path, bool create) {
  return OpenKey(root, path, create, false);
}

std::unique_ptr<RegistryKey> MemoryRegistry::OpenForReading(RegRoot root, const std::string& path) {
  return OpenKey(root, path, false, true);
}

std::unique_ptr<RegistryKey> MemoryRegistry::OpenKey(RegRoot root, const std::string& path, bool create,
                                                     bool readOnly) {
  const KeyId id = Id(root, path);
  const std::string entry = std::string(readOnly ? "open for reading " : "open ") + RootName(root) + "\\" + path;
  const bool refused = denied_.count(id) != 0 || (!readOnly && readOnly_.count(id) != 0);
  if (refused || (!create && Find(id) == nullptr)) {
    log_.push_back(entry + " (failed)");
    return nullptr;
  }
  Create(id);
  log_.push_back(entry);
  return std::make_unique<MemoryRegistryKey>(*this, id, readOnly);
}

bool MemoryRegistry::ChosenToFail() {
  if (!failingOperation_) return false;
  if (*failingOperation_ == 0) {
    failingOperation_.reset();
    return true;
  }
  --*failingOperation_;
  return false;
}

void MemoryRegistry::CreateKey(RegRoot root, const std::string& path) { Create(Id(root, path)); }

bool MemoryRegistry::KeyExists(RegRoot root, const std::string& path) const {
  return Find(Id(root, path)) != nullptr;
}

void MemoryRegistry::DeleteKey(RegRoot root, const std::string& path) {
  const KeyId id = Id(root, path);
  const std::string prefix = id.second + "\\";
  for (auto it = keys_.begin(); it != keys_.end();) {
    const bool below = it->first.first == root && it->first.second.compare(0, prefix.size(), prefix) == 0;
    if (it->first == id || below) {
      it = keys_.erase(it);
    } else {
      ++it;
    }
  }
}

void MemoryRegistry::SetRaw(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                            const std::string& bytes) {
  Store(Create(Id(root, path)), name, type, bytes);
}

void MemoryRegistry::SetString(RegRoot root, const std::string& path, const std::string& name,
                               const std::string& text) {
  SetRaw(root, path, name, RegType::String, text);
}

void MemoryRegistry::SetInexactString(RegRoot root, const std::string& path, const std::string& name,
                                      const std::string& text) {
  Key& key = Create(Id(root, path));
  Store(key, name, RegType::String, text);
  FindValue(key, name)->exact = false;
}

void MemoryRegistry::SetDWord(RegRoot root, const std::string& path, const std::string& name, std::int32_t value) {
  SetRaw(root, path, name, RegType::DWord, DWordBytes(value));
}

std::optional<MemoryRegistry::Value> MemoryRegistry::GetRaw(RegRoot root, const std::string& path,
                                                            const std::string& name) const {
  const Key* key = Find(Id(root, path));
  if (key == nullptr) return std::nullopt;
  const Value* v = FindValue(*key, name);
  if (v == nullptr) return std::nullopt;
  return *v;
}

std::optional<std::string> MemoryRegistry::GetString(RegRoot root, const std::string& path,
                                                     const std::string& name) const {
  auto v = GetRaw(root, path, name);
  if (!v || !IsStringType(v->type)) return std::nullopt;
  return TextOf(v->data);
}

std::optional<std::int32_t> MemoryRegistry::GetDWord(RegRoot root, const std::string& path,
                                                     const std::string& name) const {
  auto v = GetRaw(root, path, name);
  if (!v || v->type != RegType::DWord || v->data.size() != 4) return std::nullopt;
  return DWordValue(v->data);
}

std::vector<MemoryRegistry::Value> MemoryRegistry::Dump(RegRoot root, const std::string& path) const {
  const Key* key = Find(Id(root, path));
  return key == nullptr ? std::vector<Value>{} : key->values;
}

std::vector<std::string> MemoryRegistry::DumpStrings(RegRoot root, const std::string& path) const {
  std::vector<std::string> out;
  for (const auto& v : Dump(root, path)) {
    if (v.type == RegType::String) out.push_back(v.name + "=" + TextOf(v.data));
  }
  return out;
}

void MemoryRegistry::DenyOpen(RegRoot root, const std::string& path) { denied_.insert(Id(root, path)); }

void MemoryRegistry::DenyWriteAccess(RegRoot root, const std::string& path) { readOnly_.insert(Id(root, path)); }

void MemoryRegistry::FailOnlyOperation(std::size_t index) { failingOperation_ = index; }

void MemoryRegistry::FailWriteOf(const std::string& name) { failWrites_.insert(AsciiUpper(name)); }

void MemoryRegistry::FailAfterWrites(std::size_t writes) { writesLeft_ = writes; }

void MemoryRegistry::FailDeleteOf(const std::string& name) { failDeletes_.insert(AsciiUpper(name)); }

void MemoryRegistry::FailAllDeletes() { failAllDeletes_ = true; }

void MemoryRegistry::ClearFaults() {
  denied_.clear();
  readOnly_.clear();
  failingOperation_.reset();
  failWrites_.clear();
  failDeletes_.clear();
  failAllDeletes_ = false;
  writesLeft_.reset();
}

}  // namespace sorel
