// Whole-file access over CreateFileA, ReadFile, WriteFile and MoveFileExA.
#include "platform/win32/files_win32.h"

#include <windows.h>

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
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD put = 0;
    if (!WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put, nullptr) ||
        put == 0) {
      throw PlatformError("Cannot write file " + Quoted(path));
    }
    done += put;
  }
  if (!FlushFileBuffers(file.get())) throw PlatformError("Cannot write file " + Quoted(path));
}

// MoveFileExA with MOVEFILE_REPLACE_EXISTING replaces the target in one rename, under Wine as on
// Windows (Wine maps it to rename(2)), so neither ReplaceFileA nor a remove-then-move is needed.
void Win32FileSystem::Replace(const std::string& source, const std::string& target) {
  if (!MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw PlatformError("Cannot replace file " + Quoted(target) + " with " + Quoted(source));
  }
}

void Win32FileSystem::Remove(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace sorel
