// Whole-file access over CreateFileA, ReadFile, WriteFile and MoveFileExA; files written piece by piece.
#include "platform/win32/files_win32.h"

#include <windows.h>

#include <algorithm>

#include "platform/errors.h"

namespace sorel {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

// Writes every byte, in pieces a DWORD can count; false when the system refuses or takes nothing
// (a full disk).
bool WriteEvery(HANDLE file, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(file, data + done, piece, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

class Win32OutputFile : public OutputFile {
 public:
  Win32OutputFile(HANDLE file, std::string path) : file_(file), path_(std::move(path)) {}
  void Write(const char* data, std::size_t size) override {
    if (!WriteEvery(file_.get(), data, size)) throw PlatformError("Cannot write file " + Quoted(path_));
  }

 private:
  Handle file_;
  std::string path_;
};

}  // namespace

bool Win32FileSystem::Exists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Win32FileSystem::ReadAll(const std::string& path) {
  Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) throw PlatformError("Cannot open file " + Quoted(path));
  std::string bytes;
  char chunk[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr)) {
      throw PlatformError("Cannot read file " + Quoted(path));
    }
    if (got == 0) break;
    bytes.append(chunk, got);
  }
  return bytes;
}

void Win32FileSystem::WriteAll(const std::string& path, const std::string& bytes) {
  Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) throw PlatformError("Cannot create file " + Quoted(path));
  if (!WriteEvery(file.get(), bytes.data(), bytes.size())) throw PlatformError("Cannot write file " + Quoted(path));
  if (!FlushFileBuffers(file.get())) throw PlatformError("Cannot write file " + Quoted(path));
}

// MoveFileExA with MOVEFILE_REPLACE_EXISTING replaces the target in one rename, under Wine as on
// the NT family (Wine maps it to rename(2)), so neither ReplaceFileA nor a remove-then-move is needed.
bool Win32FileSystem::MoveReplacing(const std::string& source, const std::string& target, unsigned long& error) {
  if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  error = GetLastError();
  return false;
}

void Win32FileSystem::Replace(const std::string& source, const std::string& target) {
  unsigned long error = 0;
  if (MoveReplacing(source, target, error)) return;
  if (error == ERROR_CALL_NOT_IMPLEMENTED) return ReplaceByRenames(source, target);
  throw PlatformError("Cannot replace file " + Quoted(target) + " with " + Quoted(source));
}

// Two plain renames; at every moment either the target or its backup holds the old contents.
void Win32FileSystem::ReplaceByRenames(const std::string& source, const std::string& target) {
  const std::string backup = BackupOf(target);
  const bool hadTarget = Exists(target);
  if (hadTarget) {
    DeleteFileA(backup.c_str());  // left over from an earlier save that was cut short
    if (!MoveFileA(target.c_str(), backup.c_str()))
      throw PlatformError("Cannot replace file " + Quoted(target) + " with " + Quoted(source));
  }
  if (!MoveFileA(source.c_str(), target.c_str())) {
    if (hadTarget) MoveFileA(backup.c_str(), target.c_str());
    throw PlatformError("Cannot replace file " + Quoted(target) + " with " + Quoted(source));
  }
  if (hadTarget) DeleteFileA(backup.c_str());
}

void Win32FileSystem::Remove(const std::string& path) { DeleteFileA(path.c_str()); }

std::unique_ptr<OutputFile> Win32FileSystem::Create(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw PlatformError("Cannot create file " + Quoted(path));
  return std::make_unique<Win32OutputFile>(file, path);
}

}  // namespace sorel
