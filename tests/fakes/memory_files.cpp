// In-memory file system for tests.
#include "tests/fakes/memory_files.h"
#include "platform/text.h"

#include <algorithm>

#include "platform/errors.h"

namespace sorel {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string MemoryFileSystem::Key(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c == '/') c = '\\';
    c = AsciiLower(c);
  }
  return key;
}

bool MemoryFileSystem::Exists(const std::string& path) { return files_.count(Key(path)) != 0; }

std::string MemoryFileSystem::ReadAll(const std::string& path) {
  auto it = files_.find(Key(path));
  if (it == files_.end() || failRead_.count(Key(path))) {
    throw PlatformError("Cannot open file " + Quoted(path));
  }
  return it->second.bytes;
}

void MemoryFileSystem::WriteAll(const std::string& path, const std::string& bytes) {
  if (failWrite_.count(Key(path))) {
    log_.push_back("write failed " + path);
    throw PlatformError("Cannot create file " + Quoted(path));
  }
  Put(path, bytes);
  ++writes_;
  log_.push_back("write " + path);
}

void MemoryFileSystem::Replace(const std::string& source, const std::string& target) {
  auto from = files_.find(Key(source));
  if (from == files_.end() || failReplace_.count(Key(target))) {
    log_.push_back("replace failed " + source + " -> " + target);
    throw PlatformError("Cannot replace file " + Quoted(target) + " with " + Quoted(source));
  }
  std::string bytes = std::move(from->second.bytes);
  files_.erase(from);
  Put(target, bytes);
  log_.push_back("replace " + source + " -> " + target);
}

void MemoryFileSystem::Remove(const std::string& path) {
  if (files_.erase(Key(path))) log_.push_back("remove " + path);
}

// Appends to the file it was created for; a test that removes the file meanwhile gets it back.
class MemoryFileSystem::Output : public OutputFile {
 public:
  Output(MemoryFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  void Write(const char* data, std::size_t size) override {
    File& file = fs_.files_.try_emplace(Key(path_), File{path_, ""}).first->second;
    std::size_t room = size;
    if (auto limit = fs_.failWriteAfter_.find(Key(path_)); limit != fs_.failWriteAfter_.end())
      room = std::min(size, limit->second > file.bytes.size() ? limit->second - file.bytes.size() : 0);
    file.bytes.append(data, room);
    if (room < size) {
      fs_.log_.push_back("write failed " + path_);
      throw PlatformError("Cannot write file " + Quoted(path_));
    }
  }

 private:
  MemoryFileSystem& fs_;
  std::string path_;
};

std::unique_ptr<OutputFile> MemoryFileSystem::Create(const std::string& path) {
  if (failWrite_.count(Key(path))) {
    log_.push_back("create failed " + path);
    throw PlatformError("Cannot create file " + Quoted(path));
  }
  Put(path, "");
  log_.push_back("create " + path);
  return std::make_unique<Output>(*this, path);
}

void MemoryFileSystem::Put(const std::string& path, const std::string& bytes) {
  auto [it, added] = files_.try_emplace(Key(path), File{path, bytes});
  if (!added) it->second.bytes = bytes;
}

std::optional<std::string> MemoryFileSystem::Get(const std::string& path) const {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.bytes;
}

std::vector<std::string> MemoryFileSystem::Paths() const {
  std::vector<std::string> paths;
  for (const auto& [key, file] : files_) paths.push_back(file.path);
  return paths;
}

void MemoryFileSystem::FailRead(const std::string& path) { failRead_.insert(Key(path)); }
void MemoryFileSystem::FailWrite(const std::string& path) { failWrite_.insert(Key(path)); }
void MemoryFileSystem::FailReplace(const std::string& target) { failReplace_.insert(Key(target)); }
void MemoryFileSystem::FailWriteAfter(const std::string& path, std::size_t bytes) {
  failWriteAfter_[Key(path)] = bytes;
}

void MemoryFileSystem::Heal() {
  failRead_.clear();
  failWrite_.clear();
  failReplace_.clear();
  failWriteAfter_.clear();
}

}  // namespace sorel
